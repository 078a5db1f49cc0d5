#include "signals/signalmoves.h"

#include "app/catalogue.h"
#include "signals/signal.h"

#include <cmath>

namespace signalmoves {

int decimalsOf(QStringView priceText)
{
    const qsizetype point = priceText.indexOf(u'.');
    if (point < 0)
        return 0;
    int decimals = 0;
    for (qsizetype i = point + 1; i < priceText.size() && priceText.at(i).isDigit(); ++i)
        ++decimals;
    return decimals;
}

std::optional<double> pipSize(int instrumentIndex, int decimals)
{
    if (!catalogue::isInstrument(instrumentIndex) ||
        catalogue::groupOf(instrumentIndex) != catalogue::Currencies)
        return std::nullopt;
    const int pipDecimals = std::max(0, decimals - decimals % 2);
    return std::pow(10.0, -pipDecimals);
}

std::optional<Move> moveOf(const QString &direction, std::optional<double> price,
                           std::optional<double> later, std::optional<double> pip)
{
    if (!price || !later || *price <= 0)
        return std::nullopt;
    const double sign = direction == QLatin1String(direction::kSell) ? -1.0 : 1.0;
    double change = sign * (*later - *price);
    if (change == 0)
        change = 0; // no -0 for a SELL that stood still

    if (pip)
        return Move{change / *pip, Unit::Pips};
    return Move{change / *price * 100.0, Unit::Percent};
}

QString moveText(const Move &move)
{
    const bool pips = move.unit == Unit::Pips;
    // A move that rounds to nothing shows no sign.
    const double shown = std::round(move.value * (pips ? 10 : 100)) / (pips ? 10 : 100);
    QString text = QString::number(shown, 'f', pips ? 1 : 2);
    if (shown > 0)
        text.prepend(QLatin1Char('+'));
    else if (shown == 0)
        text.remove(QLatin1Char('-'));
    return text + (pips ? QStringLiteral(" pips") : QStringLiteral(" %"));
}

} // namespace signalmoves
