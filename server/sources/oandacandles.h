#pragma once

#include "sources/parsedcandles.h"

#include <QByteArray>
#include <QStringView>

#include <optional>

// Reads one answer of OANDA's candles endpoint (v20 REST, price=M):
//   {"instrument": "EUR_USD", "granularity": "M1",
//    "candles": [{"complete": true, "volume": 481, "time": "2024-05-14T10:06:00.000000000Z",
//                 "mid": {"o": "1.08120", "h": "1.08130", "l": "1.08110", "c": "1.08125"}}]}
// Only complete candles are taken. Times may come as RFC 3339 or as UNIX seconds with a fraction
// ("1715681160.000000000"), whatever the request asked for. A candle off its step of
// `stepMinutes`, out of order, with a price that is not a positive decimal or with a high below
// its low fails the whole answer.
ParsedCandles parseOandaCandles(const QByteArray &body, int stepMinutes);

// The minute of an OANDA time on a whole minute, in either form; nothing for any other text.
std::optional<qint64> parseOandaMinute(QStringView text);

// The "errorMessage" of an OANDA error answer, or an empty text.
QString oandaErrorMessage(const QByteArray &body);
