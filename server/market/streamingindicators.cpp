#include "market/streamingindicators.h"

#include <algorithm>
#include <cmath>

void SeededAverage::add(double x)
{
    if (m_count < m_period) {
        m_value += (x - m_value) / (m_count + 1); // running simple average while seeding
        ++m_count;
        return;
    }
    m_value += m_weight * (x - m_value);
}

void Rsi::add(double close)
{
    if (m_previousClose) {
        const double change = close - *m_previousClose;
        m_gain.add(std::max(change, 0.0));
        m_loss.add(std::max(-change, 0.0));
    }
    m_previousClose = close;
}

double Rsi::value() const
{
    const double gain = m_gain.value();
    const double loss = m_loss.value();
    if (loss <= 0)
        return gain <= 0 ? 50.0 : 100.0;
    return 100.0 - 100.0 / (1.0 + gain / loss);
}

void Atr::add(const Candle &candle)
{
    double range = candle.high - candle.low;
    if (m_previousClose) {
        range = std::max({range, std::abs(candle.high - *m_previousClose),
                          std::abs(candle.low - *m_previousClose)});
    }
    m_range.add(range);
    m_previousClose = candle.close;
}

void Adx::add(const Candle &candle)
{
    if (m_previous) {
        const double up = candle.high - m_previous->high;
        const double down = m_previous->low - candle.low;
        const double range =
            std::max({candle.high - candle.low, std::abs(candle.high - m_previous->close),
                      std::abs(candle.low - m_previous->close)});
        m_trueRange.add(range);
        m_plusMove.add(up > down && up > 0 ? up : 0.0);
        m_minusMove.add(down > up && down > 0 ? down : 0.0);
        if (m_trueRange.ready()) {
            const double plus = plusDi();
            const double minus = minusDi();
            const double sum = plus + minus;
            m_adx.add(sum > 0 ? 100.0 * std::abs(plus - minus) / sum : 0.0);
        }
    }
    m_previous = candle;
}

double Adx::plusDi() const
{
    const double range = m_trueRange.value();
    return range > 0 ? 100.0 * m_plusMove.value() / range : 0.0;
}

double Adx::minusDi() const
{
    const double range = m_trueRange.value();
    return range > 0 ? 100.0 * m_minusMove.value() / range : 0.0;
}
