#include "app/catalogue.h"

#include <numeric>

namespace catalogue {
namespace {

constexpr bool On = true;
constexpr bool Off = false;
constexpr bool Gated = true;
constexpr bool Free = false;

// clang-format off
constexpr std::array<Instrument, kSlotCount> kTable{{
    {"AUD/CAD", "audcad", "AUD/CAD", "AUDCAD", Currencies, Gated, On},
    {"AUD/CHF", "audchf", "AUD/CHF", "AUDCHF", Currencies, Gated, Off},
    {"AUD/JPY", "audjpy", "AUD/JPY", "AUDJPY", Currencies, Gated, Off},
    {"AUD/NZD", "audnzd", "AUD/NZD", "AUDNZD", Currencies, Gated, On},
    {"AUD/USD", "audusd", "AUD/USD", "AUDUSD", Currencies, Gated, Off},
    {"CAD/JPY", "cadjpy", "CAD/JPY", "CADJPY", Currencies, Gated, On},
    {"CHF/JPY", "chfjpy", "CHF/JPY", "CHFJPY", Currencies, Gated, Off},
    {"EUR/AUD", "euraud", "EUR/AUD", "EURAUD", Currencies, Gated, On},
    {"EUR/CAD", "eurcad", "EUR/CAD", "EURCAD", Currencies, Gated, On},
    {"EUR/CHF", "eurchf", "EUR/CHF", "EURCHF", Currencies, Gated, On},
    {"EUR/GBP", "eurgbp", "EUR/GBP", "EURGBP", Currencies, Gated, On},
    {"EUR/JPY", "eurjpy", "EUR/JPY", "EURJPY", Currencies, Gated, On},
    {"EUR/NZD", "eurnzd", "EUR/NZD", "EURNZD", Currencies, Gated, Off},
    {"EUR/RUB", "eurrub", "EUR/RUB", "EURRUB", Currencies, Gated, On},
    {"EUR/USD", "eurusd", "EUR/USD", "EURUSD", Currencies, Gated, Off},
    {"GBP/AUD", "gbpaud", "GBP/AUD", "GBPAUD", Currencies, Gated, On},
    {"GBP/CHF", "gbpchf", "GBP/CHF", "GBPCHF", Currencies, Gated, Off},
    {"GBP/JPY", "gbpjpy", "GBP/JPY", "GBPJPY", Currencies, Gated, On},
    {"GBP/USD", "gbpusd", "GBP/USD", "GBPUSD", Currencies, Gated, Off},
    {"GBP/NZD", "gbpnzd", "GBP/NZD", "GBPNZD", Currencies, Gated, Off},
    {"NZD/CAD", "nzdcad", "NZD/CAD", "NZDCAD", Currencies, Gated, On},
    {"NZD/CHF", "nzdchf", "NZD/CHF", "NZDCHF", Currencies, Gated, On},
    {"NZD/JPY", "nzdjpy", "NZD/JPY", "NZDJPY", Currencies, Gated, Off},
    {"NZD/USD", "nzdusd", "NZD/USD", "NZDUSD", Currencies, Gated, On},
    {"USD/JPY", "usdjpy", "USD/JPY", "USDJPY", Currencies, Gated, Off},
    {"USD/CAD", "usdcad", "USD/CAD", "USDCAD", Currencies, Gated, Off},
    {"USD/CHF", "usdchf", "USD/CHF", "USDCHF", Currencies, Gated, Off},
    {"USD/RUB", "usdrub", "USD/RUB", "USDRUB", Currencies, Gated, On},
    // Several of the cryptocurrency memory holders keep older names that do not match the coin.
    {"BTC/USD (Bitcoin)", "crypto-btc", "BTC/USD (Bitcoin)", "BTCUSDbitfinex", Cryptocurrencies, Free, Off},
    {"ETH/USD (Ethereum)", "crypto-eth", "ETH/USD (Ethereum)", "BTCUSDbittrex", Cryptocurrencies, Free, Off},
    {"BNB/USD (BNB)", "crypto-bnb", "BNB/USD (BNB)", "BTCUSDexmo", Cryptocurrencies, Free, Off},
    {"SOL/USD (Solana)", "crypto-sol", "SOL/USD (Solana)", "BTCUSDkraken", Cryptocurrencies, Free, Off},
    {"XRP/USD (XRP)", "crypto-xrp", "XRP/USD (XRP)", "BTCUSDpoloniex", Cryptocurrencies, Free, Off},
    {"ADA/USD (Cardano)", "crypto-ada", "ADA/USD (Cardano)", "ETHUSDbitfinex", Cryptocurrencies, Free, Off},
    {"AVAX/USD (Avalanche)", "crypto-avax", "AVAX/USD (Avalanche)", "ETHUSDbittrex", Cryptocurrencies, Free, Off},
    {"DOGE/USD (Dogecoin)", "crypto-doge", "DOGE/USD (Dogecoin)", "ETHUSDexmo", Cryptocurrencies, Free, Off},
    {"TRX/USD (Tron)", "crypto-trx", "TRX/USD (Tron)", "ETHUSDkraken", Cryptocurrencies, Free, Off},
    {"LINK/USD (Chainlink)", "crypto-link", "LINK/USD (Chainlink)", "ETHUSDpoloniex", Cryptocurrencies, Free, On},
    {"DOT/USD (Polkadot)", "crypto-dot", "DOT/USD (Polkadot)", "LTCUSDbitfinex", Cryptocurrencies, Free, Off},
    {"MATIC/USD (Polygon)", "crypto-matic", "MATIC/USD (Polygon)", "LTCUSDbittrex", Cryptocurrencies, Free, Off},
    {"TON/USD (Toncoin)", "crypto-ton", "TON/USD (Toncoin)", "LTCUSDexmo", Cryptocurrencies, Free, Off},
    {"UNI/USD (Uniswap)", "crypto-uni", "UNI/USD (Uniswap)", "LTCUSDkraken", Cryptocurrencies, Free, Off},
    {"SHIB/USD (Shiba Inu)", "crypto-shib", "SHIB/USD (Shiba Inu)", "LTCUSDpoloniex", Cryptocurrencies, Free, On},
    {"Copper", "copper", "Copper", "COPPER", Commodities, Gated, On},
    {"Gold", "gold", "Gold", "GOLD", Commodities, Gated, Off},
    {"Natural Gas", "gas", "Natural Gas", "NG", Commodities, Gated, On},
    {"Oil (Brent)", "brent", "Oil (Brent)", "BRENT", Commodities, Gated, On},
    {"Oil (WTI)", "wti", "Oil (WTI)", "WTI", Commodities, Gated, On},
    {"Silver", "silver", "Silver", "SILVER", Commodities, Gated, Off},
    {"CAC 40", "cac40", "CAC 40", "CAC40", Indices, Gated, On},
    {"DAX", "dax", "DAX", "DAX", Indices, Gated, Off},
    {"Dow 30", "dow30", "Dow 30", "DOW30", Indices, Gated, Off},
    {"FTSE 100", "ftse100", "FTSE 100", "FTSE100", Indices, Gated, Off},
    {"Hang Seng", "hangseng", "Hang Seng", "HANGSENG", Indices, Gated, On},
    {"IBEX 35", "ibex35", "IBEX 35", "IBEX35", Indices, Gated, On},
    {"Nikkei 225", "nikkei225", "Nikkei 225", "NIKKEI225", Indices, Gated, On},
    {"S&&P 500", "sp500", "S&P 500", "SP500", Indices, Gated, Off},
    {"Apple", "apple", "Apple", "APPLE", Stocks, Gated, On},
    {"Facebook", "facebook", "Facebook", "FACEBOOK", Stocks, Gated, On},
    {"Google", "google", "Google", "GOOGLE", Stocks, Gated, On},
    {"DXY (Dollar Index)", "dxy", "DXY", "DXY", Indices, Gated, On},
    {"EXY (Euro Index)", "exy", "EXY", "EXY", Indices, Gated, On},
    // Reserved slot: present in every per-instrument array, never shown.
    {"BXY", "", "", "", NoGroup, Gated, Off},
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
    return (index >= 28 && index <= 42) || index == 60 || index == 61;
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
