#pragma once

#include <QString>
#include <QStringList>

class SettingsStore;

// One-word signal files for trading terminals, written into the folder "quentara" inside each
// configured terminal folder.
namespace exportfiles {

inline constexpr char kExportFolderName[] = "quentara";
inline constexpr char kExportPattern[] = "*.csv";

// The terminal folder followed by the platform separator and "quentara", the folder not
// inspected for a trailing separator.
QString exportFolder(const QString &terminalFolder);

// Names of the files one signal of an option ("1"-"3") writes for an export symbol, in writing
// order: the option's file, the plain file, then the alias pair gold, silver and the two rouble
// pairs carry for older terminal programs.
QStringList exportFileNames(const QString &symbol, const QString &option);

// Writes the direction ("BUY" or "SELL") into every export file of the signal in each
// configured terminal folder, creating missing export folders first. Each folder and each file
// stands alone: what cannot be written is skipped. A file the user made read-only keeps its
// content for this signal, but gets normal attributes like every other, so the next one
// replaces it.
void exportSignal(const SettingsStore &settings, const QString &direction,
                  const QString &signalName, const QString &option);

// Replaces one file with the text: through a temporary file and a rename, so a terminal never
// reads half a file, or directly where the rename is refused. False when nothing was written.
bool writeExportFile(const QString &path, const QByteArray &content);

// Deletes every "*.csv" in the export folder of each configured terminal folder, read-only
// files included; folders that are missing or unreadable are skipped.
void cleanExportFolders(const SettingsStore &settings);
void cleanExportFolder(const QString &terminalFolder);

} // namespace exportfiles
