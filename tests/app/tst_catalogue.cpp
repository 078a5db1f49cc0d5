#include "app/catalogue.h"

#include <QTest>

#include <set>

class TestCatalogue final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void exportSymbolRule_data();
    void exportSymbolRule();
    void exportSymbolOfEveryInstrument();
    void groups_data();
    void groups();
    void groupDisplayOrder();
    void signalTextLookup_data();
    void signalTextLookup();
    void noSignalNameContainsAnother();
    void firstRunSet();
    void coinAttributesStayTogether_data();
    void coinAttributesStayTogether();
    void reservedSlot();
    void blankM1Column();
    void namesAreDistinct();
    void serverCodes();
};

void TestCatalogue::exportSymbolRule_data()
{
    QTest::addColumn<QString>("signalName");
    QTest::addColumn<QString>("symbol");
    QTest::newRow("pair") << "EUR/USD"
                          << "EURUSD";
    QTest::newRow("rouble") << "USD/RUB"
                            << "USDRUB";
    QTest::newRow("gold") << "Gold"
                          << "XAUUSD";
    QTest::newRow("silver") << "Silver"
                            << "XAGUSD";
    QTest::newRow("bitcoin cut to its code") << "BTC/USD (Bitcoin)"
                                             << "BTCUSD";
    QTest::newRow("ether cut to its code") << "ETH/USD (Ethereum)"
                                           << "ETHUSD";
    QTest::newRow("litecoin rule") << "LTC/USD (Litecoin)"
                                   << "LTCUSD";
    QTest::newRow("spaces and parentheses stay") << "SOL/USD (Solana)"
                                                 << "SOLUSD (Solana)";
    QTest::newRow("ampersand stays") << "S&P 500"
                                     << "S&P 500";
    QTest::newRow("gold only when whole") << "Gold/"
                                          << "XAUUSD";
    QTest::newRow("golden is not gold") << "Golden"
                                        << "Golden";
    QTest::newRow("case matters") << "gold"
                                  << "gold";
    QTest::newRow("index names unchanged") << "DXY"
                                           << "DXY";
}

void TestCatalogue::exportSymbolRule()
{
    QFETCH(QString, signalName);
    QFETCH(QString, symbol);
    QCOMPARE(catalogue::exportSymbol(signalName), symbol);
}

void TestCatalogue::exportSymbolOfEveryInstrument()
{
    // The stems terminals already look for, one per instrument of the catalogue.
    const QStringList expected{"AUDCAD",
                               "AUDCHF",
                               "AUDJPY",
                               "AUDNZD",
                               "AUDUSD",
                               "CADJPY",
                               "CHFJPY",
                               "EURAUD",
                               "EURCAD",
                               "EURCHF",
                               "EURGBP",
                               "EURJPY",
                               "EURNZD",
                               "EURRUB",
                               "EURUSD",
                               "GBPAUD",
                               "GBPCHF",
                               "GBPJPY",
                               "GBPUSD",
                               "GBPNZD",
                               "NZDCAD",
                               "NZDCHF",
                               "NZDJPY",
                               "NZDUSD",
                               "USDJPY",
                               "USDCAD",
                               "USDCHF",
                               "USDRUB",
                               "BTCUSD",
                               "ETHUSD",
                               "BNBUSD (BNB)",
                               "SOLUSD (Solana)",
                               "XRPUSD (XRP)",
                               "ADAUSD (Cardano)",
                               "AVAXUSD (Avalanche)",
                               "DOGEUSD (Dogecoin)",
                               "TRXUSD (Tron)",
                               "LINKUSD (Chainlink)",
                               "DOTUSD (Polkadot)",
                               "MATICUSD (Polygon)",
                               "TONUSD (Toncoin)",
                               "UNIUSD (Uniswap)",
                               "SHIBUSD (Shiba Inu)",
                               "Copper",
                               "XAUUSD",
                               "Natural Gas",
                               "Oil (Brent)",
                               "Oil (WTI)",
                               "XAGUSD",
                               "CAC 40",
                               "DAX",
                               "Dow 30",
                               "FTSE 100",
                               "Hang Seng",
                               "IBEX 35",
                               "Nikkei 225",
                               "S&P 500",
                               "Apple",
                               "Facebook",
                               "Google",
                               "DXY",
                               "EXY"};
    QCOMPARE(expected.size(), catalogue::kInstrumentCount);
    for (int i = 0; i < catalogue::kInstrumentCount; ++i)
        QCOMPARE(catalogue::exportSymbol(i), expected.at(i));
}

void TestCatalogue::groups_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("group");
    QTest::newRow("first currency") << 0 << 0;
    QTest::newRow("last currency") << 27 << 0;
    QTest::newRow("first crypto") << 28 << 1;
    QTest::newRow("last crypto") << 42 << 1;
    QTest::newRow("copper") << 43 << 2;
    QTest::newRow("silver") << 48 << 2;
    QTest::newRow("cac") << 49 << 3;
    QTest::newRow("s&p") << 56 << 3;
    QTest::newRow("apple") << 57 << 4;
    QTest::newRow("google") << 59 << 4;
    QTest::newRow("dxy is an index") << 60 << 3;
    QTest::newRow("exy is an index") << 61 << 3;
    QTest::newRow("reserved slot has none") << 62 << -1;
}

void TestCatalogue::groups()
{
    QFETCH(int, index);
    QFETCH(int, group);
    QCOMPARE(int(catalogue::groupOf(index)), group);
}

void TestCatalogue::groupDisplayOrder()
{
    QCOMPARE(catalogue::groupMembers(catalogue::Indices),
             (QList<int>{60, 61, 49, 50, 51, 52, 53, 54, 55, 56}));
    QCOMPARE(catalogue::groupMembers(catalogue::Stocks), (QList<int>{57, 58, 59}));
    QCOMPARE(catalogue::groupMembers(catalogue::Currencies).size(), 28);
    QCOMPARE(catalogue::groupMembers(catalogue::Cryptocurrencies).size(), 15);
    QCOMPARE(catalogue::groupMembers(catalogue::Commodities), (QList<int>{43, 44, 45, 46, 47, 48}));
    QCOMPARE(catalogue::groupTitle(catalogue::Cryptocurrencies),
             QStringLiteral("Cryptocurrencies"));
}

void TestCatalogue::signalTextLookup_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");
    QTest::newRow("pair") << "BUY EUR/USD" << 14;
    QTest::newRow("commodity") << "SELL Oil (WTI)" << 47;
    QTest::newRow("dollar index by its signal name") << "BUY DXY" << 60;
    QTest::newRow("s&p by its signal name") << "SELL S&P 500" << 56;
    QTest::newRow("crypto") << "BUY SOL/USD (Solana)" << 31;
    QTest::newRow("empty row") << "" << -1;
    QTest::newRow("header") << "Signal" << -1;
}

void TestCatalogue::signalTextLookup()
{
    QFETCH(QString, text);
    QFETCH(int, index);
    QCOMPARE(catalogue::indexOfSignalText(text), index);
}

void TestCatalogue::noSignalNameContainsAnother()
{
    // Opening an instrument from a signal-list row relies on exactly one name matching.
    for (int i = 0; i < catalogue::kInstrumentCount; ++i) {
        for (int j = 0; j < catalogue::kInstrumentCount; ++j) {
            if (i != j)
                QVERIFY2(
                    !catalogue::signalName(i).contains(catalogue::signalName(j)),
                    qPrintable(catalogue::signalName(i) + " contains " + catalogue::signalName(j)));
        }
        QCOMPARE(catalogue::indexOfSignalText(QStringLiteral("BUY ") + catalogue::signalName(i)),
                 i);
    }
}

void TestCatalogue::firstRunSet()
{
    QCOMPARE(catalogue::firstRunSet(),
             (QList<int>{0,  3,  5,  7,  8,  9,  10, 11, 13, 15, 17, 20, 21, 23, 27,
                         37, 42, 43, 45, 46, 47, 49, 53, 54, 55, 57, 58, 59, 60, 61}));
}

void TestCatalogue::coinAttributesStayTogether_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("stateLabel");
    QTest::newRow("ada") << 33 << "ADA/USD (Cardano)"
                         << "crypto-ada"
                         << "ETHUSDbitfinex";
    QTest::newRow("doge") << 35 << "DOGE/USD (Dogecoin)"
                          << "crypto-doge"
                          << "ETHUSDexmo";
    QTest::newRow("dot") << 38 << "DOT/USD (Polkadot)"
                         << "crypto-dot"
                         << "LTCUSDbitfinex";
    QTest::newRow("ton") << 40 << "TON/USD (Toncoin)"
                         << "crypto-ton"
                         << "LTCUSDexmo";
    QTest::newRow("s&p") << 56 << "S&&P 500"
                         << "sp500"
                         << "SP500";
    QTest::newRow("gbp/usd before gbp/nzd") << 18 << "GBP/USD"
                                            << "gbpusd"
                                            << "GBPUSD";
    QTest::newRow("natural gas") << 45 << "Natural Gas"
                                 << "gas"
                                 << "NG";
}

void TestCatalogue::coinAttributesStayTogether()
{
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(QString, code);
    QFETCH(QString, stateLabel);
    QCOMPARE(catalogue::caption(index), caption);
    QCOMPARE(catalogue::serverCode(index), code);
    QCOMPARE(catalogue::stateLabel(index), stateLabel);
}

void TestCatalogue::reservedSlot()
{
    QVERIFY(!catalogue::isInstrument(catalogue::kReservedIndex));
    QVERIFY(catalogue::serverCode(62).isEmpty());
    QCOMPARE(catalogue::allSlots().size(), std::size_t(63));
    QCOMPARE(catalogue::allSlots().back(), 62);
    QCOMPARE(catalogue::displayCaption(56), QStringLiteral("S&P 500"));
    QCOMPARE(catalogue::signalName(60), QStringLiteral("DXY"));
    QCOMPARE(catalogue::displayCaption(60), QStringLiteral("DXY (Dollar Index)"));
    for (int i = 0; i < catalogue::kInstrumentCount; ++i)
        QCOMPARE(catalogue::isGated(i), catalogue::groupOf(i) != catalogue::Cryptocurrencies);
}

void TestCatalogue::blankM1Column()
{
    // The cryptocurrencies and the two currency indices have no M1 column, nothing else.
    for (int i = 0; i < catalogue::kSlotCount; ++i) {
        const bool blank =
            catalogue::groupOf(i) == catalogue::Cryptocurrencies || i == 60 || i == 61;
        QVERIFY2(catalogue::hasBlankM1(i) == blank, qPrintable(catalogue::caption(i)));
    }
}

void TestCatalogue::namesAreDistinct()
{
    std::set<QString> codes;
    std::set<QString> labels;
    for (int i = 0; i < catalogue::kInstrumentCount; ++i) {
        QVERIFY(codes.insert(catalogue::serverCode(i)).second);
        QVERIFY(labels.insert(catalogue::stateLabel(i)).second);
    }
}

void TestCatalogue::serverCodes()
{
    // By navigator index, as the server names its documents.
    const QStringList codes{
        "audcad",      "audchf",      "audjpy",     "audnzd",       "audusd",      "cadjpy",
        "chfjpy",      "euraud",      "eurcad",     "eurchf",       "eurgbp",      "eurjpy",
        "eurnzd",      "eurrub",      "eurusd",     "gbpaud",       "gbpchf",      "gbpjpy",
        "gbpusd",      "gbpnzd",      "nzdcad",     "nzdchf",       "nzdjpy",      "nzdusd",
        "usdjpy",      "usdcad",      "usdchf",     "usdrub",       "crypto-btc",  "crypto-eth",
        "crypto-bnb",  "crypto-sol",  "crypto-xrp", "crypto-ada",   "crypto-avax", "crypto-doge",
        "crypto-trx",  "crypto-link", "crypto-dot", "crypto-matic", "crypto-ton",  "crypto-uni",
        "crypto-shib", "copper",      "gold",       "gas",          "brent",       "wti",
        "silver",      "cac40",       "dax",        "dow30",        "ftse100",     "hangseng",
        "ibex35",      "nikkei225",   "sp500",      "apple",        "facebook",    "google",
        "dxy",         "exy"};
    QCOMPARE(codes.size(), catalogue::kInstrumentCount);
    for (int index = 0; index < catalogue::kInstrumentCount; ++index)
        QCOMPARE(catalogue::serverCode(index), codes.at(index));
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
