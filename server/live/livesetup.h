#pragma once

#include "live/feeds.h"
#include "live/livemarket.h"

#include <memory>

class SourceHttp;

// The live market of a feeds mapping: a driver per source this server has an adapter for, the
// euro index derived from its constituents, and every other instrument marked with why it has
// no data ("no source", "dukascopy is not available in this server").
std::unique_ptr<LiveMarket> buildLiveMarket(const Feeds &feeds, CandleCache cache, SourceHttp &http,
                                            const Clock &clock, LiveMarket::Log log);
