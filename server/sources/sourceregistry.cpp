#include "sources/sourceregistry.h"

#include "sources/binancesource.h"
#include "sources/sourcehttp.h"
#include "sources/sourcenames.h"

#include <functional>

namespace {

using Maker = std::function<std::unique_ptr<CandleSource>(const SourceSettings &, SourceHttp &,
                                                          const Clock &)>;

struct Adapter
{
    const char *name;
    Maker make;
};

// One line per adapter.
const Adapter kAdapters[] = {
    {sourcenames::kBinance,
     [](const SourceSettings &settings, SourceHttp &http, const Clock &clock) {
         return std::make_unique<BinanceSource>(settings.binance, http, clock);
     }},
};

} // namespace

std::unique_ptr<CandleSource> makeCandleSource(const QString &name, const SourceSettings &settings,
                                               SourceHttp &http, const Clock &clock)
{
    for (const Adapter &adapter : kAdapters) {
        if (name == QLatin1String(adapter.name))
            return adapter.make(settings, http, clock);
    }
    return nullptr;
}
