#pragma once

#include "market/candle.h"
#include "market/indicatorstate.h"
#include "market/pivots.h"
#include "market/timeframe.h"
#include "market/verdicts.h"

#include <QString>

#include <array>

class CandleBook;
class TimeframeSeries;

inline constexpr int kIndicatorCount = 12;
// A timeframe is read only when MA200 has its 200 candles; every other indicator needs fewer.
inline constexpr int kMinimumCandles = 200;

// The twelve indicators in the order of the record's lines.
enum class Indicator : int
{
    Rsi,
    Stochastic,
    StochasticRsi,
    Macd,
    Adx,
    Williams,
    Cci,
    Atr,
    HighsLows,
    Ultimate,
    RateOfChange,
    BullBearPower,
};

// "RSI(14)", "STOCH(9,6)", ...
QString indicatorName(Indicator indicator);

struct IndicatorReading
{
    double value = 0; // rounded to `decimals`
    int decimals = 0;
    Verdict verdict = Verdict::Neutral;
    // STOCH(9,6) also carries its %D, MACD(12,26) its signal line.
    double detail = 0;
    bool hasDetail = false;
};

struct AverageReading
{
    int period = 0;
    double simple = 0; // both rounded to the instrument's decimals
    double exponential = 0;
    Verdict simpleVerdict = Verdict::Neutral;
    Verdict exponentialVerdict = Verdict::Neutral;
};

// Counts of votes, as a reader wants them.
struct VoteTally
{
    int buy = 0;
    int sell = 0;
    int neutral = 0;
    int sum() const { return buy - sell; }
    int count() const { return buy + sell + neutral; }
    void add(Verdict verdict);
};

// Everything the record says about one timeframe of one instrument.
struct TimeframeReading
{
    Timeframe timeframe = Timeframe::M1;
    qint64 candleCount = 0;
    bool complete = false; // false: too little history, nothing below is meaningful
    Candle current;        // the last completed candle, the one the indicators read last
    Candle previous;       // the one before it
    std::array<IndicatorReading, kIndicatorCount> indicators{};
    std::array<AverageReading, kAveragePeriods.size()> averages{};
    VoteTally indicatorVotes;
    VoteTally averageVotes;
    Summary indicatorSummary = Summary::Neutral;
    Summary averageSummary = Summary::Neutral;
    Summary overallSummary = Summary::Neutral;
    PivotLevels pivots{}; // for the period that follows `current`, from its high, low and close
};

// Reads the completed candles of a timeframe at `now` (the minute up to which candles are in);
// `priceDecimals` are the instrument's decimals. Reading completed candles only keeps a
// timeframe's verdict steady while its candle forms: H1 changes at most once an hour.
TimeframeReading readTimeframe(const TimeframeSeries &series, qint64 now, int priceDecimals);
// Every timeframe of a book, M1 first.
std::array<TimeframeReading, kTimeframeCount> readTimeframes(const CandleBook &book, qint64 now,
                                                             int priceDecimals);
