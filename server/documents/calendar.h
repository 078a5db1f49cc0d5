#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The economic calendar: the current week's events, published with GMT times as lines
// "Jan, 12 14:30;USA;High Volatility Expected;Nonfarm Payrolls" separated by LF.

enum class Volatility
{
    High,
    Moderate,
    Low,
};

// "High Volatility Expected", "Moderate Volatility Expected", "Low Volatility Expected"
QString volatilityText(Volatility volatility);

struct CalendarEvent
{
    qint64 minute = 0; // GMT
    QString country;
    Volatility volatility = Volatility::Low;
    QString name;
};

// "Jan, 12 14:30": English month token, day without a leading zero, 24-hour GMT time.
QString calendarTime(qint64 minute);

// Monday 00:00 GMT of the week holding `minute`.
qint64 weekStart(qint64 minute);

// The events within the week starting at `week`, sorted by time, as the calendar document's text.
QString calendarText(const QList<CalendarEvent> &events, qint64 week);

// Events from a CSV file, one a line: date,time,country,volatility,event (the date and the time
// may also be one field "2024-05-14 12:30"); times GMT; volatility "high", "moderate" or "low"
// (or the full texts); a first line that does not start with a digit is a header. On failure
// returns nothing and sets `error`, naming the file and the line.
std::optional<QList<CalendarEvent>> readCalendarFile(const QString &path, QString *error);
// The same for a file's content; `path` names it in complaints.
std::optional<QList<CalendarEvent>> parseCalendarFile(const QString &path,
                                                      const QByteArray &content, QString *error);
