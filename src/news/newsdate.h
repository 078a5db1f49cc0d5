#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <optional>

// Dates of calendar events and articles as the server writes them: "Jan, 12 14:30", GMT, no year.
namespace newsdate {

// Month 1-12 of a token such as "Jan," or "Мая," (comma included, exact match); 0 when unknown.
int monthFromToken(const QString &token);

// The moment a date field names, in UTC. The field carries no year, so the event gets the year
// that puts it nearest to `now`: in early January the events of late December belong to the
// year before, in late December those of early January to the year after. Empty when the
// field is not a date (unknown month, impossible day, malformed time).
std::optional<QDateTime> parse(const QString &field, const QDateTime &now);

// "d MMM hh:mm" with the month abbreviated as the locale does it: "12 Jan 17:30".
QString format(const QDateTime &dateTime, const QLocale &locale);

} // namespace newsdate
