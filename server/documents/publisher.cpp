#include "documents/publisher.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

Publisher::Publisher(QString folder)
    : m_folder(std::move(folder))
{}

QString Publisher::write(const DocumentSet &documents, const QStringList &paths) const
{
    const QDir root(m_folder);
    for (const QString &path : paths) {
        const Document *document = documents.find(path);
        if (!document)
            continue;
        const QString filePath = root.filePath(path);
        if (!QDir().mkpath(QFileInfo(filePath).absolutePath()))
            return QStringLiteral("%1: cannot create the folder")
                .arg(QDir::toNativeSeparators(filePath));
        QSaveFile file(filePath);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(document->body) != document->body.size() || !file.commit())
            return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(filePath),
                                                file.errorString());
    }
    return QString();
}
