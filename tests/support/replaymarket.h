#pragma once

#include "market/candle.h"

#include <QtGlobal>

#include <vector>

// Market series for the loopback replays of outside sources: deterministic, on a price grid, shaped
// like a forex week.

// Minute candles opening in [from, to): a random walk of whole ticks of 10^-decimals around
// `start`, none from Friday 22:00 to Sunday 22:00 GMT, and now and then a quiet minute without
// a candle.
std::vector<Candle> replayMinutes(qint64 from, qint64 to, double start, int decimals,
                                  quint32 seed = 1);

// The candles of `stepMinutes` (buckets aligned to the step, counted from 1970) made of the
// given minutes; buckets without a minute are left out.
std::vector<Candle> aggregated(const std::vector<Candle> &minutes, int stepMinutes);

// The candles opening in [from, to), of candles in time order.
std::vector<Candle> within(const std::vector<Candle> &candles, qint64 from, qint64 to);
