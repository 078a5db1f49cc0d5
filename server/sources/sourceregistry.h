#pragma once

#include "sources/candlesource.h"
#include "sources/sourcesettings.h"

#include "app/clock.h"

#include <memory>

class SourceHttp;

// The candle source of a name in the feeds file, made from the [sources] settings; nothing when
// this server has no adapter of that name (the instruments it would feed publish that the source
// is not available).
std::unique_ptr<CandleSource> makeCandleSource(const QString &name, const SourceSettings &settings,
                                               SourceHttp &http, const Clock &clock);
