#include "recordcheck.h"
#include "scriptedsource.h"
#include "serverfixtures.h"

#include "binancereplay.h"
#include "documents/instrumentrecord.h"
#include "documents/numberformat.h"
#include "live/livemarket.h"
#include "live/livesetup.h"
#include "market/market.h"
#include "signalserver.h"
#include "sources/binancesource.h"
#include "sources/sourcehttp.h"
#include "testhttpserver.h"

#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <QCoroTask>

Q_DECLARE_METATYPE(BinanceReplay::Fault)

// The live market over loopback replays and scripted sources, on a clock the test moves: warm-up
// and live minutes, backing off, region blocks, outages, staleness, restarts, the cache as a
// replay, the euro index, and that nothing is ever simulated.
class TestLiveMarket final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void warmUpThenLiveMinutes();
    void backsOffWhenAskedTo_data();
    void backsOffWhenAskedTo();
    void aRegionBlockGoesDataMissing();
    void anOutageIsBackfilled();
    void aStaleFeedGoesDataMissingAndRecovers();
    void forexStandsStillAtTheWeekend();
    void aRestartAsksOnlyForTheGap();
    void theCacheReplaysToTheSameRecords();
    void impossibleCandlesAreRejectedAndLogged();
    void nothingIsEverSimulated();
    void theEuroIndexNeedsAllItsConstituents();
    void aSlowSourceDelaysNoOther();
    void roundsFollowTheMinute();
    void aMarketGoesWhileItsRequestsWait();

private:
    Clock clock()
    {
        return Clock([this] { return m_now; });
    }
    void at(qint64 minute, int second = 3);
    std::unique_ptr<LiveMarket> makeMarket(const QString &folder);
    void addBinance(LiveMarket &market, const QStringList &codes);
    void poll(LiveMarket &market) { QCoro::waitFor(market.pollAll()); }
    static QString record(const LiveMarket &market, const char *code);

    QDateTime m_now;
    QStringList m_log;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<BinanceReplay> m_replay;
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::unique_ptr<SourceHttp> m_http;
};

namespace {

// Tuesday 10:06 GMT.
const qint64 kT = gmtMinute(2024, 5, 14, 10, 6);

int indexOf(const char *code)
{
    return instrumentIndex(QLatin1String(code));
}

QStringList linesWith(const QStringList &log, const QString &part)
{
    QStringList found;
    for (const QString &line : log) {
        if (line.contains(part))
            found << line;
    }
    return found;
}

// A record without its line 205, which names where the candles came from.
QString withoutSource(const QString &record)
{
    QStringList lines = record.split(QLatin1Char('\n'));
    lines.removeAt(205);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void TestLiveMarket::init()
{
    m_log.clear();
    at(kT);
    m_dir = std::make_unique<QTemporaryDir>();
    m_replay = std::make_unique<BinanceReplay>([this] { return m_now; });
    QVERIFY(m_replay->start() != 0);
    m_network = std::make_unique<QNetworkAccessManager>();
    m_http = std::make_unique<SourceHttp>(*m_network, std::chrono::milliseconds(5000));
}

void TestLiveMarket::cleanup()
{
    m_http.reset();
    m_network.reset();
    m_replay.reset();
    m_dir.reset();
}

void TestLiveMarket::at(qint64 minute, int second)
{
    m_now = QDateTime::fromSecsSinceEpoch(minute * 60 + second, QTimeZone::utc());
}

std::unique_ptr<LiveMarket> TestLiveMarket::makeMarket(const QString &folder)
{
    // Every round a test starts ends before its market goes: nothing to cut off.
    return std::make_unique<LiveMarket>(clock(), CandleCache(folder),
                                        [this](const QString &line) { m_log << line; });
}

void TestLiveMarket::addBinance(LiveMarket &market, const QStringList &codes)
{
    QList<std::pair<int, QString>> symbols;
    for (const QString &code : codes) {
        symbols << std::pair(
            instrumentIndex(code),
            code.mid(7).toUpper().replace(QStringLiteral("MATIC"), QStringLiteral("POL")) +
                QStringLiteral("USDT"));
    }
    market.addSource(std::make_unique<BinanceSource>(m_replay->baseAddress(), *m_http, clock()),
                     symbols);
}

QString TestLiveMarket::record(const LiveMarket &market, const char *code)
{
    return instrumentRecord(market.snapshot(indexOf(code)));
}

void TestLiveMarket::warmUpThenLiveMinutes()
{
    const auto market = makeMarket(m_dir->path());
    addBinance(*market, {QStringLiteral("crypto-btc"), QStringLiteral("crypto-eth")});
    QString btc = record(*market, "crypto-btc");
    QCOMPARE(recordField(btc, 205, 2), QStringLiteral("warming up"));
    QCOMPARE(recordField(btc, 205, 3), QStringLiteral("binance BTCUSDT (USDT)"));
    QCOMPARE(recordFaults(btc, 0), QStringList());

    poll(*market);
    QCOMPARE(market->sourceState(QStringLiteral("binance")), QStringLiteral("live"));
    QCOMPARE(m_log, QStringList{QStringLiteral("binance: live")});
    btc = record(*market, "crypto-btc");
    // Every timeframe is readable at once, D1 with its MA200 included.
    QCOMPARE(recordFaults(btc), QStringList());
    QCOMPARE(recordField(btc, 205, 1), QStringLiteral("2024-05-14 10:06 GMT"));
    QCOMPARE(recordField(btc, 205, 2), QStringLiteral("binance BTCUSDT (USDT)"));
    QCOMPARE(recordField(btc, 205, 3), QString());
    QVERIFY(recordField(btc, 29 * 6 + 18, 1).section(QLatin1Char(' '), 0, 0).toInt() >= 300);
    QCOMPARE(recordField(btc, 203, 0),
             priceText(replaypath::minuteBar(QStringLiteral("BTCUSDT"), kT - 1).close, 2));
    QCOMPARE(m_replay->requests().size(), 2 * 16);

    // A minute later one request per instrument brings the minute that closed.
    m_replay->clearRequests();
    at(kT + 1);
    market->advanceTo(kT + 1);
    poll(*market);
    const QList<BinanceReplay::Request> requests = m_replay->requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests[0].interval, QStringLiteral("1m"));
    QCOMPARE(requests[0].startTime, kT * 60000);
    QCOMPARE(market->book(indexOf("crypto-eth")).latest()->minute, kT);
    QCOMPARE(market->book(indexOf("crypto-eth")).latest()->close,
             replaypath::minuteBar(QStringLiteral("ETHUSDT"), kT).close);
    QCOMPARE(recordField(record(*market, "crypto-eth"), 205, 1),
             QStringLiteral("2024-05-14 10:07 GMT"));
    QCOMPARE(m_log.size(), 1);
}

void TestLiveMarket::backsOffWhenAskedTo_data()
{
    QTest::addColumn<BinanceReplay::Fault>("fault");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("why");
    QTest::newRow("429") << BinanceReplay::Fault::RateLimited << 30 << "HTTP 429";
    QTest::newRow("418") << BinanceReplay::Fault::Banned << 150 << "address banned";
}

void TestLiveMarket::backsOffWhenAskedTo()
{
    QFETCH(BinanceReplay::Fault, fault);
    QFETCH(int, seconds);
    QFETCH(QString, why);
    const auto market = makeMarket(m_dir->path());
    const QStringList six{QStringLiteral("crypto-btc"), QStringLiteral("crypto-eth"),
                          QStringLiteral("crypto-bnb"), QStringLiteral("crypto-sol"),
                          QStringLiteral("crypto-xrp"), QStringLiteral("crypto-ada")};
    addBinance(*market, six);
    poll(*market);
    m_replay->setFault(fault, -1, seconds);
    m_replay->clearRequests();
    at(kT + 1);
    poll(*market);
    // The requests in flight come back refused, and no further one goes out.
    QCOMPARE(m_replay->requests().size(), SourceDriver::Timing().concurrency);
    const QString state = market->sourceState(QStringLiteral("binance"));
    QVERIFY2(state.startsWith(QStringLiteral("backing off %1 s (").arg(seconds)),
             qPrintable(state));
    QVERIFY2(state.contains(why), qPrintable(state));
    // While backing off nothing is asked, and the log says it once.
    m_replay->setFault(BinanceReplay::Fault::None);
    at(kT + 1, 3 + seconds - 2);
    poll(*market);
    QCOMPARE(m_replay->requests().size(), SourceDriver::Timing().concurrency);
    QCOMPARE(linesWith(m_log, QStringLiteral("backing off")).size(), 1);
    // The records keep what they had meanwhile.
    QCOMPARE(recordFaults(record(*market, "crypto-btc")), QStringList());

    at(kT + 3 + seconds / 60);
    poll(*market);
    QCOMPARE(m_replay->requests().size(), SourceDriver::Timing().concurrency + 6);
    QCOMPARE(market->sourceState(QStringLiteral("binance")), QStringLiteral("live"));
    QCOMPARE(m_log.last(), QStringLiteral("binance: live"));
    QCOMPARE(market->book(indexOf("crypto-btc")).latest()->minute, kT + 2 + seconds / 60);
}

void TestLiveMarket::aRegionBlockGoesDataMissing()
{
    const auto market = makeMarket(m_dir->path());
    QList<std::pair<int, QString>> symbols{{indexOf("crypto-btc"), QStringLiteral("BTCUSDT")}};
    SourceDriver::Timing timing;
    timing.blockedRetry = std::chrono::seconds(600);
    market->addSource(std::make_unique<BinanceSource>(m_replay->baseAddress(), *m_http, clock()),
                      symbols, timing);
    poll(*market);
    m_replay->setFault(BinanceReplay::Fault::RegionBlocked);
    at(kT + 1);
    poll(*market);
    const QString btc = record(*market, "crypto-btc");
    QCOMPARE(recordFaults(btc, 0), QStringList());
    QVERIFY2(recordField(btc, 205, 2)
                 .startsWith(QStringLiteral(
                     "region blocked (HTTP 451: Service unavailable from a restricted location")),
             qPrintable(recordField(btc, 205, 2)));
    QCOMPARE(recordField(btc, 203, 0), QString());
    QCOMPARE(linesWith(m_log, QStringLiteral("binance: region blocked (HTTP 451")).size(), 1);

    // Tried again after the pause, still blocked: no new line.
    m_replay->clearRequests();
    at(kT + 5);
    poll(*market);
    QCOMPARE(m_replay->requests().size(), 0);
    at(kT + 12);
    poll(*market);
    QCOMPARE(m_replay->requests().size(), 1);
    QCOMPARE(linesWith(m_log, QStringLiteral("region blocked")).size(), 1);

    m_replay->setFault(BinanceReplay::Fault::None);
    at(kT + 23);
    poll(*market);
    QCOMPARE(market->sourceState(QStringLiteral("binance")), QStringLiteral("live"));
    QCOMPARE(recordFaults(record(*market, "crypto-btc")), QStringList());
}

void TestLiveMarket::anOutageIsBackfilled()
{
    const auto market = makeMarket(m_dir->path());
    addBinance(*market, {QStringLiteral("crypto-sol"), QStringLiteral("crypto-xrp")});
    poll(*market);
    m_replay->setFault(BinanceReplay::Fault::Outage);
    for (int minute = 1; minute <= 3; ++minute) {
        at(kT + minute);
        market->advanceTo(kT + minute);
        poll(*market);
    }
    QCOMPARE(linesWith(m_log, QStringLiteral("binance: failing")).size(), 1);
    // Three minutes without candles is not yet stale.
    QCOMPARE(recordFaults(record(*market, "crypto-sol")), QStringList());

    m_replay->setFault(BinanceReplay::Fault::None);
    m_replay->clearRequests();
    at(kT + 4);
    poll(*market);
    const QList<BinanceReplay::Request> requests = m_replay->requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests[0].startTime, kT * 60000);
    const std::span<const Candle> minutes =
        market->book(indexOf("crypto-xrp")).series(Timeframe::M1).candles();
    for (qint64 minute = kT - 3; minute < kT + 4; ++minute) {
        const Candle &candle = minutes[minutes.size() - size_t(kT + 4 - minute)];
        QCOMPARE(candle.minute, minute);
        QCOMPARE(candle.close, replaypath::minuteBar(QStringLiteral("XRPUSDT"), minute).close);
    }
    QCOMPARE(m_log.last(), QStringLiteral("binance: live"));
}

void TestLiveMarket::aStaleFeedGoesDataMissingAndRecovers()
{
    const auto market = makeMarket(m_dir->path());
    qint64 frozenFrom = kT + 1000;
    market->addSource(std::make_unique<ScriptedSource>(
                          QStringLiteral("scripted"),
                          [&frozenFrom](const QString &symbol, qint64 from, qint64 to) {
                              return replayedMinutes(symbol, from, std::min(to, frozenFrom));
                          }),
                      {{indexOf("crypto-btc"), QStringLiteral("BTC")}});
    poll(*market);
    frozenFrom = kT; // the source answers, but nothing new comes
    for (int minute = 1; minute <= 5; ++minute) {
        at(kT + minute);
        market->advanceTo(kT + minute);
        poll(*market);
        QCOMPARE(recordFaults(record(*market, "crypto-btc"), 0x01), QStringList());
    }
    at(kT + 6);
    market->advanceTo(kT + 6);
    const QString stale = record(*market, "crypto-btc");
    QCOMPARE(recordFaults(stale, 0), QStringList());
    QCOMPARE(recordField(stale, 205, 0) + u';' + recordField(stale, 205, 1) + u';' +
                 recordField(stale, 205, 2) + u';' + recordField(stale, 205, 3),
             QStringLiteral("Updated;2024-05-14 10:12 GMT;stale since 10:06;scripted BTC"));
    QCOMPARE(recordField(stale, 29, 2), QStringLiteral("data missing"));
    poll(*market);
    poll(*market);

    frozenFrom = kT + 1000;
    at(kT + 8);
    market->advanceTo(kT + 8);
    poll(*market);
    QCOMPARE(recordFaults(record(*market, "crypto-btc"), 0x01), QStringList());
    QCOMPARE(market->book(indexOf("crypto-btc")).latest()->minute, kT + 7);
    QCOMPARE(m_log, (QStringList{QStringLiteral("scripted: live"),
                                 QStringLiteral("scripted: stale (crypto-btc since 10:06)"),
                                 QStringLiteral("scripted: live")}));
}

void TestLiveMarket::forexStandsStillAtTheWeekend()
{
    const qint64 fridayClose = gmtMinute(2024, 5, 17, 22, 0);
    at(fridayClose - 1);
    const auto market = makeMarket(m_dir->path());
    market->addSource(std::make_unique<ScriptedSource>(
                          QStringLiteral("fx"),
                          [fridayClose](const QString &symbol, qint64 from, qint64 to) {
                              return replayedMinutes(symbol, from, std::min(to, fridayClose));
                          }),
                      {{indexOf("eurusd"), QStringLiteral("EURUSD")}});
    poll(*market);
    // Saturday noon: nothing came since Friday's close, as it should be.
    at(gmtMinute(2024, 5, 18, 12, 0));
    market->advanceTo(gmtMinute(2024, 5, 18, 12, 0));
    poll(*market);
    const QString saturday = record(*market, "eurusd");
    QCOMPARE(recordFaults(saturday, 0x01), QStringList());
    QCOMPARE(recordField(saturday, 205, 1), QStringLiteral("2024-05-17 22:00 GMT"));
    QCOMPARE(recordField(saturday, 205, 2), QStringLiteral("fx EURUSD"));
    // Sunday after the open it is owed candles again.
    at(gmtMinute(2024, 5, 19, 22, 7));
    market->advanceTo(gmtMinute(2024, 5, 19, 22, 7));
    QCOMPARE(recordField(record(*market, "eurusd"), 205, 2),
             QStringLiteral("stale since 2024-05-17 22:00"));
}

void TestLiveMarket::aRestartAsksOnlyForTheGap()
{
    QTemporaryDir continuous;
    {
        const auto first = makeMarket(m_dir->path());
        addBinance(*first, {QStringLiteral("crypto-ada")});
        poll(*first);
    }
    const auto running = makeMarket(continuous.path());
    addBinance(*running, {QStringLiteral("crypto-ada")});
    poll(*running);
    for (int minute = 1; minute <= 30; ++minute) {
        at(kT + minute);
        running->advanceTo(kT + minute);
        poll(*running);
    }

    // Half an hour later the stopped server starts again from its cache.
    m_replay->clearRequests();
    const auto restarted = makeMarket(m_dir->path());
    addBinance(*restarted, {QStringLiteral("crypto-ada")});
    QCOMPARE(recordField(record(*restarted, "crypto-ada"), 205, 2),
             QStringLiteral("stale since 10:06"));
    poll(*restarted);
    const QList<BinanceReplay::Request> requests = m_replay->requests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].interval, QStringLiteral("1m"));
    QCOMPARE(requests[0].startTime, kT * 60000);
    // What it publishes is what a server that never stopped publishes.
    QCOMPARE(record(*restarted, "crypto-ada"), record(*running, "crypto-ada"));
}

void TestLiveMarket::theCacheReplaysToTheSameRecords()
{
    const auto market = makeMarket(m_dir->path());
    addBinance(*market, {QStringLiteral("crypto-btc"), QStringLiteral("crypto-doge")});
    poll(*market);
    for (int minute = 1; minute <= 3; ++minute) {
        at(kT + minute);
        market->advanceTo(kT + minute);
        poll(*market);
    }
    // quentara-server --candles DATA --clock 10:09 builds the same book from the cache, coarse
    // warm-up candles included.
    const CandleFolder folder = readCandleFolder(m_dir->path());
    QVERIFY2(folder.error.isEmpty(), qPrintable(folder.error));
    QCOMPARE(folder.files.size(), 2);
    MarketSetup setup;
    setup.candleFiles = folder.files;
    const Market replayed(setup, kT + 3);
    for (const char *code : {"crypto-btc", "crypto-doge"}) {
        const QString live = record(*market, code);
        const QString replay = instrumentRecord(replayed.snapshot(indexOf(code)));
        QCOMPARE(recordFaults(replay), QStringList());
        QCOMPARE(withoutSource(replay), withoutSource(live));
        QCOMPARE(recordField(replay, 205, 2), QLatin1String(code) + QStringLiteral(".csv"));
    }
}

void TestLiveMarket::impossibleCandlesAreRejectedAndLogged()
{
    const auto market = makeMarket(m_dir->path());
    market->addSource(std::make_unique<ScriptedSource>(
                          QStringLiteral("odd"),
                          [](const QString &symbol, qint64 from, qint64 to) {
                              SourceAnswer answer = replayedMinutes(symbol, from, to, 300);
                              std::vector<Candle> &candles = answer.runs.front().candles;
                              std::swap(candles[100].high, candles[100].low);
                              candles.insert(candles.begin() + 200, candles[199]); // twice
                              return answer;
                          }),
                      {{indexOf("gold"), QStringLiteral("XAU")}});
    poll(*market);
    QCOMPARE(market->book(indexOf("gold")).series(Timeframe::M1).count(), 299);
    const QStringList rejected = linesWith(m_log, QStringLiteral("rejected"));
    QCOMPARE(rejected.size(), 1);
    QCOMPARE(rejected[0], QStringLiteral("gold: 1 impossible candle(s) from odd XAU rejected: ") +
                              minuteText(kT - 200) + QStringLiteral(": the high is below the low"));
    // The cache holds what the book holds, once each.
    QFile cache(m_dir->filePath(QStringLiteral("gold.csv")));
    QVERIFY(cache.open(QIODevice::ReadOnly));
    QCOMPARE(cache.readAll().count('\n'), 1 + 299);
}

void TestLiveMarket::nothingIsEverSimulated()
{
    Feeds feeds = defaultFeeds();
    feeds.sources.binance = m_replay->baseAddress();
    // A dukascopy that knows none of its addresses: its instruments fail, and stay empty.
    feeds.sources.dukascopy = m_replay->baseAddress();
    const auto market = buildLiveMarket(feeds, CandleCache(m_dir->path()), *m_http, clock(),
                                        [this](const QString &line) { m_log << line; });
    poll(*market);
    for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
        const QString code = catalogue::serverCode(index);
        const QString text = instrumentRecord(market->snapshot(index));
        QVERIFY2(!text.contains(QStringLiteral("simulated")), qPrintable(code));
        const bool crypto = catalogue::groupOf(index) == catalogue::Cryptocurrencies;
        const QStringList faults = recordFaults(text, crypto ? 0x7F : 0);
        QVERIFY2(faults.isEmpty(), qPrintable(code + u' ' + faults.join(u';')));
    }
    const QString eurusd = record(*market, "eurusd");
    QVERIFY2(recordField(eurusd, 205, 2).startsWith(QLatin1String("no data (HTTP 404")),
             qPrintable(recordField(eurusd, 205, 2)));
    QCOMPARE(recordField(eurusd, 205, 3), QStringLiteral("dukascopy EUR-USD (bid)"));
    QCOMPARE(recordField(eurusd, 205, 1), QStringLiteral("2024-05-14 10:06 GMT"));
    QCOMPARE(recordField(record(*market, "usdrub"), 205, 2), QStringLiteral("no source"));
    QCOMPARE(recordField(record(*market, "exy"), 205, 2),
             QStringLiteral("waiting for eurusd, eurgbp, eurjpy, eurchf, eursek"));
    QCOMPARE(recordField(record(*market, "crypto-matic"), 205, 2),
             QStringLiteral("binance POLUSDT (USDT)"));
}

void TestLiveMarket::theEuroIndexNeedsAllItsConstituents()
{
    const auto market = makeMarket(m_dir->path());
    const QHash<QString, double> rates{{QStringLiteral("EURUSD"), 1.085},
                                       {QStringLiteral("EURGBP"), 0.855},
                                       {QStringLiteral("EURJPY"), 161.0},
                                       {QStringLiteral("EURCHF"), 0.95},
                                       {QStringLiteral("EURSEK"), 11.5}};
    qint64 swedenUntil = kT + 1000;
    market->addSource(std::make_unique<ScriptedSource>(
                          QStringLiteral("fx"),
                          [&rates, &swedenUntil](const QString &symbol, qint64 from, qint64 to) {
                              SourceAnswer answer;
                              const qint64 end = symbol == QLatin1String("EURSEK")
                                                     ? std::min(to, swedenUntil)
                                                     : to;
                              CandleRun run;
                              for (qint64 m = std::max(from, to - 300); m < end; ++m) {
                                  const double rate = rates.value(symbol);
                                  run.candles.push_back(Candle{m, rate, rate, rate, rate});
                              }
                              answer.runs.push_back(run);
                              return answer;
                          }),
                      {{indexOf("eurusd"), QStringLiteral("EURUSD")},
                       {indexOf("eurgbp"), QStringLiteral("EURGBP")},
                       {indexOf("eurjpy"), QStringLiteral("EURJPY")},
                       {indexOf("eurchf"), QStringLiteral("EURCHF")},
                       {LiveMarket::kEuroSekSlot, QStringLiteral("EURSEK")}});
    market->addEuroIndex(indexOf("exy"));
    QCOMPARE(recordField(record(*market, "exy"), 205, 2),
             QStringLiteral("waiting for eurusd, eurgbp, eurjpy, eurchf, eursek"));
    poll(*market);
    QString exy = record(*market, "exy");
    QCOMPARE(recordFaults(exy, 0x01), QStringList());
    QCOMPARE(recordField(exy, 203, 0), QStringLiteral("105.899"));
    QCOMPARE(recordField(exy, 205, 2),
             QStringLiteral("euro index from eurusd, eurgbp, eurjpy, eurchf, eursek"));
    QCOMPARE(market->book(indexOf("exy")).series(Timeframe::M1).count(), 300);

    // EUR/SEK stops; once it is stale the index is not published.
    swedenUntil = kT;
    for (int minute = 1; minute <= 6; ++minute) {
        at(kT + minute);
        market->advanceTo(kT + minute);
        poll(*market);
    }
    exy = record(*market, "exy");
    QCOMPARE(recordFaults(exy, 0), QStringList());
    QCOMPARE(recordField(exy, 205, 2), QStringLiteral("waiting for eursek"));
    QCOMPARE(market->book(indexOf("exy")).latest()->minute, kT - 1);
}

void TestLiveMarket::aSlowSourceDelaysNoOther()
{
    auto market = makeMarket(m_dir->path());
    const auto minutes = [](const QString &symbol, qint64 from, qint64 to) {
        return replayedMinutes(symbol, from, to, 300);
    };
    market->addSource(std::make_unique<ScriptedSource>(QStringLiteral("fast"), minutes),
                      {{indexOf("crypto-btc"), QStringLiteral("BTC")}});
    market->addSource(std::make_unique<ScriptedSource>(QStringLiteral("slow"), minutes,
                                                       std::chrono::milliseconds(1500)),
                      {{indexOf("crypto-eth"), QStringLiteral("ETH")}});
    LiveMarket *live = market.get();
    SignalServer server(std::move(market), ServerContent{}, clock(), false);
    QSignalSpy changed(&server, &SignalServer::documentsChanged);
    live->start();
    const auto published = [&server](const char *code) {
        const Document *document = server.documents().find(
            QStringLiteral("signals/") + QLatin1String(code) + QStringLiteral(".xml"));
        return document ? QString::fromUtf8(document->body) : QString();
    };
    QTRY_VERIFY_WITH_TIMEOUT(
        published("crypto-btc")
            .contains(QStringLiteral("\nUpdated;2024-05-14 10:06 GMT;fast BTC\n")),
        1000);
    QVERIFY(published("crypto-eth").contains(QStringLiteral(";warming up;slow ETH\n")));
    QTRY_VERIFY_WITH_TIMEOUT(published("crypto-eth").contains(QStringLiteral(" GMT;slow ETH\n")),
                             5000);
    QCOMPARE(changed.count(), 2);
    QVERIFY(linesWith(m_log, QStringLiteral("fast: warming up 1 instrument(s)")).size() == 1);
}

void TestLiveMarket::roundsFollowTheMinute()
{
    // A clock on which the minute turns 300 ms from now.
    const qint64 offset = kT * 60000 - 300 - QDateTime::currentMSecsSinceEpoch();
    const Clock turning([offset] {
        return QDateTime::fromMSecsSinceEpoch(QDateTime::currentMSecsSinceEpoch() + offset,
                                              QTimeZone::utc());
    });
    LiveMarket market(turning, CandleCache(m_dir->path()), [](const QString &) {});
    auto source = std::make_unique<ScriptedSource>(
        QStringLiteral("ticking"), [](const QString &symbol, qint64 from, qint64 to) {
            return replayedMinutes(symbol, from, to, 300);
        });
    ScriptedSource *ticking = source.get();
    market.addSource(std::move(source), {{indexOf("crypto-bnb"), QStringLiteral("BNB")}});
    market.start();
    QCOMPARE(ticking->calls, 1); // the first round goes out at once
    QTRY_COMPARE_WITH_TIMEOUT(ticking->calls, 2, 3000);
    QCOMPARE(market.book(indexOf("crypto-bnb")).latest()->minute, kT - 1);
}

void TestLiveMarket::aMarketGoesWhileItsRequestsWait()
{
    TestHttpServer hanging;
    QVERIFY(hanging.start() != 0);
    TestHttpServer::Route hang;
    hang.behaviour = TestHttpServer::Behaviour::Hang;
    hanging.setRoute(QStringLiteral("api/v3/klines"), hang);
    auto market = std::make_unique<LiveMarket>(
        clock(), CandleCache(m_dir->path()), [](const QString &) {}, m_http.get());
    market->addSource(std::make_unique<BinanceSource>(hanging.baseAddress(), *m_http, clock()),
                      {{indexOf("crypto-btc"), QStringLiteral("BTCUSDT")},
                       {indexOf("crypto-eth"), QStringLiteral("ETHUSDT")}});
    market->start();
    QTRY_COMPARE(hanging.requestCount(QStringLiteral("api/v3/klines")), 2);
    // Its requests are cut off as it goes, and none of their ends runs into it afterwards.
    market.reset();
    QTest::qWait(100);
    QCOMPARE(hanging.requestCount(QStringLiteral("api/v3/klines")), 2);
    const HttpAnswer refused =
        QCoro::waitFor(m_http->get(QNetworkRequest(QUrl(hanging.baseAddress()))));
    QVERIFY(!refused.received);
}

QTEST_GUILESS_MAIN(TestLiveMarket)
#include "tst_livemarket.moc"
