#pragma once

#include "market/candle.h"

#include <array>
#include <optional>

// Indicators that carry state from candle to candle. Each is a small value type: a timeframe
// keeps one copy per indicator as of its last completed candle, and reads the forming candle by
// updating a copy, so a new minute costs one step per indicator whatever the history's length.

// A moving average seeded with the simple average of its first `period` values; afterwards
// value += weight * (x - value).
class SeededAverage
{
public:
    SeededAverage(int period, double weight)
        : m_period(period)
        , m_weight(weight)
    {}
    void add(double x);
    bool ready() const { return m_count >= m_period; }
    double value() const { return m_value; }

private:
    int m_period;
    double m_weight;
    int m_count = 0;
    double m_value = 0;
};

// Exponential moving average: weight 2 / (period + 1).
class Ema : public SeededAverage
{
public:
    explicit Ema(int period = 1)
        : SeededAverage(period, 2.0 / (period + 1))
    {}
};

// Wilder's moving average (RMA): weight 1 / period, that is value = (value (period - 1) + x) /
// period.
class WilderAverage : public SeededAverage
{
public:
    explicit WilderAverage(int period = 1)
        : SeededAverage(period, 1.0 / period)
    {}
};

// Relative Strength Index: Wilder averages of the close-to-close gains and losses;
// RSI = 100 - 100 / (1 + gain / loss), 100 when there was no loss, 50 when nothing moved.
class Rsi
{
public:
    explicit Rsi(int period = 14)
        : m_gain(period)
        , m_loss(period)
    {}
    void add(double close);
    bool ready() const { return m_loss.ready(); }
    double value() const;

private:
    std::optional<double> m_previousClose;
    WilderAverage m_gain;
    WilderAverage m_loss;
};

// Average True Range: Wilder average of the true range max(H - L, |H - prevC|, |L - prevC|);
// the first candle, without a previous close, counts H - L.
class Atr
{
public:
    explicit Atr(int period = 14)
        : m_range(period)
    {}
    void add(const Candle &candle);
    bool ready() const { return m_range.ready(); }
    double value() const { return m_range.value(); }

private:
    std::optional<double> m_previousClose;
    WilderAverage m_range;
};

// Average Directional Index with its directional indicators +DI and -DI (Wilder): directional
// movements and true range smoothed over `period`, DX = 100 |+DI - -DI| / (+DI + -DI), and ADX the
// Wilder average of DX.
class Adx
{
public:
    explicit Adx(int period = 14)
        : m_trueRange(period)
        , m_plusMove(period)
        , m_minusMove(period)
        , m_adx(period)
    {}
    void add(const Candle &candle);
    bool ready() const { return m_adx.ready(); }
    double value() const { return m_adx.value(); }
    double plusDi() const;
    double minusDi() const;

private:
    std::optional<Candle> m_previous;
    WilderAverage m_trueRange;
    WilderAverage m_plusMove;
    WilderAverage m_minusMove;
    WilderAverage m_adx;
};

// The last N values of a stream, oldest first when read through at().
template<int N>
class RecentValues
{
public:
    void add(double x)
    {
        m_values[m_next] = x;
        m_next = (m_next + 1) % N;
        if (m_count < N)
            ++m_count;
    }
    bool full() const { return m_count == N; }
    int size() const { return m_count; }
    double at(int i) const { return m_values[(m_next - m_count + i + N) % N]; }

private:
    std::array<double, N> m_values{};
    int m_next = 0;
    int m_count = 0;
};
