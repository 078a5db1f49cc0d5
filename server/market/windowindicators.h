#pragma once

#include "market/candle.h"

#include <span>

// Indicators read from the last candles of a series; the last candle of `candles` is the
// current one. Each needs at least the number of candles its comment names and is undefined
// with fewer (callers check the history first).

// Simple moving average of the last `period` closes. Needs `period`.
double simpleAverage(std::span<const Candle> candles, int period);

// Stochastic %K: 100 (C - lowest low) / (highest high - lowest low) over `period` candles,
// 50 when the range is empty. Needs `period`.
double stochasticK(std::span<const Candle> candles, int period);

// Stochastic %D: simple average of the last `smoothing` values of %K. Needs
// period + smoothing - 1.
double stochasticD(std::span<const Candle> candles, int period, int smoothing);

// Williams %R: -100 (highest high - C) / (highest high - lowest low) over `period`, -50 when
// the range is empty. Needs `period`.
double williamsR(std::span<const Candle> candles, int period);

// Prices whose spread is below this fraction of the price have not moved: far above the rounding
// of sums and means, far below any tick a price is quoted in.
inline constexpr double kMotionlessRelativeRange = 1e-12;

// Commodity Channel Index: (TP - SMA(TP)) / (0.015 mean deviation of TP) with the typical price
// TP = (H + L + C) / 3 over `period`; 0 when TP did not move (its highest and lowest differ by
// less than kMotionlessRelativeRange of it). Needs `period`.
double commodityChannelIndex(std::span<const Candle> candles, int period);

// Ultimate Oscillator (Williams) over 7, 14 and 28 candles: buying pressure C - min(L, prevC)
// against the true range max(H, prevC) - min(L, prevC);
// UO = 100 (4 A7 + 2 A14 + A28) / 7, a period without any true range counting 0.5 (so a
// motionless market reads 50). Needs 29.
double ultimateOscillator(std::span<const Candle> candles);

// Rate of change in percent: 100 (C - C[period ago]) / C[period ago]. Needs period + 1.
double rateOfChange(std::span<const Candle> candles, int period);

// Highs/Lows: how far the highest high and the lowest low of the last `period` candles moved
// against the `period` candles before them, ((HH - HHprev) + (LL - LLprev)) / 2. Positive while
// the market makes higher highs and higher lows. Needs 2 * period.
double highsLows(std::span<const Candle> candles, int period);

// Highest high and lowest low of the last `period` candles.
struct Range
{
    double high;
    double low;
};
Range rangeOf(std::span<const Candle> candles, int period);
