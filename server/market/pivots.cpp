#include "market/pivots.h"

PivotLevels classicPivots(double high, double low, double close)
{
    const double p = (high + low + close) / 3.0;
    return PivotLevels{
        .s3 = low - 2 * (high - p),
        .s2 = p - (high - low),
        .s1 = 2 * p - high,
        .p = p,
        .r1 = 2 * p - low,
        .r2 = p + (high - low),
        .r3 = high + 2 * (p - low),
    };
}
