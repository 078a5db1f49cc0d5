#include "market/verdicts.h"

#include <array>

QString verdictText(Verdict verdict)
{
    static constexpr std::array<const char *, 7> kTexts{
        "Buy", "Sell", "Neutral", "Oversold", "Overbought", "Less Volatility", "High Volatility"};
    return QLatin1String(kTexts[static_cast<int>(verdict)]);
}

int vote(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Buy:
        return 1;
    case Verdict::Sell:
        return -1;
    default:
        return 0;
    }
}

Verdict oscillatorVerdict(double value, const OscillatorBands &bands)
{
    if (value > bands.overbought)
        return Verdict::Overbought;
    if (value < bands.oversold)
        return Verdict::Oversold;
    if (value > bands.neutralHigh)
        return Verdict::Buy;
    if (value < bands.neutralLow)
        return Verdict::Sell;
    return Verdict::Neutral;
}

Verdict crossingVerdict(double value, double signal, const OscillatorBands &bands)
{
    if (value > bands.overbought)
        return Verdict::Overbought;
    if (value < bands.oversold)
        return Verdict::Oversold;
    return signVerdict(value - signal);
}

Verdict signVerdict(double value)
{
    if (value > 0)
        return Verdict::Buy;
    if (value < 0)
        return Verdict::Sell;
    return Verdict::Neutral;
}

Verdict adxVerdict(double adx, double plusDi, double minusDi)
{
    if (adx < kAdxTrendLevel)
        return Verdict::Neutral;
    return signVerdict(plusDi - minusDi);
}

Verdict volatilityVerdict(double atr, double recentAverage)
{
    return atr > recentAverage ? Verdict::HighVolatility : Verdict::LessVolatility;
}

Verdict averageVerdict(double close, double average)
{
    return signVerdict(close - average);
}

QString summaryText(Summary summary)
{
    static constexpr std::array<const char *, 5> kTexts{"Strong Sell", "Sell", "Neutral", "Buy",
                                                        "Strong Buy"};
    return QLatin1String(kTexts[static_cast<int>(summary)]);
}

namespace {

// The thresholds of summaryOf, for a mean vote of numerator / denominator (denominator > 0).
Summary summaryOfFraction(qint64 numerator, qint64 denominator)
{
    if (2 * numerator < -denominator)
        return Summary::StrongSell; // m < -0.5
    if (10 * numerator < -denominator)
        return Summary::Sell; // m < -0.1
    if (10 * numerator <= denominator)
        return Summary::Neutral; // m <= 0.1
    if (2 * numerator <= denominator)
        return Summary::Buy; // m <= 0.5
    return Summary::StrongBuy;
}

} // namespace

Summary summaryOf(int sum, int count)
{
    return count > 0 ? summaryOfFraction(sum, count) : Summary::Neutral;
}

Summary combinedSummary(int firstSum, int firstCount, int secondSum, int secondCount)
{
    // (a / b + c / d) / 2 = (a d + c b) / (2 b d)
    return summaryOfFraction(qint64(firstSum) * secondCount + qint64(secondSum) * firstCount,
                             2 * qint64(firstCount) * secondCount);
}

double combinedScore(int firstSum, int firstCount, int secondSum, int secondCount)
{
    return (double(firstSum) / firstCount + double(secondSum) / secondCount) / 2.0;
}
