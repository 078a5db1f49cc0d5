#pragma once

#include <QtGlobal>

// One candle of a price series. Times are whole minutes since 1970-01-01 00:00 GMT: the minute
// the candle opens. A candle may span several minutes (a timeframe's candle, or a coarse step
// of the simulated far past).
struct Candle
{
    qint64 minute = 0;
    double open = 0;
    double high = 0;
    double low = 0;
    double close = 0;
    bool operator==(const Candle &other) const = default;
};
