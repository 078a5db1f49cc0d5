#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// How far the market went after a signal, in the signal's direction: in pips for currency
// pairs, in percent of the signal's price for everything else.
namespace signalmoves {

enum class Unit
{
    Pips,
    Percent
};

struct Move
{
    double value = 0; // positive: the market went the signal's way
    Unit unit = Unit::Percent;

    friend bool operator==(const Move &, const Move &) = default;
};

// Digits after the decimal point of a price as the record writes it ("1,234.50": 2).
int decimalsOf(QStringView priceText);

// One pip of a currency pair (the catalogue's Currencies group) quoted with `decimals`: the last
// decimal of a quote with an even number of them (1.0850: 0.0001, 98.5000: 0.0001, 150.50:
// 0.01), the one before it with an odd number, whose last digit is a tenth of a pip (1.08505:
// 0.0001, 150.505: 0.01). nullopt for every other instrument.
std::optional<double> pipSize(int instrumentIndex, int decimals);

// The move from `price` to `later` for a signal of `direction` ("BUY" or "SELL"); nullopt while
// either price is unknown (or the signal's is not above 0).
std::optional<Move> moveOf(const QString &direction, std::optional<double> price,
                           std::optional<double> later, std::optional<double> pip);

// "+12.3 pips", "-0.25 %".
QString moveText(const Move &move);

} // namespace signalmoves
