#include "documents/calendar.h"

#include "market/csvfields.h"
#include "market/minutes.h"
#include "market/timeframe.h"
#include "market/tradingsession.h"

#include <algorithm>
#include <array>

namespace {

std::optional<Volatility> volatilityOf(const QString &text)
{
    const QString word = text.toLower();
    for (Volatility volatility : {Volatility::High, Volatility::Moderate, Volatility::Low}) {
        const QString full = volatilityText(volatility);
        if (word == full.toLower() || word == full.section(QLatin1Char(' '), 0, 0).toLower())
            return volatility;
    }
    return std::nullopt;
}

} // namespace

QString volatilityText(Volatility volatility)
{
    static constexpr std::array<const char *, 3> kTexts{
        "High Volatility Expected", "Moderate Volatility Expected", "Low Volatility Expected"};
    return QLatin1String(kTexts[static_cast<int>(volatility)]);
}

QString calendarTime(qint64 minute)
{
    static constexpr std::array<const char *, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDateTime moment = momentOf(minute);
    return QStringLiteral("%1, %2 %3")
        .arg(QLatin1String(kMonths[size_t(moment.date().month() - 1)]))
        .arg(moment.date().day())
        .arg(moment.toString(QStringLiteral("HH:mm")));
}

qint64 weekStart(qint64 minute)
{
    const qint64 dayStart = floorDiv(minute, kMinutesPerDay) * kMinutesPerDay;
    return dayStart - weekdayOf(minute) * kMinutesPerDay;
}

QString calendarText(const QList<CalendarEvent> &events, qint64 week)
{
    QList<CalendarEvent> ofWeek;
    for (const CalendarEvent &event : events) {
        if (event.minute >= week && event.minute < week + 7 * kMinutesPerDay)
            ofWeek << event;
    }
    std::stable_sort(
        ofWeek.begin(), ofWeek.end(),
        [](const CalendarEvent &a, const CalendarEvent &b) { return a.minute < b.minute; });
    QStringList lines;
    for (const CalendarEvent &event : ofWeek) {
        lines << QStringList{calendarTime(event.minute), event.country,
                             volatilityText(event.volatility), event.name}
                     .join(QLatin1Char(';'));
    }
    return lines.join(QLatin1Char('\n'));
}

std::optional<QList<CalendarEvent>> readCalendarFile(const QString &path, QString *error)
{
    const std::optional<QByteArray> content = readInputFile(path, error);
    return content ? parseCalendarFile(path, *content, error) : std::nullopt;
}

std::optional<QList<CalendarEvent>> parseCalendarFile(const QString &path,
                                                      const QByteArray &content, QString *error)
{
    QList<CalendarEvent> events;
    *error = parseTimedCsv(path, content, [&events](const QStringList &fields) -> QString {
        if (fields.size() != 4)
            return QStringLiteral("expected date,time,country,volatility,event");
        const std::optional<qint64> minute = parseGmtMinute(fields[0]);
        if (!minute) {
            return QStringLiteral("\"%1\" is not a date and time such as 2024-05-14,12:30")
                .arg(fields[0]);
        }
        const std::optional<Volatility> volatility = volatilityOf(fields[2]);
        if (!volatility) {
            return QStringLiteral("the volatility must be high, moderate or low, not \"%1\"")
                .arg(fields[2]);
        }
        for (const QString &text : {fields[1], fields[3]}) {
            if (text.isEmpty() || text.contains(QLatin1Char(';')))
                return QStringLiteral("the country and the event must be given and hold no \";\"");
        }
        events << CalendarEvent{*minute, fields[1], *volatility, fields[3]};
        return QString();
    });
    if (!error->isEmpty())
        return std::nullopt;
    return events;
}
