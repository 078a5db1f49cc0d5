#pragma once

#include <QtGlobal>

#include <vector>

// The stretches in which a warm-up asks a source for candles of one length: the far past in
// coarse candles, the last days in minutes, as the simulated history is built (Market::kHistory),
// so that D1 with MA200 is readable at once without months of minute candles.
struct WarmUpStretch
{
    qint64 fromMinute; // the first candle opens here
    qint64 toMinute;   // the last one ends here
    int stepMinutes;
    bool operator==(const WarmUpStretch &other) const = default;
};

// The stretches covering [fromMinute, toMinute) with the coarsest of `steps` (coarse first, each
// dividing the one before: {60, 15, 1}) for the far past. Each stretch starts and ends on its
// own step, so its candles fill whole buckets; a stretch that would be empty is left out. Only the
// last stretch, in minutes, reaches `toMinute`.
std::vector<WarmUpStretch> warmUpStretches(qint64 fromMinute, qint64 toMinute,
                                           const std::vector<int> &steps);
