#pragma once

#include "sources/parsedcandles.h"

#include <QByteArray>

// Reads one answer of Dukascopy's candle service: a JSON object
//   {"timestamp": ms, "multiplier": 0.00001, "shift": ms, "open": 1.0812, "high": ..., "low": ...,
//    "close": ..., "times": [...], "opens": [...], "highs": [...], "lows": [...], "closes": [...],
//    "volumes": [...]}
// whose candles are delta-encoded: each price series starts from round(price / multiplier)
// units, each candle adds its entry of the series to the units and times[i] · shift to the
// time, and a price is its units · multiplier. A time step above one skips candles (a quiet
// minute, a weekend). Times are UTC.
//
// `stepMinutes` is the length of the candles asked for (1 or 60): a shift of any other length,
// a time off its step, arrays of different lengths, a fractional delta, a price that is not
// positive or a high below the low fail the whole answer. An empty bucket (no candles) is read.
ParsedCandles parseDukascopyCandles(const QByteArray &body, int stepMinutes);
