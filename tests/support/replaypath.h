#pragma once

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cmath>
#include <numbers>

// The deterministic market the loopback replays answer from: for any symbol and any minute the
// same price, every platform alike. Minute bars chain (a bar's close is the next bar's open),
// and a coarser bar is exactly the aggregate of its minutes, as a real exchange's are.
namespace replaypath {

struct Bar
{
    qint64 minute = 0; // opening minute, since 1970 (UTC)
    double open = 0;
    double high = 0;
    double low = 0;
    double close = 0;
};

// One symbol's prices.
class Path
{
public:
    explicit Path(const QString &symbol)
    {
        quint32 hash = 2166136261u;
        for (const char byte : symbol.toUtf8())
            hash = (hash ^ quint8(byte)) * 16777619u;
        m_base = symbol.startsWith(QLatin1String("BTC"))   ? 62000.0
                 : symbol.startsWith(QLatin1String("ETH")) ? 3100.0
                                                           : 1.0 + double(hash % 5000) / 10.0;
        m_decimals = m_base >= 1000 ? 2 : m_base >= 10 ? 3 : 5;
        m_scale = std::pow(10.0, m_decimals);
        m_phase = double(hash % 997) * 37.0;
    }

    int decimals() const { return m_decimals; }

    // Waves of about an hour, a few hours, two days and a month, so that every timeframe sees
    // its own rises and falls.
    double price(qint64 minute) const
    {
        const double m = double(minute) + m_phase;
        constexpr double kTwoPi = 2 * std::numbers::pi;
        const double wave =
            0.004 * std::sin(kTwoPi * m / 53.0) + 0.006 * std::sin(kTwoPi * m / 211.0) +
            0.02 * std::sin(kTwoPi * m / 2903.0) + 0.06 * std::sin(kTwoPi * m / 40111.0);
        return rounded(m_base * std::exp(wave));
    }

    Bar minuteBar(qint64 minute) const { return bar(minute, 1, minute + 1); }

    // The bar of `minutes` opening at `minute`, from its minutes before `endMinute` (all of
    // them for a closed bar).
    Bar bar(qint64 minute, int minutes, qint64 endMinute) const
    {
        Bar aggregate;
        aggregate.minute = minute;
        aggregate.open = price(minute);
        aggregate.high = aggregate.open;
        aggregate.low = aggregate.open;
        const qint64 end = std::min(minute + minutes, std::max(minute + 1, endMinute));
        double open = aggregate.open;
        for (qint64 at = minute; at < end; ++at) {
            const double close = price(at + 1);
            // A wick between one and two tenths of the base price's 0.1 %, as a hash of the
            // minute: no trigonometry needed.
            const double share = double((quint64(at) * 2654435761u) % 1000u) / 1000.0;
            const double wick = rounded(m_base * 0.0003 * (1.0 + share));
            aggregate.high = std::max(aggregate.high, std::max(open, close) + wick);
            aggregate.low = std::min(aggregate.low, std::min(open, close) - wick);
            aggregate.close = close;
            open = close;
        }
        return aggregate;
    }

private:
    double rounded(double value) const { return std::round(value * m_scale) / m_scale; }

    double m_base = 1;
    double m_scale = 1;
    double m_phase = 0;
    int m_decimals = 2;
};

inline Bar minuteBar(const QString &symbol, qint64 minute)
{
    return Path(symbol).minuteBar(minute);
}

} // namespace replaypath
