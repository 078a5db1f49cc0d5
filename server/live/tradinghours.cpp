#include "live/tradinghours.h"

#include "market/minutes.h"
#include "market/timeframe.h"
#include "market/tradingsession.h"

#include <QLatin1String>

#include <initializer_list>

namespace {

struct Window
{
    int from; // minutes of the GMT day
    int to;
};

constexpr int at(int hour, int minute)
{
    return hour * 60 + minute;
}

enum class Hours
{
    Always,
    ForexWeek,
    ForexWeekWithPause,
    Europe,
    NewYork,
    Tokyo,
    HongKong,
};

struct CodeHours
{
    const char *code;
    Hours hours;
};

constexpr CodeHours kHours[] = {
    {"copper", Hours::ForexWeekWithPause},
    {"gold", Hours::ForexWeekWithPause},
    {"gas", Hours::ForexWeekWithPause},
    {"brent", Hours::ForexWeekWithPause},
    {"wti", Hours::ForexWeekWithPause},
    {"silver", Hours::ForexWeekWithPause},
    {"dxy", Hours::ForexWeekWithPause},
    {"cac40", Hours::Europe},
    {"dax", Hours::Europe},
    {"ibex35", Hours::Europe},
    {"ftse100", Hours::Europe},
    {"dow30", Hours::NewYork},
    {"sp500", Hours::NewYork},
    {"apple", Hours::NewYork},
    {"facebook", Hours::NewYork},
    {"google", Hours::NewYork},
    {"nikkei225", Hours::Tokyo},
    {"hangseng", Hours::HongKong},
};

Hours hoursOf(const QString &code)
{
    if (code.startsWith(QLatin1String("crypto-")))
        return Hours::Always;
    for (const CodeHours &entry : kHours) {
        if (code == QLatin1String(entry.code))
            return entry.hours;
    }
    return Hours::ForexWeek;
}

bool inside(int ofDay, std::initializer_list<Window> windows)
{
    for (const Window &window : windows) {
        if (ofDay >= window.from && ofDay < window.to)
            return true;
    }
    return false;
}

} // namespace

bool tradesAt(const QString &code, qint64 minute)
{
    const Hours hours = hoursOf(code);
    const int ofDay = int(floorMod(minute, kMinutesPerDay));
    const bool weekday = weekdayOf(minute) < 5;
    switch (hours) {
    case Hours::Always:
        return true;
    case Hours::ForexWeek:
        return forexOpen(minute);
    case Hours::ForexWeekWithPause:
        return forexOpen(minute) && !inside(ofDay, {{at(20, 0), at(23, 0)}});
    case Hours::Europe:
        return weekday && inside(ofDay, {{at(8, 0), at(15, 30)}});
    case Hours::NewYork:
        return weekday && inside(ofDay, {{at(14, 30), at(20, 0)}});
    case Hours::Tokyo:
        return weekday && inside(ofDay, {{at(0, 0), at(2, 30)}, {at(3, 30), at(6, 0)}});
    case Hours::HongKong:
        return weekday && inside(ofDay, {{at(1, 30), at(4, 0)}, {at(5, 0), at(8, 0)}});
    }
    return false;
}

std::optional<qint64> staleSince(const QString &code, qint64 lastEnd, qint64 now)
{
    // Minutes [lastEnd, now - 1) are owed; walking back from the newest, five traded ones are
    // enough, so a long closed stretch (a weekend) costs one walk to its start at most.
    int traded = 0;
    for (qint64 minute = now - 2; minute >= lastEnd; --minute) {
        if (tradesAt(code, minute) && ++traded >= kStaleMinutes)
            return lastEnd;
    }
    return std::nullopt;
}
