#pragma once

#include "live/candlecheck.h"

#include <array>
#include <map>
#include <vector>

// The euro index (EXY), the geometric average of the euro against five currencies with the
// index's published weights:
//   EXY = 34.38805726 * EURUSD^0.3155 * EURGBP^0.3056 * EURJPY^0.1891 * EURCHF^0.1113
//                     * EURSEK^0.0785
namespace euroindex {

inline constexpr int kConstituentCount = 5;
// The constituents in the formula's order, by server code ("eursek" is no instrument of its own).
inline constexpr std::array<const char *, kConstituentCount> kConstituents{
    "eurusd", "eurgbp", "eurjpy", "eurchf", "eursek"};
inline constexpr int kDecimals = 3;

double value(const std::array<double, kConstituentCount> &rates);
// The index's candle from its constituents' candles of the same minute and length: open and
// close from theirs, high and low from their highs and lows (the index rises with every rate, so
// that is a candle that holds the open and the close; an upper and a lower bound, as the
// constituents need not peak at once). Rounded to kDecimals.
Candle candle(const std::array<Candle, kConstituentCount> &constituents);

} // namespace euroindex

// Pairs the constituents' candles up: a candle of the index exists for a time and length every
// constituent has a candle for. Times are given up once every constituent has passed them.
class EuroIndexBuilder
{
public:
    // A constituent that never comes (no source, blocked) must not make the others pile up: more
    // than a warm-up's worth of candles waiting is dropped from the oldest.
    static constexpr size_t kMostWaiting = 20000;

    void add(int constituent, const std::vector<TimedCandle> &candles);
    // The index's candles that can be made, oldest first, from `fromMinute` on.
    std::vector<TimedCandle> take(qint64 fromMinute);
    size_t waiting(int constituent) const { return m_pending[size_t(constituent)].size(); }

private:
    std::array<std::map<qint64, TimedCandle>, euroindex::kConstituentCount> m_pending;
    std::array<qint64, euroindex::kConstituentCount> m_reached{};
};
