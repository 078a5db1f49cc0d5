#pragma once

#include <QString>

// What one indicator says, in the words of the record.
enum class Verdict
{
    Buy,
    Sell,
    Neutral,
    Oversold,
    Overbought,
    LessVolatility,
    HighVolatility,
};

// "Buy", "Sell", "Neutral", "Oversold", "Overbought", "Less Volatility", "High Volatility"
QString verdictText(Verdict verdict);

// Buy +1, Sell -1, every other verdict 0: an oscillator at an extreme abstains, because the
// move that took it there may be about to turn.
int vote(Verdict verdict);

// Levels of a bounded oscillator: below `oversold` Oversold, above `overbought` Overbought,
// between `neutralLow` and `neutralHigh` (inclusive) Neutral, otherwise Buy above and Sell below
// the neutral band.
struct OscillatorBands
{
    double oversold;
    double neutralLow;
    double neutralHigh;
    double overbought;
};

inline constexpr OscillatorBands kRsiBands{30, 45, 55, 70};
inline constexpr OscillatorBands kStochasticBands{20, 45, 55, 80};
inline constexpr OscillatorBands kWilliamsBands{-80, -55, -45, -20};
inline constexpr OscillatorBands kCciBands{-200, -50, 50, 200};
inline constexpr OscillatorBands kUltimateBands{30, 45, 55, 70};
// ADX at or above this level is a trend whose side the directional indicators tell.
inline constexpr double kAdxTrendLevel = 25;

Verdict oscillatorVerdict(double value, const OscillatorBands &bands);
// A line against its signal line: beyond the bands' extremes Overbought or Oversold, otherwise
// Buy while the line is above its signal, Sell while below (the neutral band is not used).
Verdict crossingVerdict(double value, double signal, const OscillatorBands &bands);
// Buy above zero, Sell below, Neutral at zero.
Verdict signVerdict(double value);
Verdict adxVerdict(double adx, double plusDi, double minusDi);
// High Volatility while the ATR is above the average of its recent values.
Verdict volatilityVerdict(double atr, double recentAverage);
// A moving average says Buy while the close is above it and Sell while below.
Verdict averageVerdict(double close, double average);

// A verdict of many votes.
enum class Summary
{
    StrongSell,
    Sell,
    Neutral,
    Buy,
    StrongBuy,
};

// "Strong Sell", "Sell", "Neutral", "Buy", "Strong Buy"
QString summaryText(Summary summary);

// The mean vote m = sum / count: Strong Sell below -0.5, Sell below -0.1, Neutral up to 0.1,
// Buy up to 0.5, Strong Buy above. Exact: compared in whole numbers.
Summary summaryOf(int sum, int count);
// The mean of two means (indicators and moving averages), mapped the same way.
Summary combinedSummary(int firstSum, int firstCount, int secondSum, int secondCount);
// The mean of two means as a number, for the record's readers.
double combinedScore(int firstSum, int firstCount, int secondSum, int secondCount);
