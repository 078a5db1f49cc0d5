#pragma once

#include "market/candle.h"

#include <QByteArray>
#include <QString>

#include <vector>

// One row of binance's klines answer: [openTime ms, "open", "high", "low", "close", "volume",
// closeTime ms, ...], prices as strings, times in milliseconds since 1970 (UTC).
struct KlineRow
{
    qint64 openMs = 0;
    qint64 closeMs = 0; // the last millisecond of the candle: open + length - 1
    Candle candle;      // opening at openMs / 60000
};

struct KlinesParse
{
    std::vector<KlineRow> rows;
    QString error; // empty when the whole answer was read
};

// Reads a klines answer. Anything that is not an array of such rows, a price that is not a
// number, a time off the minute: the whole answer is refused (an error), never half read.
// Prices are taken as they are; whether a candle is possible is for the caller to judge.
KlinesParse parseKlines(const QByteArray &body);

// The message of binance's error answer {"code":-1121,"msg":"Invalid symbol."}, shortened and
// without control characters; empty when the body is no such answer.
QString binanceErrorMessage(const QByteArray &body);
