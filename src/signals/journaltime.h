#pragma once

#include <QDateTime>
#include <QString>

// How the journal writes a moment: ISO 8601 in UTC to the second, "2024-05-14T10:06:12Z", so
// that the text sorts as the time does.
namespace journaltime {

inline QString stored(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODate);
}

inline QDateTime parsed(const QString &text)
{
    return QDateTime::fromString(text, Qt::ISODate).toUTC();
}

} // namespace journaltime
