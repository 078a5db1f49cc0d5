#pragma once

#include <QString>

class SettingsStore;

// One-word signal files for trading terminals, written into the folder "quentara" inside each
// configured terminal folder.
namespace exportfiles {

inline constexpr char kExportFolderName[] = "quentara";

// The terminal folder followed by the platform separator and "quentara", the folder not
// inspected for a trailing separator.
QString exportFolder(const QString &terminalFolder);

// Deletes every "*.csv" in the export folder of each configured terminal folder, read-only
// files included; folders that are missing or unreadable are skipped.
void cleanExportFolders(const SettingsStore &settings);
void cleanExportFolder(const QString &terminalFolder);

} // namespace exportfiles
