#include "documents/numberformat.h"

#include <algorithm>
#include <cmath>

double roundedTo(double value, int decimals)
{
    // round() of the scaled value is a whole number k, and k / 10^d is the double nearest the
    // decimal k / 10^d, which fixedNumber writes with exactly these digits.
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
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
