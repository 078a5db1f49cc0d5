#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

// Conversions between moments and the whole minutes since 1970-01-01 00:00 GMT that candles use.
qint64 minuteOf(const QDateTime &moment); // the minute holding the moment
QDateTime momentOf(qint64 minute);        // its start, in GMT
// "2024-05-14 10:06"
QString minuteText(qint64 minute);
// The minute of a GMT time written "2024-05-14 10:06", "2024-05-14T10:06:00Z" or
// "2024.05.14 10:06" (seconds, if given, must be 00); nothing for any other text.
std::optional<qint64> parseGmtMinute(QStringView text);

// Division and remainder rounding towards minus infinity, for times before 1970 too.
constexpr qint64 floorDiv(qint64 value, qint64 divisor)
{
    const qint64 quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

constexpr qint64 floorMod(qint64 value, qint64 divisor)
{
    return value - floorDiv(value, divisor) * divisor;
}
