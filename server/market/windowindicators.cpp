#include "market/windowindicators.h"

#include <algorithm>
#include <cmath>

namespace {

std::span<const Candle> last(std::span<const Candle> candles, int count)
{
    return candles.subspan(candles.size() - static_cast<size_t>(count));
}

double typicalPrice(const Candle &candle)
{
    return (candle.high + candle.low + candle.close) / 3.0;
}

} // namespace

Range rangeOf(std::span<const Candle> candles, int period)
{
    Range range{candles.back().high, candles.back().low};
    for (const Candle &candle : last(candles, period)) {
        range.high = std::max(range.high, candle.high);
        range.low = std::min(range.low, candle.low);
    }
    return range;
}

double simpleAverage(std::span<const Candle> candles, int period)
{
    double sum = 0;
    for (const Candle &candle : last(candles, period))
        sum += candle.close;
    return sum / period;
}

double stochasticK(std::span<const Candle> candles, int period)
{
    const Range range = rangeOf(candles, period);
    const double width = range.high - range.low;
    return width > 0 ? 100.0 * (candles.back().close - range.low) / width : 50.0;
}

double stochasticD(std::span<const Candle> candles, int period, int smoothing)
{
    double sum = 0;
    for (int back = 0; back < smoothing; ++back)
        sum += stochasticK(candles.first(candles.size() - static_cast<size_t>(back)), period);
    return sum / smoothing;
}

double williamsR(std::span<const Candle> candles, int period)
{
    const Range range = rangeOf(candles, period);
    const double width = range.high - range.low;
    return width > 0 ? -100.0 * (range.high - candles.back().close) / width : -50.0;
}

double commodityChannelIndex(std::span<const Candle> candles, int period)
{
    const std::span<const Candle> window = last(candles, period);
    double mean = 0;
    double highest = typicalPrice(window.front());
    double lowest = highest;
    for (const Candle &candle : window) {
        const double price = typicalPrice(candle);
        mean += price;
        highest = std::max(highest, price);
        lowest = std::min(lowest, price);
    }
    // The mean of equal prices need not round back to the price, and the deviation from it, a
    // few units in the last place, would be read as a move of two thirds of the band.
    if (highest - lowest <= kMotionlessRelativeRange * std::abs(highest))
        return 0.0;
    mean /= period;
    double deviation = 0;
    for (const Candle &candle : window)
        deviation += std::abs(typicalPrice(candle) - mean);
    deviation /= period;
    return (typicalPrice(candles.back()) - mean) / (0.015 * deviation);
}

double ultimateOscillator(std::span<const Candle> candles)
{
    double pressure[3] = {0, 0, 0};
    double ranges[3] = {0, 0, 0};
    constexpr int kPeriods[3] = {7, 14, 28};
    const size_t size = candles.size();
    for (int back = 0; back < 28; ++back) {
        const Candle &candle = candles[size - 1 - static_cast<size_t>(back)];
        const double previousClose = candles[size - 2 - static_cast<size_t>(back)].close;
        const double floor = std::min(candle.low, previousClose);
        const double ceiling = std::max(candle.high, previousClose);
        for (int k = 0; k < 3; ++k) {
            if (back < kPeriods[k]) {
                pressure[k] += candle.close - floor;
                ranges[k] += ceiling - floor;
            }
        }
    }
    double average[3];
    for (int k = 0; k < 3; ++k)
        average[k] = ranges[k] > 0 ? pressure[k] / ranges[k] : 0.5;
    return 100.0 * (4 * average[0] + 2 * average[1] + average[2]) / 7.0;
}

double rateOfChange(std::span<const Candle> candles, int period)
{
    const double before = candles[candles.size() - 1 - static_cast<size_t>(period)].close;
    return before != 0 ? 100.0 * (candles.back().close - before) / before : 0.0;
}

double highsLows(std::span<const Candle> candles, int period)
{
    const Range recent = rangeOf(candles, period);
    const Range before =
        rangeOf(candles.first(candles.size() - static_cast<size_t>(period)), period);
    return ((recent.high - before.high) + (recent.low - before.low)) / 2.0;
}
