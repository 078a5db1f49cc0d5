#include "market/timeframereading.h"

#include "documents/numberformat.h"
#include "market/candlebook.h"
#include "market/windowindicators.h"

#include <algorithm>

namespace {

constexpr int kOscillatorDecimals = 3;

// Every verdict is taken from the value as written, so that the record never contradicts itself.
IndicatorReading oscillator(double value, const OscillatorBands &bands)
{
    IndicatorReading reading;
    reading.decimals = kOscillatorDecimals;
    reading.value = roundedTo(value, reading.decimals);
    reading.verdict = oscillatorVerdict(reading.value, bands);
    return reading;
}

IndicatorReading signedValue(double value, int decimals)
{
    IndicatorReading reading;
    reading.decimals = decimals;
    reading.value = roundedTo(value, decimals);
    reading.verdict = signVerdict(reading.value);
    return reading;
}

// RSI of a motionless market stays put in theory but wanders in its last bits as its averages
// decay; a range this small is no range.
constexpr double kRsiRangeTolerance = 1e-9;

double stochasticOfRsi(const IndicatorState &state)
{
    double low = state.recentRsi.at(0);
    double high = low;
    for (int i = 1; i < state.recentRsi.size(); ++i) {
        low = std::min(low, state.recentRsi.at(i));
        high = std::max(high, state.recentRsi.at(i));
    }
    return high - low > kRsiRangeTolerance ? 100.0 * (state.rsi.value() - low) / (high - low)
                                           : 50.0;
}

double averageOf(const RecentValues<14> &values)
{
    double sum = 0;
    for (int i = 0; i < values.size(); ++i)
        sum += values.at(i);
    return values.size() > 0 ? sum / values.size() : 0.0;
}

void readIndicators(TimeframeReading &reading, std::span<const Candle> candles,
                    const IndicatorState &state, int priceDecimals)
{
    const int fine = priceDecimals + 1; // price-sized values get one decimal more than prices
    auto &out = reading.indicators;
    auto at = [&out](Indicator indicator) -> IndicatorReading & {
        return out[static_cast<int>(indicator)];
    };

    at(Indicator::Rsi) = oscillator(state.rsi.value(), kRsiBands);
    IndicatorReading &stochastic = at(Indicator::Stochastic);
    stochastic.decimals = kOscillatorDecimals;
    stochastic.value = roundedTo(stochasticK(candles, 9), kOscillatorDecimals);
    stochastic.detail = roundedTo(stochasticD(candles, 9, 6), kOscillatorDecimals);
    stochastic.hasDetail = true;
    stochastic.verdict = crossingVerdict(stochastic.value, stochastic.detail, kStochasticBands);

    at(Indicator::StochasticRsi) = oscillator(stochasticOfRsi(state), kStochasticBands);
    IndicatorReading &macd = at(Indicator::Macd);
    macd = signedValue(state.macdFast.value() - state.macdSlow.value(), fine);
    macd.detail = roundedTo(state.macdSignal.value(), fine);
    macd.hasDetail = true;
    macd.verdict = signVerdict(macd.value - macd.detail);

    IndicatorReading &adx = at(Indicator::Adx);
    adx.decimals = kOscillatorDecimals;
    adx.value = roundedTo(state.adx.value(), adx.decimals);
    adx.verdict = adxVerdict(adx.value, roundedTo(state.adx.plusDi(), kOscillatorDecimals),
                             roundedTo(state.adx.minusDi(), kOscillatorDecimals));

    at(Indicator::Williams) = oscillator(williamsR(candles, 14), kWilliamsBands);
    at(Indicator::Cci) = oscillator(commodityChannelIndex(candles, 14), kCciBands);

    IndicatorReading &atr = at(Indicator::Atr);
    atr.decimals = fine;
    atr.value = roundedTo(state.atr.value(), fine);
    atr.verdict = volatilityVerdict(atr.value, roundedTo(averageOf(state.recentAtr), fine));

    at(Indicator::HighsLows) = signedValue(highsLows(candles, 14), fine);
    at(Indicator::Ultimate) = oscillator(ultimateOscillator(candles), kUltimateBands);
    at(Indicator::RateOfChange) = signedValue(rateOfChange(candles, 12), kOscillatorDecimals);
    const double power =
        (candles.back().high - state.power.value()) + (candles.back().low - state.power.value());
    at(Indicator::BullBearPower) = signedValue(power, fine);

    for (const IndicatorReading &indicator : out)
        reading.indicatorVotes.add(indicator.verdict);
}

void readAverages(TimeframeReading &reading, std::span<const Candle> candles,
                  const IndicatorState &state, int priceDecimals)
{
    const double close = candles.back().close;
    for (size_t i = 0; i < kAveragePeriods.size(); ++i) {
        AverageReading &average = reading.averages[i];
        average.period = kAveragePeriods[i];
        average.simple = roundedTo(simpleAverage(candles, average.period), priceDecimals);
        average.exponential = roundedTo(state.averages[i].value(), priceDecimals);
        average.simpleVerdict = averageVerdict(close, average.simple);
        average.exponentialVerdict = averageVerdict(close, average.exponential);
        reading.averageVotes.add(average.simpleVerdict);
        reading.averageVotes.add(average.exponentialVerdict);
    }
}

} // namespace

QString indicatorName(Indicator indicator)
{
    static constexpr std::array<const char *, kIndicatorCount> kNames{
        "RSI(14)",        "STOCH(9,6)",          "STOCHRSI(14)", "MACD(12,26)",
        "ADX(14)",        "Williams %R(14)",     "CCI(14)",      "ATR(14)",
        "Highs/Lows(14)", "Ultimate Oscillator", "ROC(12)",      "Bull/Bear Power(13)"};
    return QLatin1String(kNames[static_cast<int>(indicator)]);
}

void VoteTally::add(Verdict verdict)
{
    switch (vote(verdict)) {
    case 1:
        ++buy;
        break;
    case -1:
        ++sell;
        break;
    default:
        ++neutral;
        break;
    }
}

TimeframeReading readTimeframe(const TimeframeSeries &series, qint64 now, int priceDecimals)
{
    TimeframeReading reading;
    reading.timeframe = series.timeframe();
    const std::span<const Candle> candles = series.completed(now);
    reading.candleCount = series.count() - qint64(series.candles().size() - candles.size());
    if (reading.candleCount < kMinimumCandles || candles.size() < size_t(kMinimumCandles))
        return reading;

    reading.complete = true;
    reading.current = candles.back();
    reading.previous = candles[candles.size() - 2];
    const IndicatorState state = series.completedState(now);
    readIndicators(reading, candles, state, priceDecimals);
    readAverages(reading, candles, state, priceDecimals);
    reading.indicatorSummary =
        summaryOf(reading.indicatorVotes.sum(), reading.indicatorVotes.count());
    reading.averageSummary = summaryOf(reading.averageVotes.sum(), reading.averageVotes.count());
    reading.overallSummary =
        combinedSummary(reading.indicatorVotes.sum(), reading.indicatorVotes.count(),
                        reading.averageVotes.sum(), reading.averageVotes.count());
    reading.pivots =
        classicPivots(reading.current.high, reading.current.low, reading.current.close);
    return reading;
}

std::array<TimeframeReading, kTimeframeCount> readTimeframes(const CandleBook &book, qint64 now,
                                                             int priceDecimals)
{
    std::array<TimeframeReading, kTimeframeCount> readings{};
    for (Timeframe timeframe : kTimeframes) {
        readings[static_cast<int>(timeframe)] =
            readTimeframe(book.series(timeframe), now, priceDecimals);
    }
    return readings;
}
