#include "signals/exportfiles.h"

#include "app/settingskeys.h"
#include "app/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace exportfiles {

QString exportFolder(const QString &terminalFolder)
{
    return terminalFolder + QDir::separator() + QLatin1String(kExportFolderName);
}

void cleanExportFolder(const QString &terminalFolder)
{
    if (terminalFolder.isEmpty())
        return;
    const QDir folder(exportFolder(terminalFolder));
    if (!folder.exists())
        return;
    const QFileInfoList files =
        folder.entryInfoList({QStringLiteral("*.csv")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &file : files) {
        QFile::setPermissions(file.absoluteFilePath(),
                              file.permissions() | QFile::WriteOwner | QFile::WriteUser);
        QFile::remove(file.absoluteFilePath());
    }
}

void cleanExportFolders(const SettingsStore &settings)
{
    for (int folder = 1; folder <= settingskeys::kTerminalFolderCount; ++folder)
        cleanExportFolder(settings.terminalFolder(folder));
}

} // namespace exportfiles
