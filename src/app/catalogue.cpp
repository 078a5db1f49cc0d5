#include "app/catalogue.h"

#include <numeric>

namespace catalogue {
namespace {

constexpr bool On = true;
constexpr bool Off = false;
constexpr bool Gated = true;
constexpr bool Free = false;
constexpr bool BlankM1 = true;
constexpr bool AllM1 = false;

// clang-format off
constexpr std::array<Instrument, kSlotCount> kTable{{
    {"AUD/CAD", "audcad", "AUD/CAD", "AUDCAD", Currencies, Gated, On, AllM1},
    {"AUD/CHF", "audchf", "AUD/CHF", "AUDCHF", Currencies, Gated, Off, AllM1},
    {"AUD/JPY", "audjpy", "AUD/JPY", "AUDJPY", Currencies, Gated, Off, AllM1},
    {"AUD/NZD", "audnzd", "AUD/NZD", "AUDNZD", Currencies, Gated, On, AllM1},
    {"AUD/USD", "audusd", "AUD/USD", "AUDUSD", Currencies, Gated, Off, AllM1},
    {"CAD/JPY", "cadjpy", "CAD/JPY", "CADJPY", Currencies, Gated, On, AllM1},
    {"CHF/JPY", "chfjpy", "CHF/JPY", "CHFJPY", Currencies, Gated, Off, AllM1},
    {"EUR/AUD", "euraud", "EUR/AUD", "EURAUD", Currencies, Gated, On, AllM1},
    {"EUR/CAD", "eurcad", "EUR/CAD", "EURCAD", Currencies, Gated, On, AllM1},
    {"EUR/CHF", "eurchf", "EUR/CHF", "EURCHF", Currencies, Gated, On, AllM1},
    {"EUR/GBP", "eurgbp", "EUR/GBP", "EURGBP", Currencies, Gated, On, AllM1},
    {"EUR/JPY", "eurjpy", "EUR/JPY", "EURJPY", Currencies, Gated, On, AllM1},
    {"EUR/NZD", "eurnzd", "EUR/NZD", "EURNZD", Currencies, Gated, Off, AllM1},
    {"EUR/RUB", "eurrub", "EUR/RUB", "EURRUB", Currencies, Gated, On, AllM1},
    {"EUR/USD", "eurusd", "EUR/USD", "EURUSD", Currencies, Gated, Off, AllM1},
    {"GBP/AUD", "gbpaud", "GBP/AUD", "GBPAUD", Currencies, Gated, On, AllM1},
    {"GBP/CHF", "gbpchf", "GBP/CHF", "GBPCHF", Currencies, Gated, Off, AllM1},
    {"GBP/JPY", "gbpjpy", "GBP/JPY", "GBPJPY", Currencies, Gated, On, AllM1},
    {"GBP/USD", "gbpusd", "GBP/USD", "GBPUSD", Currencies, Gated, Off, AllM1},
    {"GBP/NZD", "gbpnzd", "GBP/NZD", "GBPNZD", Currencies, Gated, Off, AllM1},
    {"NZD/CAD", "nzdcad", "NZD/CAD", "NZDCAD", Currencies, Gated, On, AllM1},
    {"NZD/CHF", "nzdchf", "NZD/CHF", "NZDCHF", Currencies, Gated, On, AllM1},
    {"NZD/JPY", "nzdjpy", "NZD/JPY", "NZDJPY", Currencies, Gated, Off, AllM1},
    {"NZD/USD", "nzdusd", "NZD/USD", "NZDUSD", Currencies, Gated, On, AllM1},
    {"USD/JPY", "usdjpy", "USD/JPY", "USDJPY", Currencies, Gated, Off, AllM1},
    {"USD/CAD", "usdcad", "USD/CAD", "USDCAD", Currencies, Gated, Off, AllM1},
    {"USD/CHF", "usdchf", "USD/CHF", "USDCHF", Currencies, Gated, Off, AllM1},
    {"USD/RUB", "usdrub", "USD/RUB", "USDRUB", Currencies, Gated, On, AllM1},
    // Several of the cryptocurrency memory holders keep older names that do not match the coin.
    {"BTC/USD (Bitcoin)", "crypto-btc", "BTC/USD (Bitcoin)", "BTCUSDbitfinex", Cryptocurrencies, Free, Off, BlankM1},
    {"ETH/USD (Ethereum)", "crypto-eth", "ETH/USD (Ethereum)", "BTCUSDbittrex", Cryptocurrencies, Free, Off, BlankM1},
    {"BNB/USD (BNB)", "crypto-bnb", "BNB/USD (BNB)", "BTCUSDexmo", Cryptocurrencies, Free, Off, BlankM1},
    {"SOL/USD (Solana)", "crypto-sol", "SOL/USD (Solana)", "BTCUSDkraken", Cryptocurrencies, Free, Off, BlankM1},
    {"XRP/USD (XRP)", "crypto-xrp", "XRP/USD (XRP)", "BTCUSDpoloniex", Cryptocurrencies, Free, Off, BlankM1},
    {"ADA/USD (Cardano)", "crypto-ada", "ADA/USD (Cardano)", "ETHUSDbitfinex", Cryptocurrencies, Free, Off, BlankM1},
    {"AVAX/USD (Avalanche)", "crypto-avax", "AVAX/USD (Avalanche)", "ETHUSDbittrex", Cryptocurrencies, Free, Off, BlankM1},
    {"DOGE/USD (Dogecoin)", "crypto-doge", "DOGE/USD (Dogecoin)", "ETHUSDexmo", Cryptocurrencies, Free, Off, BlankM1},
    {"TRX/USD (Tron)", "crypto-trx", "TRX/USD (Tron)", "ETHUSDkraken", Cryptocurrencies, Free, Off, BlankM1},
    {"LINK/USD (Chainlink)", "crypto-link", "LINK/USD (Chainlink)", "ETHUSDpoloniex", Cryptocurrencies, Free, On, BlankM1},
    {"DOT/USD (Polkadot)", "crypto-dot", "DOT/USD (Polkadot)", "LTCUSDbitfinex", Cryptocurrencies, Free, Off, BlankM1},
    {"MATIC/USD (Polygon)", "crypto-matic", "MATIC/USD (Polygon)", "LTCUSDbittrex", Cryptocurrencies, Free, Off, BlankM1},
    {"TON/USD (Toncoin)", "crypto-ton", "TON/USD (Toncoin)", "LTCUSDexmo", Cryptocurrencies, Free, Off, BlankM1},
    {"UNI/USD (Uniswap)", "crypto-uni", "UNI/USD (Uniswap)", "LTCUSDkraken", Cryptocurrencies, Free, Off, BlankM1},
    {"SHIB/USD (Shiba Inu)", "crypto-shib", "SHIB/USD (Shiba Inu)", "LTCUSDpoloniex", Cryptocurrencies, Free, On, BlankM1},
    {"Copper", "copper", "Copper", "COPPER", Commodities, Gated, On, AllM1},
    {"Gold", "gold", "Gold", "GOLD", Commodities, Gated, Off, AllM1},
    {"Natural Gas", "gas", "Natural Gas", "NG", Commodities, Gated, On, AllM1},
    {"Oil (Brent)", "brent", "Oil (Brent)", "BRENT", Commodities, Gated, On, AllM1},
    {"Oil (WTI)", "wti", "Oil (WTI)", "WTI", Commodities, Gated, On, AllM1},
    {"Silver", "silver", "Silver", "SILVER", Commodities, Gated, Off, AllM1},
    {"CAC 40", "cac40", "CAC 40", "CAC40", Indices, Gated, On, AllM1},
    {"DAX", "dax", "DAX", "DAX", Indices, Gated, Off, AllM1},
    {"Dow 30", "dow30", "Dow 30", "DOW30", Indices, Gated, Off, AllM1},
    {"FTSE 100", "ftse100", "FTSE 100", "FTSE100", Indices, Gated, Off, AllM1},
    {"Hang Seng", "hangseng", "Hang Seng", "HANGSENG", Indices, Gated, On, AllM1},
    {"IBEX 35", "ibex35", "IBEX 35", "IBEX35", Indices, Gated, On, AllM1},
    {"Nikkei 225", "nikkei225", "Nikkei 225", "NIKKEI225", Indices, Gated, On, AllM1},
    {"S&&P 500", "sp500", "S&P 500", "SP500", Indices, Gated, Off, AllM1},
    {"Apple", "apple", "Apple", "APPLE", Stocks, Gated, On, AllM1},
    {"Facebook", "facebook", "Facebook", "FACEBOOK", Stocks, Gated, On, AllM1},
    {"Google", "google", "Google", "GOOGLE", Stocks, Gated, On, AllM1},
    {"DXY (Dollar Index)", "dxy", "DXY", "DXY", Indices, Gated, On, BlankM1},
    {"EXY (Euro Index)", "exy", "EXY", "EXY", Indices, Gated, On, BlankM1},
    // Reserved slot: present in every per-instrument array, never shown.
    {"BXY", "", "", "", NoGroup, Gated, Off, AllM1},
}};
// clang-format on

constexpr std::array<const char *, kGroupCount> kGroupTitles{"Currencies", "Cryptocurrencies",
                                                             "Commodities", "Indices", "Stocks"};

} // namespace

const Instrument &instrument(int index)
{
    Q_ASSERT(index >= 0 && index < kSlotCount);
    return kTable[index];
}

bool isInstrument(int index)
{
    return index >= 0 && index < kInstrumentCount;
}

QString caption(int index)
{
    return QString::fromUtf8(instrument(index).caption);
}

QString displayCaption(int index)
{
    return caption(index).replace(QStringLiteral("&&"), QStringLiteral("&"));
}

QString serverCode(int index)
{
    return QString::fromUtf8(instrument(index).serverCode);
}

QString signalName(int index)
{
    return QString::fromUtf8(instrument(index).signalName);
}

QString stateLabel(int index)
{
    return QString::fromUtf8(instrument(index).stateLabel);
}

bool isGated(int index)
{
    return instrument(index).gated;
}

bool hasBlankM1(int index)
{
    return index >= 0 && index < kSlotCount && instrument(index).blankM1;
}

Group groupOf(int index)
{
    if (index < 0 || index >= kSlotCount)
        return NoGroup;
    return instrument(index).group;
}

QString groupTitle(int group)
{
    if (group < 0 || group >= kGroupCount)
        return {};
    return QString::fromLatin1(kGroupTitles[group]);
}

QList<int> groupMembers(int group)
{
    QList<int> members;
    if (group == Indices)
        members << 60 << 61;
    for (int i = 0; i < kInstrumentCount; ++i) {
        if (kTable[i].group == group && !members.contains(i))
            members << i;
    }
    return members;
}

QString exportSymbol(const QString &signalName)
{
    QString symbol = signalName;
    symbol.remove(QLatin1Char('/'));
    if (symbol == QLatin1String("Gold"))
        symbol = QStringLiteral("XAUUSD");
    else if (symbol == QLatin1String("Silver"))
        symbol = QStringLiteral("XAGUSD");
    for (const char *coin : {"BTCUSD", "LTCUSD", "ETHUSD"}) {
        if (symbol.contains(QLatin1String(coin)))
            symbol = QLatin1String(coin);
    }
    return symbol;
}

QString exportSymbol(int index)
{
    return exportSymbol(signalName(index));
}

int indexOfSignalText(const QString &text)
{
    int found = -1;
    for (int i = 0; i < kInstrumentCount; ++i) {
        if (text.contains(signalName(i)))
            found = i;
    }
    return found;
}

QList<int> firstRunSet()
{
    QList<int> set;
    for (int i = 0; i < kInstrumentCount; ++i) {
        if (kTable[i].firstRun)
            set << i;
    }
    return set;
}

std::array<int, kSlotCount> allSlots()
{
    std::array<int, kSlotCount> slots{};
    std::iota(slots.begin(), slots.end(), 0);
    return slots;
}

} // namespace catalogue
