#include "live/feeds.h"

#include "market/market.h"
#include "sources/sourcenames.h"

namespace {

struct DefaultFeed
{
    const char *serverCode;
    const char *source;
    const char *symbol;
};

using namespace sourcenames;

// Keyless sources only. Crypto quotes are against USDT, binance's deepest markets; Polygon's
// MATIC became POL in September 2024 and trades as POLUSDT since. Dukascopy names its
// instruments like "USA500.IDX/USD", written with "-" in its addresses. Facebook is still
// "FB.US" there.
// clang-format off
constexpr DefaultFeed kDefaults[] = {
    {"audcad", kDukascopy, "AUD-CAD"}, {"audchf", kDukascopy, "AUD-CHF"},
    {"audjpy", kDukascopy, "AUD-JPY"}, {"audnzd", kDukascopy, "AUD-NZD"},
    {"audusd", kDukascopy, "AUD-USD"}, {"cadjpy", kDukascopy, "CAD-JPY"},
    {"chfjpy", kDukascopy, "CHF-JPY"}, {"euraud", kDukascopy, "EUR-AUD"},
    {"eurcad", kDukascopy, "EUR-CAD"}, {"eurchf", kDukascopy, "EUR-CHF"},
    {"eurgbp", kDukascopy, "EUR-GBP"}, {"eurjpy", kDukascopy, "EUR-JPY"},
    {"eurnzd", kDukascopy, "EUR-NZD"}, {"eurrub", kNone, ""},
    {"eurusd", kDukascopy, "EUR-USD"}, {"gbpaud", kDukascopy, "GBP-AUD"},
    {"gbpchf", kDukascopy, "GBP-CHF"}, {"gbpjpy", kDukascopy, "GBP-JPY"},
    {"gbpusd", kDukascopy, "GBP-USD"}, {"gbpnzd", kDukascopy, "GBP-NZD"},
    {"nzdcad", kDukascopy, "NZD-CAD"}, {"nzdchf", kDukascopy, "NZD-CHF"},
    {"nzdjpy", kDukascopy, "NZD-JPY"}, {"nzdusd", kDukascopy, "NZD-USD"},
    {"usdjpy", kDukascopy, "USD-JPY"}, {"usdcad", kDukascopy, "USD-CAD"},
    {"usdchf", kDukascopy, "USD-CHF"}, {"usdrub", kNone, ""},
    {"crypto-btc", kBinance, "BTCUSDT"}, {"crypto-eth", kBinance, "ETHUSDT"},
    {"crypto-bnb", kBinance, "BNBUSDT"}, {"crypto-sol", kBinance, "SOLUSDT"},
    {"crypto-xrp", kBinance, "XRPUSDT"}, {"crypto-ada", kBinance, "ADAUSDT"},
    {"crypto-avax", kBinance, "AVAXUSDT"}, {"crypto-doge", kBinance, "DOGEUSDT"},
    {"crypto-trx", kBinance, "TRXUSDT"}, {"crypto-link", kBinance, "LINKUSDT"},
    {"crypto-dot", kBinance, "DOTUSDT"}, {"crypto-matic", kBinance, "POLUSDT"},
    {"crypto-ton", kBinance, "TONUSDT"}, {"crypto-uni", kBinance, "UNIUSDT"},
    {"crypto-shib", kBinance, "SHIBUSDT"},
    {"copper", kDukascopy, "COPPER.CMD-USD"}, {"gold", kDukascopy, "XAU-USD"},
    {"gas", kDukascopy, "GAS.CMD-USD"}, {"brent", kDukascopy, "BRENT.CMD-USD"},
    {"wti", kDukascopy, "LIGHT.CMD-USD"}, {"silver", kDukascopy, "XAG-USD"},
    {"cac40", kDukascopy, "FRA.IDX-EUR"}, {"dax", kDukascopy, "DEU.IDX-EUR"},
    {"dow30", kDukascopy, "USA30.IDX-USD"}, {"ftse100", kDukascopy, "GBR.IDX-GBP"},
    {"hangseng", kDukascopy, "HKG.IDX-HKD"}, {"ibex35", kDukascopy, "ESP.IDX-EUR"},
    {"nikkei225", kDukascopy, "JPN.IDX-JPY"}, {"sp500", kDukascopy, "USA500.IDX-USD"},
    {"apple", kDukascopy, "AAPL.US-USD"}, {"facebook", kDukascopy, "FB.US-USD"},
    {"google", kDukascopy, "GOOGL.US-USD"},
    {"dxy", kDukascopy, "DOLLAR.IDX-USD"}, {"exy", kDerived, ""},
};
// clang-format on

static_assert(std::size(kDefaults) == catalogue::kInstrumentCount);

} // namespace

Feeds defaultFeeds()
{
    Feeds feeds;
    for (const DefaultFeed &entry : kDefaults) {
        const int index = instrumentIndex(QLatin1String(entry.serverCode));
        Q_ASSERT(index >= 0);
        feeds.instruments[size_t(index)] =
            Feed{QLatin1String(entry.source), QLatin1String(entry.symbol)};
    }
    feeds.euroSek = Feed{QLatin1String(kDukascopy), QStringLiteral("EUR-SEK")};
    return feeds;
}
