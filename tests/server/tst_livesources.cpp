#include "candletexts.h"
#include "recordcheck.h"
#include "serverfixtures.h"

#include "documents/instrumentrecord.h"
#include "documents/numberformat.h"
#include "dukascopyreplay.h"
#include "live/livemarket.h"
#include "market/market.h"
#include "market/timeframe.h"
#include "replaymarket.h"
#include "sources/dukascopysource.h"
#include "sources/sourcehttp.h"
#include "sources/terminalsource.h"

#include "app/catalogue.h"

#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QTest>

#include <QCoroTask>

using namespace std::chrono_literals;

namespace {

// Tuesday, 14 May 2024, 10:06 GMT
const qint64 kT = gmtMinute(2024, 5, 14, 10, 6);
// The broker's clock of the terminal tests runs two hours ahead of GMT.
constexpr int kBrokerOffset = 2;

int indexOf(const char *code)
{
    return instrumentIndex(QLatin1String(code));
}

QString since(qint64 dayStart)
{
    return QStringLiteral("v1/candles/minute/EUR-USD/BID?from=") +
           QString::number(dayStart * 60000);
}

// A minute bar as the expert advisor writes it, in the broker's clock.
QByteArray advisorLine(const Candle &candle)
{
    auto price = [](double value) { return QByteArray::number(value, 'f', 5); };
    return momentOf(candle.minute + kBrokerOffset * 60)
               .toString(QStringLiteral("yyyy.MM.dd HH:mm:ss"))
               .toLatin1() +
           ',' + price(candle.open) + ',' + price(candle.high) + ',' + price(candle.low) + ',' +
           price(candle.close) + ",7\r\n";
}

// The same bars as the History Center exports them, under its header.
QByteArray historyExport(const std::vector<Candle> &candles)
{
    QByteArray text = "<DATE>,<TIME>,<OPEN>,<HIGH>,<LOW>,<CLOSE>,<VOL>\r\n";
    for (const Candle &candle : candles) {
        QByteArray line = advisorLine(candle);
        text += line.left(10) + ',' + line.mid(11, 5) + line.mid(19);
    }
    return text;
}

// A bar every minute of [from, to), prices on a grid of 0.0001.
std::vector<Candle> everyMinute(qint64 from, qint64 to)
{
    std::vector<Candle> bars;
    for (qint64 minute = from; minute < to; ++minute) {
        const qint64 base = 901234 + (minute * 37) % 101;
        bars.push_back(Candle{minute, double(base) / 1e4, double(base + 9) / 1e4,
                              double(base - 6) / 1e4, double(base + 3) / 1e4});
    }
    return bars;
}

void append(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    QCOMPARE(file.write(bytes), bytes.size());
}

qsizetype linesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : -1;
}

} // namespace

// The live market fed through its driver by the dukascopy replay and by a terminal folder the
// test appends to: the warm-up, the minute, a back-off in the middle of a warm-up, staleness and
// restarts that take only the gap.
class TestLiveSources final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void dukascopyWarmsUpThenFollowsTheMinute();
    void dukascopyBacksOffInTheMiddleOfAWarmUp();
    void dukascopyRestartAsksOnlyForTheGap_data();
    void dukascopyRestartAsksOnlyForTheGap();
    void terminalFollowsTheFolder();
    void terminalRestartTakesOnlyTheGap();
    void aMarketGoesWhileItsRequestsWaitTheirTurn();

private:
    Clock clock()
    {
        return Clock([this] { return m_now; });
    }
    // The clock at `second` past `minute`, the replay's present with it.
    void at(qint64 minute, int second = 3);
    std::unique_ptr<LiveMarket> makeMarket(const QString &folder);
    void addDukascopy(LiveMarket &market, const QList<std::pair<int, QString>> &symbols);
    void addTerminal(LiveMarket &market);
    // One round of every source; then the market reads the minute, as the server does.
    void poll(LiveMarket &market, qint64 minute);
    static QString record(const LiveMarket &market, const char *code)
    {
        return instrumentRecord(market.snapshot(indexOf(code)));
    }
    QStringList targets() const { return m_replay->server().requestTargets(); }

    QDateTime m_now;
    QStringList m_log;
    std::vector<Candle> m_euro;
    std::vector<Candle> m_gold;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_terminal;
    std::unique_ptr<DukascopyReplay> m_replay;
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::unique_ptr<SourceHttp> m_http;
};

void TestLiveSources::init()
{
    m_log.clear();
    m_euro = replayMinutes(kT - 330 * kMinutesPerDay, kT + 2 * kMinutesPerDay, 1.0812, 5, 1);
    m_gold = replayMinutes(kT - 330 * kMinutesPerDay, kT + 2 * kMinutesPerDay, 2345.67, 2, 2);
    m_dir = std::make_unique<QTemporaryDir>();
    m_terminal = std::make_unique<QTemporaryDir>();
    m_replay = std::make_unique<DukascopyReplay>();
    m_replay->setCandles(QStringLiteral("EUR-USD"), m_euro, 5);
    m_replay->setCandles(QStringLiteral("XAU-USD"), m_gold, 2);
    m_network = std::make_unique<QNetworkAccessManager>();
    m_http = std::make_unique<SourceHttp>(*m_network, 5000ms);
    at(kT);
}

void TestLiveSources::cleanup()
{
    m_http.reset();
    m_network.reset();
    m_replay.reset();
    m_terminal.reset();
    m_dir.reset();
}

void TestLiveSources::at(qint64 minute, int second)
{
    m_now = QDateTime::fromSecsSinceEpoch(minute * 60 + second, QTimeZone::utc());
    m_replay->setNow(minute);
}

std::unique_ptr<LiveMarket> TestLiveSources::makeMarket(const QString &folder)
{
    // Every round a test starts ends before its market goes: nothing to cut off.
    return std::make_unique<LiveMarket>(clock(), CandleCache(folder),
                                        [this](const QString &line) { m_log << line; });
}

void TestLiveSources::addDukascopy(LiveMarket &market,
                                   const QList<std::pair<int, QString>> &symbols)
{
    // Unpaced: the pacing has a test of its own.
    market.addSource(std::make_unique<DukascopySource>(QUrl(m_replay->baseAddress()), *m_http,
                                                       DukascopySource::Pacing{1000, 0ms}),
                     symbols);
}

void TestLiveSources::addTerminal(LiveMarket &market)
{
    market.addSource(std::make_unique<TerminalSource>(m_terminal->path(), kBrokerOffset),
                     {{indexOf("usdrub"), QStringLiteral("usdrub")}});
}

void TestLiveSources::poll(LiveMarket &market, qint64 minute)
{
    QCoro::waitFor(market.pollAll());
    market.advanceTo(minute);
}

void TestLiveSources::dukascopyWarmsUpThenFollowsTheMinute()
{
    const auto market = makeMarket(m_dir->path());
    addDukascopy(*market, {{indexOf("eurusd"), QStringLiteral("EUR-USD")},
                           {indexOf("gold"), QStringLiteral("XAU-USD")}});
    QCOMPARE(recordField(record(*market, "eurusd"), 205, 2), QStringLiteral("warming up"));
    poll(*market, kT);
    // Hours for the far past, minutes for the last days: every timeframe is readable at once,
    // D1 with its MA200 included, after 19 requests per instrument.
    QCOMPARE(targets().size(), 2 * 19);
    QCOMPARE(market->sourceState(QStringLiteral("dukascopy")), QStringLiteral("live"));
    QCOMPARE(m_log, QStringList{QStringLiteral("dukascopy: live")});
    for (const auto &[code, series, decimals] :
         {std::tuple("eurusd", &m_euro, 5), std::tuple("gold", &m_gold, 2)}) {
        const QString text = record(*market, code);
        QCOMPARE(recordFaults(text), QStringList());
        QCOMPARE(recordField(text, 203, 0), priceText(within(*series, 0, kT).back().close, decimals));
        QVERIFY(recordField(text, 29 * 6 + 18, 1).section(u' ', 0, 0).toInt() >= 200);
    }
    QCOMPARE(recordField(record(*market, "eurusd"), 205, 2),
             QStringLiteral("dukascopy EUR-USD (bid)"));
    const std::span<const Candle> kept =
        market->book(indexOf("eurusd")).series(Timeframe::M1).candles();
    const std::vector<Candle> came = within(m_euro, 0, kT);
    QCOMPARE(candleTexts(std::vector<Candle>(kept.begin(), kept.end())),
             candleTexts(std::vector<Candle>(came.end() - qsizetype(kept.size()), came.end())));

    // Each minute after: one request per instrument, today's so far, for the minute that closed.
    for (qint64 minute = kT + 1; minute <= kT + 3; ++minute) {
        m_replay->server().clearRequests();
        at(minute);
        poll(*market, minute);
        QCOMPARE(targets().size(), 2);
        QVERIFY2(targets().contains(since(gmtMinute(2024, 5, 14, 0, 0))),
                 qPrintable(targets().join(u' ')));
        QCOMPARE(candleText(*market->book(indexOf("gold")).latest()),
                 candleText(within(m_gold, 0, minute).back()));
    }
    QCOMPARE(m_log.size(), 1);
    // What came is in the cache, once.
    QCOMPARE(linesOf(m_dir->filePath(QStringLiteral("eurusd.csv"))) - 1,
             qsizetype(within(aggregated(m_euro, 60), kT - 315 * kMinutesPerDay,
                              gmtMinute(2024, 5, 7, 0, 0))
                           .size() +
                       within(m_euro, gmtMinute(2024, 5, 7, 0, 0), kT + 3).size()));
}

void TestLiveSources::dukascopyBacksOffInTheMiddleOfAWarmUp()
{
    const auto market = makeMarket(m_dir->path());
    addDukascopy(*market, {{indexOf("eurusd"), QStringLiteral("EUR-USD")}});
    // Ten months of hours come, then the service asks for two minutes' rest.
    TestHttpServer::Route busy;
    busy.status = 429;
    busy.headers = {{"Retry-After", "120"}};
    m_replay->answerNext(10);
    m_replay->failNext(busy);
    poll(*market, kT);
    QCOMPARE(targets().size(), 11);
    QCOMPARE(market->sourceState(QStringLiteral("dukascopy")),
             QStringLiteral("backing off 120 s (HTTP 429)"));
    QCOMPARE(recordField(record(*market, "eurusd"), 205, 2), QStringLiteral("warming up"));

    // Nothing is asked while it rests.
    at(kT + 1);
    poll(*market, kT + 1);
    QCOMPARE(targets().size(), 11);

    // Then the warm-up goes on: the months that came are not asked for again.
    m_replay->server().clearRequests();
    at(kT + 2, 5);
    poll(*market, kT + 2);
    QCOMPARE(targets().size(), 19 - 10);
    QCOMPARE(targets().first(), QStringLiteral("v1/candles/hour/EUR-USD/BID?from=") +
                                    QString::number(gmtMinute(2024, 5, 1, 0, 0) * 60000));
    QCOMPARE(recordFaults(record(*market, "eurusd")), QStringList());
    QCOMPARE(m_log, (QStringList{QStringLiteral("dukascopy: backing off 120 s (HTTP 429)"),
                                 QStringLiteral("dukascopy: live")}));
}

void TestLiveSources::dukascopyRestartAsksOnlyForTheGap_data()
{
    QTest::addColumn<qint64>("stopped");
    QTest::addColumn<qint64>("restarted");
    QTest::addColumn<QStringList>("asked");

    QTest::newRow("half an hour later")
        << kT << kT + 30 << QStringList{since(gmtMinute(2024, 5, 14, 0, 0))};
    // The day that ended twenty minutes ago may still be filling in: it is asked for as one in
    // progress, from its start, and so is the new day.
    QTest::newRow("over midnight")
        << gmtMinute(2024, 5, 14, 23, 50) << gmtMinute(2024, 5, 15, 0, 20)
        << QStringList{since(gmtMinute(2024, 5, 14, 0, 0)), since(gmtMinute(2024, 5, 15, 0, 0))};
    QTest::newRow("the next morning")
        << kT << gmtMinute(2024, 5, 15, 9, 0)
        << QStringList{QStringLiteral("v1/candles/minute/EUR-USD/BID/2024/5/14"),
                       since(gmtMinute(2024, 5, 15, 0, 0))};
}

void TestLiveSources::dukascopyRestartAsksOnlyForTheGap()
{
    QFETCH(qint64, stopped);
    QFETCH(qint64, restarted);
    QFETCH(QStringList, asked);
    const QList<std::pair<int, QString>> euro{{indexOf("eurusd"), QStringLiteral("EUR-USD")}};
    at(stopped);
    {
        const auto first = makeMarket(m_dir->path());
        addDukascopy(*first, euro);
        poll(*first, stopped);
    }
    // A server that never stopped, beside it.
    QTemporaryDir continuous;
    const auto running = makeMarket(continuous.path());
    addDukascopy(*running, euro);
    poll(*running, stopped);
    for (qint64 minute = stopped + 1; minute <= restarted; minute += 10) {
        at(minute);
        poll(*running, minute);
    }
    at(restarted);
    poll(*running, restarted);

    m_replay->server().clearRequests();
    const auto again = makeMarket(m_dir->path());
    addDukascopy(*again, euro);
    poll(*again, restarted);
    QCOMPARE(targets(), asked);
    QCOMPARE(record(*again, "eurusd"), record(*running, "eurusd"));
    QCOMPARE(recordFaults(record(*again, "eurusd")), QStringList());
}

void TestLiveSources::terminalFollowsTheFolder()
{
    const QString file = m_terminal->filePath(QStringLiteral("usdrub.csv"));
    const std::vector<Candle> bars = everyMinute(kT - 400, kT + 20);
    // The folder starts with an exported history, and the advisor appends to it.
    writeTestFile(file, historyExport(within(bars, 0, kT - 1)));
    append(file, advisorLine(bars[399]));
    const auto market = makeMarket(m_dir->path());
    addTerminal(*market);
    poll(*market, kT);
    QCOMPARE(market->book(indexOf("usdrub")).series(Timeframe::M1).count(), 400);
    const QString text = record(*market, "usdrub");
    QCOMPARE(recordFaults(text, 0x01), QStringList());
    QCOMPARE(recordField(text, 205, 2), QStringLiteral("terminal usdrub.csv"));
    QCOMPARE(recordField(text, 205, 1), QStringLiteral("2024-05-14 10:06 GMT"));
    QCOMPARE(recordField(text, 203, 0), priceText(bars[399].close, 4));

    // The next bar, and the one after it half written: only the whole line counts.
    const QByteArray next = advisorLine(bars[401]);
    append(file, advisorLine(bars[400]) + next.left(20));
    at(kT + 2);
    poll(*market, kT + 2);
    QCOMPARE(candleText(*market->book(indexOf("usdrub")).latest()), candleText(bars[400]));
    append(file, next.mid(20));
    at(kT + 3);
    poll(*market, kT + 3);
    QCOMPARE(candleText(*market->book(indexOf("usdrub")).latest()), candleText(bars[401]));

    // The terminal stops writing: inside the forex week that is stale from the sixth minute.
    for (qint64 minute = kT + 4; minute <= kT + 7; ++minute) {
        at(minute);
        poll(*market, minute);
        QCOMPARE(recordFaults(record(*market, "usdrub"), 0x01), QStringList());
    }
    at(kT + 8);
    poll(*market, kT + 8);
    QCOMPARE(recordField(record(*market, "usdrub"), 205, 2), QStringLiteral("stale since 10:08"));
    QCOMPARE(recordFaults(record(*market, "usdrub"), 0), QStringList());
    // It writes again, what it missed included.
    QByteArray missed;
    for (const Candle &bar : within(bars, kT + 2, kT + 9))
        missed += advisorLine(bar);
    append(file, missed);
    at(kT + 9);
    poll(*market, kT + 9);
    QCOMPARE(recordFaults(record(*market, "usdrub"), 0x01), QStringList());
    QCOMPARE(market->book(indexOf("usdrub")).series(Timeframe::M1).count(), 409);
    QCOMPARE(m_log, (QStringList{QStringLiteral("terminal: live"),
                                 QStringLiteral("terminal: stale (usdrub since 10:08)"),
                                 QStringLiteral("terminal: live")}));
    QCOMPARE(linesOf(m_dir->filePath(QStringLiteral("usdrub.csv"))) - 1, 409);
}

void TestLiveSources::terminalRestartTakesOnlyTheGap()
{
    const QString file = m_terminal->filePath(QStringLiteral("usdrub.csv"));
    const std::vector<Candle> bars = everyMinute(kT - 300, kT + 40);
    QByteArray lines;
    for (const Candle &bar : within(bars, 0, kT))
        lines += advisorLine(bar);
    writeTestFile(file, lines);
    {
        const auto first = makeMarket(m_dir->path());
        addTerminal(*first);
        poll(*first, kT);
    }
    // The terminal went on while the server was stopped.
    lines.clear();
    for (const Candle &bar : within(bars, kT, kT + 30))
        lines += advisorLine(bar);
    append(file, lines);
    at(kT + 30);
    const auto again = makeMarket(m_dir->path());
    addTerminal(*again);
    QCOMPARE(recordField(record(*again, "usdrub"), 205, 2), QStringLiteral("stale since 10:06"));
    poll(*again, kT + 30);
    // Every candle once, in the book and in the cache, and the record of a server that read
    // the whole file at once.
    const qsizetype all = qsizetype(within(bars, 0, kT + 30).size());
    QCOMPARE(again->book(indexOf("usdrub")).series(Timeframe::M1).count(), all);
    QCOMPARE(linesOf(m_dir->filePath(QStringLiteral("usdrub.csv"))) - 1, all);
    QTemporaryDir fresh;
    const auto whole = makeMarket(fresh.path());
    addTerminal(*whole);
    poll(*whole, kT + 30);
    QCOMPARE(record(*again, "usdrub"), record(*whole, "usdrub"));
    QCOMPARE(recordFaults(record(*again, "usdrub"), 0x01), QStringList());
}

void TestLiveSources::aMarketGoesWhileItsRequestsWaitTheirTurn()
{
    auto market = makeMarket(m_dir->path());
    market->addSource(std::make_unique<DukascopySource>(QUrl(m_replay->baseAddress()), *m_http,
                                                        DukascopySource::Pacing{2, 1000ms}),
                      {{indexOf("eurusd"), QStringLiteral("EUR-USD")}});
    market->start();
    QTRY_COMPARE(targets().size(), 2);
    QTest::qWait(200); // both answered; the third request waits for its turn
    market.reset();
    // Its turn comes after the market has gone: nothing of it may run on.
    QTest::qWait(1200);
    QCOMPARE(targets().size(), 2);
}

QTEST_GUILESS_MAIN(TestLiveSources)
#include "tst_livesources.moc"
