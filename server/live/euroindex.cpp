#include "live/euroindex.h"

#include "documents/numberformat.h"

#include <algorithm>
#include <cmath>

namespace euroindex {

namespace {

constexpr double kScale = 34.38805726;
constexpr std::array<double, kConstituentCount> kWeights{0.3155, 0.3056, 0.1891, 0.1113, 0.0785};

} // namespace

double value(const std::array<double, kConstituentCount> &rates)
{
    double logSum = 0;
    for (int i = 0; i < kConstituentCount; ++i)
        logSum += kWeights[size_t(i)] * std::log(rates[size_t(i)]);
    return kScale * std::exp(logSum);
}

Candle candle(const std::array<Candle, kConstituentCount> &constituents)
{
    const auto of = [&constituents](double Candle::*price) {
        std::array<double, kConstituentCount> rates{};
        for (int i = 0; i < kConstituentCount; ++i)
            rates[size_t(i)] = constituents[size_t(i)].*price;
        return roundedTo(value(rates), kDecimals);
    };
    Candle index;
    index.minute = constituents[0].minute;
    index.open = of(&Candle::open);
    index.high = of(&Candle::high);
    index.low = of(&Candle::low);
    index.close = of(&Candle::close);
    return index;
}

} // namespace euroindex

void EuroIndexBuilder::add(int constituent, const std::vector<TimedCandle> &candles)
{
    auto &pending = m_pending[size_t(constituent)];
    for (const TimedCandle &timed : candles) {
        pending.insert_or_assign(timed.candle.minute, timed);
        m_reached[size_t(constituent)] =
            std::max(m_reached[size_t(constituent)], timed.candle.minute + timed.minutes);
    }
    while (pending.size() > kMostWaiting)
        pending.erase(pending.begin());
}

std::vector<TimedCandle> EuroIndexBuilder::take(qint64 fromMinute)
{
    const qint64 horizon = *std::min_element(m_reached.begin(), m_reached.end());
    std::vector<TimedCandle> made;
    for (const auto &[minute, first] : m_pending[0]) {
        if (minute + first.minutes > horizon)
            break;
        if (minute < fromMinute)
            continue;
        std::array<Candle, euroindex::kConstituentCount> candles{};
        bool complete = true;
        for (int i = 0; i < euroindex::kConstituentCount && complete; ++i) {
            const auto found = m_pending[size_t(i)].find(minute);
            complete =
                found != m_pending[size_t(i)].end() && found->second.minutes == first.minutes;
            if (complete)
                candles[size_t(i)] = found->second.candle;
        }
        if (complete) {
            made.push_back(TimedCandle{euroindex::candle(candles), first.minutes});
            fromMinute = minute + first.minutes;
        }
    }
    // Every constituent has passed the horizon: what lies before it can never pair up.
    for (auto &pending : m_pending) {
        for (auto it = pending.begin(); it != pending.end() && it->first < horizon;) {
            if (it->first + it->second.minutes <= horizon)
                it = pending.erase(it);
            else
                ++it;
        }
    }
    return made;
}
