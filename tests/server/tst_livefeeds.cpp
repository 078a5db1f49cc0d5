#include "live/feeds.h"
#include "market/market.h"
#include "sources/sourcenames.h"

#include "app/catalogue.h"

#include <QTest>

// The feeds file: the built-in mapping, what a file overrides, the lines that stop the server,
// and the printed mapping that a user starts from.
class TestLiveFeeds final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void theBuiltInMappingUsesKeylessSources_data();
    void theBuiltInMappingUsesKeylessSources();
    void everyInstrumentHasAFeed();
    void aFileOverridesWhatItNames();
    void badLinesNameTheirLine_data();
    void badLinesNameTheirLine();
    void thePrintedMappingReadsBack();
};

namespace {

const QString kPath = QStringLiteral("/etc/quentara/feeds.ini");

Feed feedOf(const Feeds &feeds, const char *code)
{
    return feeds.instruments[size_t(instrumentIndex(QLatin1String(code)))];
}

} // namespace

void TestLiveFeeds::theBuiltInMappingUsesKeylessSources_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("symbol");
    const QString binance = QLatin1String(sourcenames::kBinance);
    const QString dukascopy = QLatin1String(sourcenames::kDukascopy);
    QTest::newRow("bitcoin") << "crypto-btc" << binance << "BTCUSDT";
    QTest::newRow("polygon") << "crypto-matic" << binance << "POLUSDT";
    QTest::newRow("shiba inu") << "crypto-shib" << binance << "SHIBUSDT";
    QTest::newRow("a pair") << "eurusd" << dukascopy << "EUR-USD";
    QTest::newRow("gold") << "gold" << dukascopy << "XAU-USD";
    QTest::newRow("oil") << "wti" << dukascopy << "LIGHT.CMD-USD";
    QTest::newRow("an index") << "sp500" << dukascopy << "USA500.IDX-USD";
    QTest::newRow("the dollar index") << "dxy" << dukascopy << "DOLLAR.IDX-USD";
    QTest::newRow("a share") << "apple" << dukascopy << "AAPL.US-USD";
    QTest::newRow("the euro index") << "exy" << QString(sourcenames::kDerived) << "";
    QTest::newRow("the rouble") << "usdrub" << QString(sourcenames::kNone) << "";
    QTest::newRow("euro and rouble") << "eurrub" << QString(sourcenames::kNone) << "";
}

void TestLiveFeeds::theBuiltInMappingUsesKeylessSources()
{
    QFETCH(QString, code);
    QFETCH(QString, source);
    QFETCH(QString, symbol);
    const Feed feed = defaultFeeds().instruments[size_t(instrumentIndex(code))];
    QCOMPARE(feed.source, source);
    QCOMPARE(feed.symbol, symbol);
}

void TestLiveFeeds::everyInstrumentHasAFeed()
{
    const Feeds feeds = defaultFeeds();
    int binance = 0;
    for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
        const Feed &feed = feeds.instruments[size_t(index)];
        QVERIFY2(!feed.source.isEmpty(), qPrintable(catalogue::serverCode(index)));
        if (feed.source == QLatin1String(sourcenames::kBinance)) {
            ++binance;
            QCOMPARE(catalogue::groupOf(index), catalogue::Cryptocurrencies);
            QVERIFY(feed.symbol.endsWith(QLatin1String("USDT")));
        }
    }
    QCOMPARE(binance, 15);
    QCOMPARE(feeds.euroSek, (Feed{QStringLiteral("dukascopy"), QStringLiteral("EUR-SEK")}));
    QCOMPARE(feeds.sources.binance, QStringLiteral("https://data-api.binance.vision"));
    QCOMPARE(feeds.sources.terminalOffsetHours, 0);
}

void TestLiveFeeds::aFileOverridesWhatItNames()
{
    const FeedsOutcome outcome = parseFeeds(QStringLiteral("\xFEFF; my feeds\n"
                                                           "[sources]\n"
                                                           "binance = http://127.0.0.1:9/mirror\n"
                                                           "oanda-token = abc123\n"
                                                           "terminal = /home/me/feed\n"
                                                           "  terminal-offset = +3\n"
                                                           "\n"
                                                           "# the trader's own\n"
                                                           "[Instruments]\n"
                                                           "usdrub = terminal\n"
                                                           "eurrub = terminal:EURRUB_i\n"
                                                           "gold = oanda:XAU_USD\n"
                                                           "crypto-btc = binance\n"
                                                           "crypto-eth=binance:ETHFDUSD\n"
                                                           "dax = none\n"
                                                           "eursek = none\r\n"),
                                            kPath);
    QVERIFY2(outcome.error.isEmpty(), qPrintable(outcome.error));
    const Feeds &feeds = outcome.feeds;
    QCOMPARE(feeds.sources.binance, QStringLiteral("http://127.0.0.1:9/mirror"));
    QCOMPARE(feeds.sources.dukascopy, QStringLiteral("https://jetta.dukascopy.com"));
    QCOMPARE(feeds.sources.oandaToken, QStringLiteral("abc123"));
    QCOMPARE(feeds.sources.terminal, QStringLiteral("/home/me/feed"));
    QCOMPARE(feeds.sources.terminalOffsetHours, 3);
    QCOMPARE(feedOf(feeds, "usdrub"), (Feed{QStringLiteral("terminal"), QStringLiteral("usdrub")}));
    QCOMPARE(feedOf(feeds, "eurrub"),
             (Feed{QStringLiteral("terminal"), QStringLiteral("EURRUB_i")}));
    QCOMPARE(feedOf(feeds, "gold"), (Feed{QStringLiteral("oanda"), QStringLiteral("XAU_USD")}));
    QCOMPARE(feedOf(feeds, "crypto-btc"),
             (Feed{QStringLiteral("binance"), QStringLiteral("BTCUSDT")}));
    QCOMPARE(feedOf(feeds, "crypto-eth"),
             (Feed{QStringLiteral("binance"), QStringLiteral("ETHFDUSD")}));
    QCOMPARE(feedOf(feeds, "dax"), (Feed{QStringLiteral("none"), QString()}));
    QCOMPARE(feeds.euroSek, (Feed{QStringLiteral("none"), QString()}));
    // What the file does not name keeps its built-in feed.
    QCOMPARE(feedOf(feeds, "eurusd"), feedOf(defaultFeeds(), "eurusd"));
}

void TestLiveFeeds::badLinesNameTheirLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("complaint");
    QTest::newRow("no section") << "binance = https://x.test\n"
                                << ":1: \"binance\" comes before [sources]";
    QTest::newRow("unknown section") << "[sources]\n[feeds]\n"
                                     << ":2: unknown section [feeds]";
    QTest::newRow("no equals") << "[sources]\nbinance https://x.test\n"
                               << ":2: expected key = value";
    QTest::newRow("unknown setting") << "[sources]\nkraken = https://x.test\n"
                                     << ":2: unknown source setting \"kraken\"";
    QTest::newRow("not an address") << "[sources]\nbinance = ftp://x.test\n"
                                    << ":2: binance needs an http or https address";
    QTest::newRow("offset in minutes") << "[sources]\nterminal-offset = +120\n"
                                       << ":2: terminal-offset needs whole hours";
    QTest::newRow("offset as a word") << "[sources]\nterminal-offset = summer\n"
                                      << ":2: terminal-offset needs whole hours";
    QTest::newRow("unknown instrument") << "[instruments]\neurusd = dukascopy\nEURUSD = binance\n"
                                        << ":3: no instrument has the server code \"EURUSD\"";
    QTest::newRow("unknown source") << "[instruments]\ngold = kitco:XAU\n"
                                    << ":2: unknown source \"kitco\"";
    QTest::newRow("given twice") << "[instruments]\ngold = none\n\ngold = dukascopy\n"
                                 << ":4: gold is given twice (first on line 2)";
    QTest::newRow("derived elsewhere") << "[instruments]\ndxy = derived\n"
                                       << ":2: only the euro index (exy) is derived";
    QTest::newRow("none with a symbol") << "[instruments]\ngold = none:XAU\n"
                                        << ":2: none takes no symbol";
    QTest::newRow("a symbol needed") << "[instruments]\ngold = binance\n"
                                     << ":2: binance needs its symbol there: gold = binance:SYMBOL";
    QTest::newRow("not a symbol") << "[instruments]\ngold = binance:XAU USD\n"
                                  << ":2: \"XAU USD\" is not a symbol";
    QTest::newRow("oanda without a token") << "[instruments]\n\ngold = oanda:XAU_USD\n"
                                           << ":3: gold = oanda needs oanda-token";
    QTest::newRow("terminal without a folder")
        << "[instruments]\nusdrub = terminal\n"
        << ":2: usdrub = terminal needs the terminal's folder";
}

void TestLiveFeeds::badLinesNameTheirLine()
{
    QFETCH(QString, text);
    QFETCH(QString, complaint);
    const FeedsOutcome outcome = parseFeeds(text, kPath);
    QVERIFY2(outcome.error.startsWith(kPath + complaint), qPrintable(outcome.error));
}

void TestLiveFeeds::thePrintedMappingReadsBack()
{
    FeedsOutcome changed =
        parseFeeds(QStringLiteral("[sources]\noanda-token = secret-token\nterminal = /srv/feed\n"
                                  "terminal-offset = -5\n[instruments]\nusdrub = terminal\n"
                                  "gold = oanda:XAU_USD\n"),
                   kPath);
    QVERIFY2(changed.error.isEmpty(), qPrintable(changed.error));
    const QString printed = feedsText(changed.feeds);
    QVERIFY(!printed.contains(QStringLiteral("secret-token")));
    QVERIFY(printed.contains(QStringLiteral("\nterminal-offset = -5\n")));
    QVERIFY(printed.contains(QStringLiteral("\ncrypto-btc = binance:BTCUSDT\n")));
    QVERIFY(printed.contains(QStringLiteral("\nexy = derived\n")));
    QVERIFY(printed.contains(QStringLiteral("\neursek = dukascopy:EUR-SEK\n")));
    // The token stays out: read back, the oanda instrument needs one again.
    QVERIFY(parseFeeds(printed, kPath).error.contains(QStringLiteral("needs oanda-token")));
    const FeedsOutcome reread =
        parseFeeds(printed + QStringLiteral("[sources]\noanda-token = secret-token\n"), kPath);
    QVERIFY(!reread.error.isEmpty()); // [sources] twice gives the token twice
    changed.feeds.sources.oandaToken.clear();
    changed.feeds.instruments[size_t(instrumentIndex(QStringLiteral("gold")))] =
        feedOf(defaultFeeds(), "gold");
    const FeedsOutcome plain = parseFeeds(feedsText(changed.feeds), kPath);
    QVERIFY2(plain.error.isEmpty(), qPrintable(plain.error));
    QCOMPARE(feedsText(plain.feeds), feedsText(changed.feeds));
    QCOMPARE(parseFeeds(feedsText(defaultFeeds()), kPath).error, QString());
}

QTEST_GUILESS_MAIN(TestLiveFeeds)
#include "tst_livefeeds.moc"
