#include "replaymarket.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 kWeek = 7 * 1440;
// 1970-01-01 was a Thursday: Friday 22:00 is this far into a week counted from then.
constexpr qint64 kWeekendStart = 1440 + 22 * 60;
constexpr qint64 kWeekendLength = 2 * 1440;

bool isWeekend(qint64 minute)
{
    const qint64 inWeek = ((minute % kWeek) + kWeek) % kWeek;
    return inWeek >= kWeekendStart && inWeek < kWeekendStart + kWeekendLength;
}

// Park and Miller's generator: small, and the same everywhere.
class Lehmer
{
public:
    explicit Lehmer(quint32 seed)
        : m_state(seed % 2147483647u == 0 ? 1 : seed % 2147483647u)
    {}
    int below(int bound)
    {
        m_state = quint32((quint64(m_state) * 48271u) % 2147483647u);
        return int(m_state % quint32(bound));
    }

private:
    quint32 m_state;
};

} // namespace

std::vector<Candle> replayMinutes(qint64 from, qint64 to, double start, int decimals, quint32 seed)
{
    const double scale = std::pow(10.0, decimals);
    Lehmer random(seed);
    qint64 level = std::llround(start * scale);
    std::vector<Candle> candles;
    for (qint64 minute = from; minute < to; ++minute) {
        if (isWeekend(minute) || random.below(100) < 3)
            continue;
        const qint64 open = level;
        const qint64 close = std::max<qint64>(1, open + random.below(21) - 10);
        const qint64 high = std::max(open, close) + random.below(4);
        const qint64 low = std::max<qint64>(1, std::min(open, close) - random.below(4));
        candles.push_back(Candle{minute, double(open) / scale, double(high) / scale,
                                 double(low) / scale, double(close) / scale});
        level = close;
    }
    return candles;
}

std::vector<Candle> aggregated(const std::vector<Candle> &minutes, int stepMinutes)
{
    std::vector<Candle> result;
    for (const Candle &minute : minutes) {
        const qint64 bucket =
            minute.minute - (((minute.minute % stepMinutes) + stepMinutes) % stepMinutes);
        if (result.empty() || result.back().minute != bucket) {
            result.push_back(Candle{bucket, minute.open, minute.high, minute.low, minute.close});
            continue;
        }
        Candle &candle = result.back();
        candle.high = std::max(candle.high, minute.high);
        candle.low = std::min(candle.low, minute.low);
        candle.close = minute.close;
    }
    return result;
}

std::vector<Candle> within(const std::vector<Candle> &candles, qint64 from, qint64 to)
{
    const auto byMinute = [](const Candle &candle, qint64 minute) {
        return candle.minute < minute;
    };
    const auto first = std::lower_bound(candles.begin(), candles.end(), from, byMinute);
    const auto last = std::lower_bound(first, candles.end(), std::max(from, to), byMinute);
    return std::vector<Candle>(first, last);
}
