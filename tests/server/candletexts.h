#pragma once

#include "market/candle.h"
#include "market/minutes.h"

#include <QLocale>
#include <QStringList>

#include <vector>

// Candles as lines "2024-05-14 10:06 1.0812 1.0813 1.0811 1.08125", each price in its shortest
// exact form, so that a comparison shows which candle differs and a price one bit off shows.
inline QString candleText(const Candle &candle)
{
    auto price = [](double value) {
        return QString::number(value, 'g', QLocale::FloatingPointShortest);
    };
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(minuteText(candle.minute), price(candle.open), price(candle.high), price(candle.low),
             price(candle.close));
}

inline QStringList candleTexts(const std::vector<Candle> &candles)
{
    QStringList texts;
    for (const Candle &candle : candles)
        texts << candleText(candle);
    return texts;
}
