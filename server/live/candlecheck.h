#pragma once

#include "sources/candlesource.h"

#include <QStringList>

#include <vector>

// A candle the live market takes, with its length in minutes (1, or a coarser timeframe's for the
// far past of a warm-up).
struct TimedCandle
{
    Candle candle;
    int minutes = 1;
    bool operator==(const TimedCandle &other) const = default;
};

// What is left of a source's answer after the checks that hold whatever the source.
struct CheckedCandles
{
    std::vector<TimedCandle> candles; // in time order, none overlapping another
    int dropped = 0;                  // already seen, out of order, outside the range
    QStringList rejected;             // impossible candles: "2024-05-14 10:05: the high is below
                                      // the low"
};

// Checks an answer asked for [fromMinute, toMinute): only candles that have closed by toMinute
// count; a candle opening before the end of the one before (a duplicate, or one out of order) is
// dropped; a candle that cannot be (a price that is not positive, a high below the low, an open
// or close outside them, a length that is no timeframe's or off its bucket) is rejected. No
// candle is judged by its size: a real move, however large, passes.
CheckedCandles checkCandles(const std::vector<CandleRun> &runs, qint64 fromMinute, qint64 toMinute);
