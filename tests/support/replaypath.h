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

inline quint32 symbolHash(const QString &symbol)
{
    quint32 hash = 2166136261u;
    for (const char byte : symbol.toUtf8())
        hash = (hash ^ quint8(byte)) * 16777619u;
    return hash;
}

inline double basePrice(const QString &symbol)
{
    if (symbol.startsWith(QLatin1String("BTC")))
        return 62000.0;
    if (symbol.startsWith(QLatin1String("ETH")))
        return 3100.0;
    return 1.0 + double(symbolHash(symbol) % 5000) / 10.0;
}

inline int decimalsFor(const QString &symbol)
{
    const double base = basePrice(symbol);
    return base >= 1000 ? 2 : base >= 10 ? 3 : 5;
}

inline double rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

// Waves of about an hour, a few hours, two days and a month, so that every timeframe sees its
// own rises and falls.
inline double priceAt(const QString &symbol, qint64 minute)
{
    const double phase = double(symbolHash(symbol) % 997);
    const double m = double(minute) + phase * 37.0;
    const double twoPi = 2 * std::numbers::pi;
    const double wave = 0.004 * std::sin(twoPi * m / 53.0) + 0.006 * std::sin(twoPi * m / 211.0) +
                        0.02 * std::sin(twoPi * m / 2903.0) + 0.06 * std::sin(twoPi * m / 40111.0);
    return rounded(basePrice(symbol) * std::exp(wave), decimalsFor(symbol));
}

inline Bar minuteBar(const QString &symbol, qint64 minute)
{
    Bar bar;
    bar.minute = minute;
    bar.open = priceAt(symbol, minute);
    bar.close = priceAt(symbol, minute + 1);
    const double wick = rounded(basePrice(symbol) * 0.0003 * (1.5 + std::sin(double(minute))),
                                decimalsFor(symbol));
    bar.high = std::max(bar.open, bar.close) + wick;
    bar.low = std::min(bar.open, bar.close) - wick;
    return bar;
}

// The bar of `minutes` opening at `minute`, from its minutes before `endMinute` (all of them for
// a closed bar).
inline Bar bar(const QString &symbol, qint64 minute, int minutes, qint64 endMinute)
{
    Bar aggregate = minuteBar(symbol, minute);
    const qint64 end = std::min(minute + minutes, std::max(minute + 1, endMinute));
    for (qint64 at = minute + 1; at < end; ++at) {
        const Bar next = minuteBar(symbol, at);
        aggregate.high = std::max(aggregate.high, next.high);
        aggregate.low = std::min(aggregate.low, next.low);
        aggregate.close = next.close;
    }
    return aggregate;
}

} // namespace replaypath
