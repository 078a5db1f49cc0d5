#pragma once

#include "market/candle.h"
#include "market/indicatorstate.h"
#include "market/timeframe.h"

#include <array>
#include <optional>
#include <span>
#include <vector>

// The candles of one timeframe: the recent ones, the last of which is the forming candle (the
// one that holds the latest minute), and the indicator state of every candle before it.
class TimeframeSeries
{
public:
    // Enough for the longest window (MA200) with room to spare.
    static constexpr int kRetained = 256;

    explicit TimeframeSeries(Timeframe timeframe = Timeframe::M1)
        : m_timeframe(timeframe)
    {}

    // Adds a candle that opens at or after the forming candle's bucket.
    void add(const Candle &candle);

    Timeframe timeframe() const { return m_timeframe; }
    // Candles ever formed, the forming one included.
    qint64 count() const { return m_count; }
    // The retained candles, oldest first; the last is the forming one.
    std::span<const Candle> candles() const { return m_candles; }
    // The candles that are complete by `now` (every candle opening before it is in): all but
    // the forming one, unless that one's time is over too.
    std::span<const Candle> completed(qint64 now) const;
    // The state of the candles completed(now) returns.
    IndicatorState completedState(qint64 now) const;

private:
    bool formingComplete(qint64 now) const;

    Timeframe m_timeframe;
    std::vector<Candle> m_candles;
    IndicatorState m_committed; // every candle before the forming one
    qint64 m_count = 0;
};

// Aggregates minute candles (or coarser ones) into all seven timeframes.
class CandleBook
{
public:
    CandleBook();

    // Adds a candle lasting `durationMinutes`: timeframes shorter than that do not see it.
    void add(const Candle &candle, int durationMinutes = 1);

    const TimeframeSeries &series(Timeframe timeframe) const
    {
        return m_series[static_cast<int>(timeframe)];
    }
    // The latest candle added, if any.
    std::optional<Candle> latest() const { return m_latest; }

private:
    std::array<TimeframeSeries, kTimeframeCount> m_series;
    std::optional<Candle> m_latest;
};
