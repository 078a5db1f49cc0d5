#include "numberformat.h"

#include <algorithm>

double roundedTo(double value, int decimals)
{
    return fixedNumber(value, decimals).toDouble();
}

QString fixedNumber(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    const bool zero = std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == QLatin1Char('-') || c == QLatin1Char('0') || c == QLatin1Char('.');
    });
    if (zero && text.startsWith(QLatin1Char('-')))
        text.remove(0, 1); // "-0.000" is zero
    return text;
}

QString priceText(double value, int decimals)
{
    QString text = fixedNumber(value, decimals);
    const bool negative = text.startsWith(QLatin1Char('-'));
    qsizetype integerEnd = text.indexOf(QLatin1Char('.'));
    if (integerEnd < 0)
        integerEnd = text.size();
    const qsizetype integerStart = negative ? 1 : 0;
    for (qsizetype at = integerEnd - 3; at > integerStart; at -= 3)
        text.insert(at, QLatin1Char(','));
    return text;
}
