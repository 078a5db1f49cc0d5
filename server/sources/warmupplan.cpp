#include "sources/warmupplan.h"

#include "market/market.h"
#include "market/minutes.h"

#include <algorithm>

namespace {

// How many days before the end a stretch of this step begins, after the simulated history:
// minutes for the last 4 days, quarter hours for the 20 before, hours before that.
qint64 daysBackFor(int step)
{
    for (const Market::HistoryStretch &stretch : Market::kHistory) {
        if (stretch.stepMinutes <= step)
            return stretch.daysBack;
    }
    return Market::kHistory.back().daysBack;
}

qint64 alignUp(qint64 minute, int step)
{
    return floorDiv(minute + step - 1, step) * step;
}

} // namespace

std::vector<WarmUpStretch> warmUpStretches(qint64 fromMinute, qint64 toMinute,
                                           const std::vector<int> &steps)
{
    std::vector<WarmUpStretch> stretches;
    qint64 start = fromMinute;
    for (size_t i = 0; i < steps.size() && start < toMinute; ++i) {
        const int step = steps[i];
        const bool last = i + 1 == steps.size();
        const qint64 begin = alignUp(start, step);
        // The next, finer stretch begins where its own days back start, on this step.
        const qint64 end =
            last ? floorDiv(toMinute, step) * step
                 : floorDiv(toMinute - daysBackFor(steps[i + 1]) * kMinutesPerDay, step) * step;
        if (end > begin) {
            stretches.push_back(WarmUpStretch{begin, end, step});
            start = end;
        }
    }
    return stretches;
}
