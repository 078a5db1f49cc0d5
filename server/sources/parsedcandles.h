#pragma once

#include "market/candle.h"

#include <QString>

#include <vector>

// What a parser makes of one answer of an outside source: the candles it holds, oldest first,
// or what is wrong with it. Parsers hand over numbers only when the whole answer adds up, so a
// changed or damaged format never turns into prices.
struct ParsedCandles
{
    std::vector<Candle> candles;
    QString error; // empty when the answer was read

    static ParsedCandles failure(const QString &what)
    {
        ParsedCandles parsed;
        parsed.error = what;
        return parsed;
    }
};

// Whether the candle's prices are positive and its high and low enclose its open and close.
bool isConsistent(const Candle &candle);
