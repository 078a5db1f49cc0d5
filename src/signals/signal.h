#pragma once

#include <QString>
#include <QTime>

// One raised signal: when, which way, for which instrument and under which option.
struct Signal
{
    QTime time;
    QString direction;  // "BUY" or "SELL"
    QString instrument; // the instrument's signal name, e.g. "EUR/USD"
    QString option;     // "1", "2" or "3"

    // "BUY EUR/USD": the text of the list and of the desktop alert.
    QString text() const { return direction + QLatin1Char(' ') + instrument; }

    friend bool operator==(const Signal &, const Signal &) = default;
};

namespace direction {
inline constexpr char kBuy[] = "BUY";
inline constexpr char kSell[] = "SELL";
} // namespace direction
