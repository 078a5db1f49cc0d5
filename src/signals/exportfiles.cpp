#include "signals/exportfiles.h"

#include "app/catalogue.h"
#include "app/settingskeys.h"
#include "app/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace exportfiles {

namespace {

constexpr char kExtension[] = ".csv";

// Export symbols that also write a pair of files under the name older terminal programs know.
struct Alias
{
    const char *symbol;
    const char *alias;
};
constexpr Alias kAliases[] = {
    {"XAUUSD", "GOLD"},
    {"XAGUSD", "SILVER"},
    {"USDRUB", "USDRUR"},
    {"EURRUB", "EURRUR"},
};

// Normal attributes: not read-only, not hidden, not a system file, archive flag clear.
void makeNormal(const QString &path)
{
#ifdef Q_OS_WIN
    SetFileAttributesW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()),
                       FILE_ATTRIBUTE_NORMAL);
#else
    QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner | QFile::WriteUser);
#endif
}

// The user's way of keeping a file as it is; a rename would replace it regardless.
bool isReadOnly(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !(info.permissions() & QFile::WriteOwner);
}

bool writeDirectly(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(content) == content.size();
}

} // namespace

QString exportFolder(const QString &terminalFolder)
{
    return terminalFolder + QDir::separator() + QLatin1String(kExportFolderName);
}

QStringList exportFileNames(const QString &symbol, const QString &option)
{
    const QString extension = QLatin1String(kExtension);
    QStringList names{symbol + option + extension, symbol + extension};
    for (const Alias &alias : kAliases) {
        if (symbol == QLatin1String(alias.symbol)) {
            const QString name = QLatin1String(alias.alias);
            names << name + extension << name + option + extension;
        }
    }
    return names;
}

bool writeExportFile(const QString &path, const QByteArray &content)
{
    if (isReadOnly(path))
        return false;
    QSaveFile file(path);
    // Where no temporary file can be made beside it, the file is written in place.
    file.setDirectWriteFallback(true);
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit())
        return true;
    // The rename is refused, for instance while a terminal holds the file open.
    return QFileInfo::exists(path) && writeDirectly(path, content);
}

void exportSignal(const SettingsStore &settings, const QString &direction,
                  const QString &signalName, const QString &option)
{
    const QStringList names = exportFileNames(catalogue::exportSymbol(signalName), option);
    const QByteArray content = direction.toLatin1();

    QStringList folders;
    for (int folder = 1; folder <= settingskeys::kTerminalFolderCount; ++folder)
        folders << settings.terminalFolder(folder);

    for (const QString &terminalFolder : folders) {
        if (terminalFolder.isEmpty())
            continue;
        const QString folder = exportFolder(terminalFolder);
        // Only the export folder itself is made: a terminal folder that is gone stays gone.
        if (!QFileInfo::exists(folder) && QDir().mkdir(folder))
            makeNormal(folder);
    }
    for (const QString &terminalFolder : folders) {
        if (terminalFolder.isEmpty())
            continue;
        const QString folder = exportFolder(terminalFolder) + QDir::separator();
        // Each step stands alone: a file whose write failed (read-only, held by a terminal) still
        // gets normal attributes, so the next signal can replace it.
        for (const QString &name : names) {
            writeExportFile(folder + name, content);
            makeNormal(folder + name);
        }
    }
}

void cleanExportFolder(const QString &terminalFolder)
{
    if (terminalFolder.isEmpty())
        return;
    const QDir folder(exportFolder(terminalFolder));
    if (!folder.exists())
        return;
    const QFileInfoList files = folder.entryInfoList({QLatin1String(kExportPattern)},
                                                     QDir::Files | QDir::Hidden | QDir::System);
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
