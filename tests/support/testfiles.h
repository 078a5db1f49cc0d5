#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Whole files for tests: what one holds ("<missing>" when it cannot be read), and writing one.
inline QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}
