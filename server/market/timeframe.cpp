#include "market/timeframe.h"

#include "market/minutes.h"

namespace {

// Days start at 22:00 GMT: shifting by two hours puts that moment on a whole day.
constexpr qint64 kDayShiftMinutes = 120;

} // namespace

QString timeframeName(Timeframe timeframe)
{
    static constexpr std::array<const char *, kTimeframeCount> kNames{"M1", "M5", "M15", "M30",
                                                                      "H1", "H4", "D1"};
    return QLatin1String(kNames[static_cast<int>(timeframe)]);
}

int timeframeMinutes(Timeframe timeframe)
{
    static constexpr std::array<int, kTimeframeCount> kMinutes{1, 5, 15, 30, 60, 240, 1440};
    return kMinutes[static_cast<int>(timeframe)];
}

qint64 bucketStart(Timeframe timeframe, qint64 minute)
{
    const qint64 size = timeframeMinutes(timeframe);
    return floorDiv(minute + kDayShiftMinutes, size) * size - kDayShiftMinutes;
}

std::optional<Timeframe> timeframeOfLength(int minutes)
{
    for (Timeframe timeframe : kTimeframes) {
        if (timeframeMinutes(timeframe) == minutes)
            return timeframe;
    }
    return std::nullopt;
}

bool fillsItsBucket(qint64 minute, int minutes)
{
    const std::optional<Timeframe> timeframe = timeframeOfLength(minutes);
    return timeframe && bucketStart(*timeframe, minute) == minute;
}
