#pragma once

#include "market/minutes.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTimeZone>

// Small helpers the server's tests share.

inline QDateTime gmt(int year, int month, int day, int hour, int minute)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone::utc());
}

inline qint64 gmtMinute(int year, int month, int day, int hour, int minute)
{
    return minuteOf(gmt(year, month, day, hour, minute));
}

// Writes a file, creating its folders; returns its path.
inline QString writeTestFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}
