#include "sources/sourceregistry.h"

#include "sources/binancesource.h"
#include "sources/dukascopysource.h"
#include "sources/oandasource.h"
#include "sources/sourcehttp.h"
#include "sources/sourcenames.h"
#include "sources/terminalsource.h"

#include <QUrl>

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
    {sourcenames::kDukascopy,
     [](const SourceSettings &settings, SourceHttp &http, const Clock &) {
         return std::make_unique<DukascopySource>(QUrl(settings.dukascopy), http);
     }},
    {sourcenames::kOanda,
     [](const SourceSettings &settings, SourceHttp &http, const Clock &) {
         return std::make_unique<OandaSource>(QUrl(settings.oanda), http, settings.oandaToken);
     }},
    {sourcenames::kTerminal,
     [](const SourceSettings &settings, SourceHttp &, const Clock &) {
         return std::make_unique<TerminalSource>(settings.terminal, settings.terminalOffsetHours);
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
