#include "documents/calendarschedule.h"

#include "market/minutes.h"
#include "market/timeframe.h"

#include <QTimeZone>

#include <array>

namespace {

enum class Recurs
{
    Weekly,
    FirstWeek,  // day 1-7 of the month
    SecondWeek, // day 8-14
    ThirdWeek,  // day 15-21
    LastWeek,   // the last seven days
};

struct Release
{
    int weekday; // 0 Monday .. 4 Friday
    int hour;
    int minute;
    const char *zone;   // where the release time is set
    int standardOffset; // that zone's offset in hours, when the system knows no zones
    const char *country;
    Volatility volatility;
    const char *name;
    Recurs recurs;
};

constexpr Volatility High = Volatility::High;
constexpr Volatility Moderate = Volatility::Moderate;
constexpr Volatility Low = Volatility::Low;

// clang-format off
constexpr std::array kReleases{
    Release{3, 8, 50, "Asia/Tokyo", 9, "Japan", Low, "Foreign Bond Investment", Recurs::Weekly},
    Release{0, 10, 30, "Europe/Berlin", 1, "Euro Zone", Moderate, "Sentix Investor Confidence", Recurs::FirstWeek},
    Release{0, 10, 0, "America/New_York", -5, "USA", High, "ISM Manufacturing PMI", Recurs::FirstWeek},
    Release{0, 12, 0, "Europe/Berlin", 1, "Germany", Low, "Bundesbank Monthly Report", Recurs::ThirdWeek},
    Release{0, 9, 45, "Asia/Shanghai", 8, "China", Moderate, "Caixin Manufacturing PMI", Recurs::FirstWeek},
    Release{1, 14, 30, "Australia/Sydney", 10, "Australia", High, "RBA Cash Rate Decision", Recurs::FirstWeek},
    Release{1, 10, 0, "America/New_York", -5, "USA", High, "JOLTS Job Openings", Recurs::FirstWeek},
    Release{1, 7, 0, "Europe/London", 0, "United Kingdom", High, "Claimant Count Change", Recurs::SecondWeek},
    Release{1, 8, 30, "America/New_York", -5, "USA", High, "Core CPI m/m", Recurs::SecondWeek},
    Release{1, 11, 0, "Europe/Berlin", 1, "Germany", High, "ZEW Economic Sentiment", Recurs::ThirdWeek},
    Release{1, 10, 0, "America/New_York", -5, "USA", Moderate, "CB Consumer Confidence", Recurs::LastWeek},
    Release{1, 16, 30, "America/New_York", -5, "USA", Low, "API Weekly Crude Oil Stock", Recurs::Weekly},
    Release{2, 8, 15, "America/New_York", -5, "USA", High, "ADP Nonfarm Employment Change", Recurs::FirstWeek},
    Release{2, 14, 0, "Pacific/Auckland", 12, "New Zealand", High, "RBNZ Official Cash Rate", Recurs::SecondWeek},
    Release{2, 9, 30, "Asia/Shanghai", 8, "China", Moderate, "CPI y/y", Recurs::SecondWeek},
    Release{2, 7, 0, "Europe/London", 0, "United Kingdom", High, "CPI y/y", Recurs::ThirdWeek},
    Release{2, 14, 0, "America/New_York", -5, "USA", High, "FOMC Meeting Minutes", Recurs::ThirdWeek},
    Release{2, 9, 45, "America/Toronto", -5, "Canada", High, "BoC Rate Statement", Recurs::LastWeek},
    Release{2, 10, 30, "America/New_York", -5, "USA", Moderate, "Crude Oil Inventories", Recurs::Weekly},
    Release{2, 11, 0, "Europe/Berlin", 1, "Euro Zone", Low, "Retail Sales m/m", Recurs::FirstWeek},
    Release{3, 8, 30, "America/New_York", -5, "USA", Moderate, "Unemployment Claims", Recurs::Weekly},
    Release{3, 10, 30, "America/New_York", -5, "USA", Low, "Natural Gas Storage", Recurs::Weekly},
    Release{3, 8, 30, "Europe/Zurich", 1, "Switzerland", Moderate, "CPI m/m", Recurs::FirstWeek},
    Release{3, 12, 0, "Europe/London", 0, "United Kingdom", High, "BoE Official Bank Rate", Recurs::SecondWeek},
    Release{3, 14, 15, "Europe/Berlin", 1, "Euro Zone", High, "ECB Main Refinancing Rate", Recurs::SecondWeek},
    Release{3, 11, 30, "Australia/Sydney", 10, "Australia", High, "Employment Change", Recurs::ThirdWeek},
    Release{3, 8, 30, "America/New_York", -5, "USA", Moderate, "Philly Fed Manufacturing Index", Recurs::ThirdWeek},
    Release{3, 8, 30, "America/New_York", -5, "USA", High, "Advance GDP q/q", Recurs::LastWeek},
    Release{4, 8, 30, "America/New_York", -5, "USA", High, "Nonfarm Payrolls", Recurs::FirstWeek},
    Release{4, 8, 30, "America/New_York", -5, "USA", High, "Unemployment Rate", Recurs::FirstWeek},
    Release{4, 8, 30, "America/New_York", -5, "USA", Moderate, "Average Hourly Earnings m/m", Recurs::FirstWeek},
    Release{4, 8, 30, "America/Toronto", -5, "Canada", High, "Employment Change", Recurs::FirstWeek},
    Release{4, 11, 0, "Europe/Berlin", 1, "Euro Zone", Moderate, "CPI Flash Estimate y/y", Recurs::FirstWeek},
    Release{4, 10, 0, "America/New_York", -5, "USA", Moderate, "Prelim UoM Consumer Sentiment", Recurs::SecondWeek},
    Release{4, 8, 30, "America/New_York", -5, "USA", High, "Retail Sales m/m", Recurs::ThirdWeek},
    Release{4, 7, 0, "Europe/London", 0, "United Kingdom", Moderate, "Retail Sales m/m", Recurs::ThirdWeek},
    Release{4, 8, 30, "Asia/Tokyo", 9, "Japan", Moderate, "Tokyo Core CPI y/y", Recurs::LastWeek},
    Release{4, 8, 30, "America/New_York", -5, "USA", Moderate, "Core PCE Price Index m/m", Recurs::LastWeek},
    Release{4, 13, 0, "America/New_York", -5, "USA", Low, "Baker Hughes Oil Rig Count", Recurs::Weekly},
};
// clang-format on

bool fallsIn(Recurs recurs, const QDate &date)
{
    switch (recurs) {
    case Recurs::Weekly:
        return true;
    case Recurs::FirstWeek:
        return date.day() <= 7;
    case Recurs::SecondWeek:
        return date.day() >= 8 && date.day() <= 14;
    case Recurs::ThirdWeek:
        return date.day() >= 15 && date.day() <= 21;
    case Recurs::LastWeek:
        return date.day() > date.daysInMonth() - 7;
    }
    return false;
}

} // namespace

QList<CalendarEvent> scheduledWeek(qint64 week)
{
    const QDate monday = momentOf(week).date();
    QList<CalendarEvent> events;
    for (const Release &release : kReleases) {
        const QDate date = monday.addDays(release.weekday);
        if (!fallsIn(release.recurs, date))
            continue;
        const QTime time(release.hour, release.minute);
        const QTimeZone zone(QByteArray(release.zone));
        const QDateTime local =
            zone.isValid() ? QDateTime(date, time, zone)
                           : QDateTime(date, time, QTimeZone(release.standardOffset * 3600));
        events << CalendarEvent{minuteOf(local), QLatin1String(release.country), release.volatility,
                                QLatin1String(release.name)};
    }
    return events;
}
