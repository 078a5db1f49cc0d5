#include "live/livesetup.h"

#include "sources/sourcenames.h"
#include "sources/sourceregistry.h"

#include <QMap>

#include <optional>

std::unique_ptr<LiveMarket> buildLiveMarket(const Feeds &feeds, CandleCache cache, SourceHttp &http,
                                            const Clock &clock, LiveMarket::Log log)
{
    auto market = std::make_unique<LiveMarket>(clock, std::move(cache), std::move(log), &http);
    std::optional<int> derived;
    for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
        if (feeds.instruments[size_t(index)].source == QLatin1String(sourcenames::kDerived))
            derived = index;
    }
    QMap<QString, QList<std::pair<int, QString>>> bySource;
    for (int index = 0; index < LiveMarket::kSlotCount; ++index) {
        const bool euroSek = index == LiveMarket::kEuroSekSlot;
        if (euroSek && !derived)
            continue; // needed by nothing else
        const Feed &feed = euroSek ? feeds.euroSek : feeds.instruments[size_t(index)];
        if (feed.source == QLatin1String(sourcenames::kNone))
            market->setUnavailable(index, QStringLiteral("no source"));
        else if (feed.source != QLatin1String(sourcenames::kDerived))
            bySource[feed.source] << std::pair(index, feed.symbol);
    }
    for (auto it = bySource.cbegin(); it != bySource.cend(); ++it) {
        std::unique_ptr<CandleSource> source =
            makeCandleSource(it.key(), feeds.sources, http, clock);
        if (source) {
            market->addSource(std::move(source), it.value());
            continue;
        }
        for (const auto &[index, symbol] : it.value()) {
            market->setUnavailable(
                index, QStringLiteral("%1 is not available in this server").arg(it.key()),
                it.key() + QLatin1Char(' ') + symbol);
        }
    }
    if (derived)
        market->addEuroIndex(*derived);
    return market;
}
