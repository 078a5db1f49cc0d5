#include "news/calendar.h"

#include "news/newsdate.h"

#include <algorithm>
#include <cstdlib>

namespace calendar {

namespace {

constexpr char kAll[] = "All";
constexpr char kHigh[] = "High Volatility Expected";
constexpr char kModerate[] = "Moderate Volatility Expected";
constexpr char kLow[] = "Low Volatility Expected";

Importance importanceOf(const QString &text)
{
    if (text == QLatin1String(kHigh))
        return Importance::High;
    if (text == QLatin1String(kModerate))
        return Importance::Moderate;
    if (text == QLatin1String(kLow))
        return Importance::Low;
    return Importance::None;
}

// Minutes since the epoch, so that "past" compares whole minutes.
qint64 minuteOf(const QDateTime &dateTime)
{
    return dateTime.toSecsSinceEpoch() / 60;
}

} // namespace

QStringList zoneEntries()
{
    QStringList entries;
    for (int index = 0; index < kZoneCount; ++index) {
        const int hours = zoneOffsetHours(index);
        const QString sign = hours > 0   ? QStringLiteral("+")
                             : hours < 0 ? QStringLiteral("-")
                                         : QString();
        entries << QStringLiteral("GMT ") + sign + QString::number(std::abs(hours));
    }
    return entries;
}

QStringList importanceEntries()
{
    return {QLatin1String(kAll), QLatin1String(kHigh), QLatin1String(kModerate),
            QLatin1String(kLow)};
}

QList<Row> build(const QString &text, const Filter &filter, const QDateTime &now,
                 const QLocale &locale)
{
    const QString wanted = filter.importanceIndex > 0 && filter.importanceIndex < kImportanceCount
                               ? importanceEntries().at(filter.importanceIndex)
                               : QString();
    const int offsetSeconds = zoneOffsetHours(filter.zoneIndex) * 3600;
    const qint64 presentMinute = minuteOf(now);

    QList<Row> rows;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char(';'));
        if (fields.size() < 4)
            continue;
        if (!wanted.isEmpty() && fields.at(2) != wanted)
            continue;
        const std::optional<QDateTime> gmt = newsdate::parse(fields.at(0), now);
        if (!gmt)
            continue;
        Row row;
        row.when = newsdate::format(gmt->addSecs(offsetSeconds), locale);
        row.country = fields.at(1);
        row.importanceText = fields.at(2);
        row.importance = importanceOf(fields.at(2));
        row.event = fields.at(3);
        row.past = presentMinute > minuteOf(*gmt);
        rows << row;
    }
    return rows;
}

std::optional<int> lastPastRow(const QList<Row> &rows)
{
    const auto last =
        std::find_if(rows.crbegin(), rows.crend(), [](const Row &row) { return row.past; });
    if (last == rows.crend())
        return std::nullopt;
    return static_cast<int>(std::distance(last, rows.crend())) - 1;
}

std::optional<int> rowAboveFirstComing(const QList<Row> &rows)
{
    const auto first =
        std::find_if(rows.cbegin(), rows.cend(), [](const Row &row) { return !row.past; });
    if (first == rows.cend())
        return std::nullopt;
    return std::max(static_cast<int>(std::distance(rows.cbegin(), first)) - 1, 0);
}

} // namespace calendar
