#include "market/candlebook.h"

#include <algorithm>

void TimeframeSeries::add(const Candle &candle)
{
    const qint64 bucket = bucketStart(m_timeframe, candle.minute);
    if (!m_candles.empty() && m_candles.back().minute == bucket) {
        Candle &forming = m_candles.back();
        forming.high = std::max(forming.high, candle.high);
        forming.low = std::min(forming.low, candle.low);
        forming.close = candle.close;
        return;
    }
    if (!m_candles.empty())
        m_committed.add(m_candles.back());
    // Trimming by halves keeps the retained candles contiguous at a constant cost per candle.
    if (m_candles.size() >= 2 * static_cast<size_t>(kRetained))
        m_candles.erase(m_candles.begin(), m_candles.end() - kRetained);
    Candle opened = candle;
    opened.minute = bucket;
    m_candles.push_back(opened);
    ++m_count;
}

bool TimeframeSeries::formingComplete(qint64 now) const
{
    return !m_candles.empty() && m_candles.back().minute + timeframeMinutes(m_timeframe) <= now;
}

std::span<const Candle> TimeframeSeries::completed(qint64 now) const
{
    const std::span<const Candle> all = m_candles;
    return formingComplete(now) || all.empty() ? all : all.first(all.size() - 1);
}

IndicatorState TimeframeSeries::completedState(qint64 now) const
{
    IndicatorState state = m_committed;
    if (formingComplete(now))
        state.add(m_candles.back());
    return state;
}

CandleBook::CandleBook()
{
    for (Timeframe timeframe : kTimeframes)
        m_series[static_cast<int>(timeframe)] = TimeframeSeries(timeframe);
}

void CandleBook::add(const Candle &candle, int durationMinutes)
{
    for (TimeframeSeries &series : m_series) {
        if (timeframeMinutes(series.timeframe()) >= durationMinutes)
            series.add(candle);
    }
    m_latest = candle;
}
