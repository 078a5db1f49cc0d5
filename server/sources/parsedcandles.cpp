#include "sources/parsedcandles.h"

#include <algorithm>

bool isConsistent(const Candle &candle)
{
    return candle.low > 0 && candle.low <= std::min(candle.open, candle.close) &&
           candle.high >= std::max(candle.open, candle.close);
}
