#include "market/tradingsession.h"

#include "market/minutes.h"
#include "market/timeframe.h"

namespace {

constexpr int kFriday = 4;
constexpr int kSaturday = 5;
constexpr int kSunday = 6;
constexpr qint64 kSessionBoundary = 22 * 60; // 22:00 GMT

} // namespace

int weekdayOf(qint64 minute)
{
    return int(floorMod(floorDiv(minute, kMinutesPerDay) + 3, 7)); // 1970-01-01 was a Thursday
}

bool forexOpen(qint64 minute)
{
    const int weekday = weekdayOf(minute);
    const qint64 ofDay = floorMod(minute, kMinutesPerDay);
    if (weekday == kSaturday)
        return false;
    if (weekday == kFriday)
        return ofDay < kSessionBoundary;
    if (weekday == kSunday)
        return ofDay >= kSessionBoundary;
    return true;
}

QString tradingFlagText(qint64 minute)
{
    return forexOpen(minute) ? QStringLiteral("yes;forex market open")
                             : QStringLiteral("no;forex market closed until Sunday 22:00 GMT");
}
