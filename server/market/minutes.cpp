#include "market/minutes.h"

#include <QDate>
#include <QTime>
#include <QTimeZone>

#include <cstdio>

namespace {

// Reads `count` digits at `at`; -1 when they are not all digits.
int digitsAt(QStringView text, qsizetype at, int count)
{
    if (at + count > text.size())
        return -1;
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = text[at + i];
        if (!c.isDigit())
            return -1;
        value = value * 10 + c.digitValue();
    }
    return value;
}

} // namespace

qint64 minuteOf(const QDateTime &moment)
{
    return floorDiv(moment.toSecsSinceEpoch(), 60);
}

QDateTime momentOf(qint64 minute)
{
    return QDateTime::fromSecsSinceEpoch(minute * 60, QTimeZone::utc());
}

QString minuteText(qint64 minute)
{
    // Written by hand: QDateTime::toString costs more than the rest of a cache line together.
    constexpr qint64 kMinutesPerDay = 1440;
    const qint64 day = floorDiv(minute, kMinutesPerDay);
    const QDate date = QDate(1970, 1, 1).addDays(day);
    const int ofDay = int(minute - day * kMinutesPerDay);
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", date.year(),
                                     date.month(), date.day(), ofDay / 60, ofDay % 60);
    return QString::fromLatin1(text, length);
}

std::optional<qint64> parseGmtMinute(QStringView text)
{
    if (text.endsWith(QLatin1Char('Z')))
        text.chop(1);
    // YYYY?MM?DD?HH:MM[:SS], the date separated by "-" or ".", the time by " " or "T"
    if (text.size() != 16 && text.size() != 19)
        return std::nullopt;
    const QChar dateSeparator = text[4];
    if ((dateSeparator != QLatin1Char('-') && dateSeparator != QLatin1Char('.')) ||
        text[7] != dateSeparator ||
        (text[10] != QLatin1Char(' ') && text[10] != QLatin1Char('T')) ||
        text[13] != QLatin1Char(':') || (text.size() == 19 && text[16] != QLatin1Char(':')))
        return std::nullopt;
    const QDate date(digitsAt(text, 0, 4), digitsAt(text, 5, 2), digitsAt(text, 8, 2));
    const int seconds = text.size() == 19 ? digitsAt(text, 17, 2) : 0;
    const QTime time(digitsAt(text, 11, 2), digitsAt(text, 14, 2), std::max(seconds, 0));
    if (!date.isValid() || !time.isValid() || seconds != 0)
        return std::nullopt;
    return minuteOf(QDateTime(date, time, QTimeZone::utc()));
}
