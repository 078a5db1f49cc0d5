#include "serverfixtures.h"

#include "binancereplay.h"
#include "market/timeframe.h"
#include "replaypath.h"
#include "sources/binanceklines.h"
#include "sources/binancesource.h"
#include "sources/sourcehttp.h"
#include "sources/warmupplan.h"

#include <QNetworkAccessManager>
#include <QTest>

#include <QCoroTask>

Q_DECLARE_METATYPE(BinanceReplay::Fault)
Q_DECLARE_METATYPE(SourceAnswer::Outcome)

// binance's klines: the parser, the warm-up plan and the adapter against a loopback replay of
// binance's format, its limits and its faults.
class TestBinanceSource final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void parsesKlines_data();
    void parsesKlines();
    void readsErrorMessages();
    void warmUpStretches_data();
    void warmUpStretches();
    void liveMinutesAreTheReplayedOnes();
    void theFormingCandleIsDropped();
    void warmUpComesCoarseFirstInPages();
    void aLongGapIsPaged();
    void faultsAreReported_data();
    void faultsAreReported();
    void staysUnderTheWeightLimit();
    void describesTheQuote();

private:
    SourceAnswer fetch(const QString &symbol, qint64 from, qint64 to, bool warmUp);

    QDateTime m_now;
    std::unique_ptr<BinanceReplay> m_replay;
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::unique_ptr<SourceHttp> m_http;
    std::unique_ptr<BinanceSource> m_source;
};

namespace {

// Tuesday 10:06:03 GMT: the 10:05 candle has just closed.
const qint64 kNow = gmtMinute(2024, 5, 14, 10, 6);

QByteArray row(qint64 openMs, const char *open, const char *high, const char *low,
               const char *close, qint64 closeMs)
{
    return "[" + QByteArray::number(openMs) + ",\"" + open + "\",\"" + high + "\",\"" + low +
           "\",\"" + close + "\",\"1.0\"," + QByteArray::number(closeMs) +
           ",\"2.0\",3,\"1\",\"1\",\"0\"]";
}

void compareWithReplay(const CandleRun &run, const QString &symbol, qint64 firstMinute)
{
    const replaypath::Path path(symbol);
    for (size_t i = 0; i < run.candles.size(); ++i) {
        const Candle &candle = run.candles[i];
        QCOMPARE(candle.minute, firstMinute + qint64(i) * run.stepMinutes);
        const replaypath::Bar bar =
            path.bar(candle.minute, run.stepMinutes, candle.minute + run.stepMinutes);
        QCOMPARE(candle.open, bar.open);
        QCOMPARE(candle.high, bar.high);
        QCOMPARE(candle.low, bar.low);
        QCOMPARE(candle.close, bar.close);
    }
}

} // namespace

void TestBinanceSource::init()
{
    m_now = QDateTime::fromSecsSinceEpoch(kNow * 60 + 3, QTimeZone::utc());
    m_replay = std::make_unique<BinanceReplay>([this] { return m_now; });
    QVERIFY(m_replay->start() != 0);
    m_network = std::make_unique<QNetworkAccessManager>();
    m_http = std::make_unique<SourceHttp>(*m_network, std::chrono::milliseconds(5000));
    m_source = std::make_unique<BinanceSource>(m_replay->baseAddress() + QStringLiteral("/"),
                                               *m_http, Clock([this] { return m_now; }));
}

SourceAnswer TestBinanceSource::fetch(const QString &symbol, qint64 from, qint64 to, bool warmUp)
{
    return QCoro::waitFor(m_source->fetch(symbol, from, to, warmUp));
}

void TestBinanceSource::parsesKlines_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("error");
    const qint64 t = 1715681100000; // 2024-05-14 10:05 GMT
    const QByteArray good =
        row(t, "62000.01000000", "62010.00000000", "61990.50000000", "62005.00000000", t + 59999);
    QTest::newRow("two rows") << "[" + good + "," +
                                     row(t + 60000, "62005", "62006", "62004", "62005.5",
                                         t + 119999) +
                                     "]"
                              << 2 << QString();
    QTest::newRow("no rows") << QByteArray("[]") << 0 << QString();
    QTest::newRow("not JSON") << QByteArray("<html>busy</html>") << 0 << "not JSON";
    QTest::newRow("cut short") << QByteArray("[" + good.left(40)) << 0 << "not JSON";
    QTest::newRow("an object") << QByteArray("{\"code\":-1121}") << 0 << "not an array";
    QTest::newRow("short row") << QByteArray("[[1715681100000,\"1\",\"2\",\"0.5\",\"1\"]]") << 0
                               << "kline 1";
    QTest::newRow("price as a word")
        << "[" + row(t, "62000", "lots", "61990", "62005", t + 59999) + "]" << 0 << "not a number";
    QTest::newRow("price as a number")
        << QByteArray("[[1715681100000,62000,\"62010\",\"61990\",\"62005\",\"1\",1715681159999]]")
        << 0 << "not a number";
    QTest::newRow("time off the minute")
        << "[" + row(t + 1000, "1", "2", "0.5", "1", t + 59999) + "]" << 0 << "whole minute";
    QTest::newRow("time as text")
        << QByteArray("[[\"1715681100000\",\"1\",\"2\",\"0.5\",\"1\",\"1\",1715681159999]]") << 0
        << "kline 1";
    QTest::newRow("close before open")
        << "[" + good + "," + row(t + 60000, "1", "2", "0.5", "1", t) + "]" << 0 << "kline 2";
}

void TestBinanceSource::parsesKlines()
{
    QFETCH(QByteArray, body);
    QFETCH(int, rows);
    QFETCH(QString, error);
    const KlinesParse parsed = parseKlines(body);
    if (error.isEmpty()) {
        QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
    } else {
        QVERIFY2(parsed.error.contains(error), qPrintable(parsed.error));
    }
    QCOMPARE(int(parsed.rows.size()), rows);
    if (rows > 0) {
        const KlineRow &first = parsed.rows.front();
        QCOMPARE(first.candle.minute, gmtMinute(2024, 5, 14, 10, 5));
        QCOMPARE(first.candle.open, 62000.01);
        QCOMPARE(first.candle.high, 62010.0);
        QCOMPARE(first.candle.low, 61990.5);
        QCOMPARE(first.candle.close, 62005.0);
        QCOMPARE(first.closeMs - first.openMs, 59999);
    }
}

void TestBinanceSource::readsErrorMessages()
{
    QCOMPARE(binanceErrorMessage("{\"code\":-1121,\"msg\":\"Invalid symbol.\"}"),
             QStringLiteral("Invalid symbol."));
    QCOMPARE(binanceErrorMessage("{\"msg\":\"bad\\u0007bell\"}"), QStringLiteral("badbell"));
    QCOMPARE(binanceErrorMessage("<html>"), QString());
    QCOMPARE(binanceErrorMessage("{\"msg\":\"" + QByteArray(500, 'x') + "\"}").size(), 200);
}

void TestBinanceSource::warmUpStretches_data()
{
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    QTest::addColumn<QList<qint64>>("expected"); // from, to, step of each stretch
    const qint64 day = kMinutesPerDay;
    const qint64 to = kNow; // 10:06, on no hour
    const qint64 hourCut = (to - 20 * day) / 60 * 60;
    const qint64 quarterCut = (to - 4 * day) / 15 * 15;
    QTest::newRow("a fresh start")
        << to - 315 * day << to << QList<qint64>{(to - 315 * day + 59) / 60 * 60,
                                                 hourCut,
                                                 60,
                                                 hourCut,
                                                 quarterCut,
                                                 15,
                                                 quarterCut,
                                                 to,
                                                 1};
    QTest::newRow("a gap of ten days")
        << to - 10 * day << to
        << QList<qint64>{(to - 10 * day + 14) / 15 * 15, quarterCut, 15, quarterCut, to, 1};
    QTest::newRow("a gap of two days") << to - 2 * day << to << QList<qint64>{to - 2 * day, to, 1};
    QTest::newRow("nothing to ask") << to << to << QList<qint64>{};
}

void TestBinanceSource::warmUpStretches()
{
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    QFETCH(QList<qint64>, expected);
    QList<qint64> got;
    for (const WarmUpStretch &stretch : ::warmUpStretches(from, to, {60, 15, 1}))
        got << stretch.fromMinute << stretch.toMinute << stretch.stepMinutes;
    QCOMPARE(got, expected);
}

void TestBinanceSource::liveMinutesAreTheReplayedOnes()
{
    const SourceAnswer answer = fetch(QStringLiteral("BTCUSDT"), kNow - 5, kNow, false);
    QCOMPARE(answer.outcome, SourceAnswer::Outcome::Candles);
    QCOMPARE(answer.runs.size(), size_t(1));
    QCOMPARE(answer.runs[0].stepMinutes, 1);
    QCOMPARE(answer.runs[0].candles.size(), size_t(5));
    compareWithReplay(answer.runs[0], QStringLiteral("BTCUSDT"), kNow - 5);
    const QList<BinanceReplay::Request> requests = m_replay->requests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].interval, QStringLiteral("1m"));
    QCOMPARE(requests[0].startTime, (kNow - 5) * 60000);
    QCOMPARE(requests[0].endTime, kNow * 60000 - 1);
}

void TestBinanceSource::theFormingCandleIsDropped()
{
    // The local clock runs ahead of binance's: asked up to 10:06, binance is still in 10:05 and
    // answers its forming candle, which closes after binance's present.
    m_now = QDateTime::fromSecsSinceEpoch((kNow - 1) * 60 + 40, QTimeZone::utc());
    const SourceAnswer answer = fetch(QStringLiteral("ETHUSDT"), kNow - 5, kNow, false);
    QCOMPARE(answer.outcome, SourceAnswer::Outcome::Candles);
    QCOMPARE(answer.runs.size(), size_t(1));
    QCOMPARE(answer.runs[0].candles.size(), size_t(4));
    QCOMPARE(answer.runs[0].candles.back().minute, kNow - 2);
    compareWithReplay(answer.runs[0], QStringLiteral("ETHUSDT"), kNow - 5);
}

void TestBinanceSource::warmUpComesCoarseFirstInPages()
{
    const qint64 from = kNow - 315 * kMinutesPerDay;
    const SourceAnswer answer = fetch(QStringLiteral("SOLUSDT"), from, kNow, true);
    QCOMPARE(answer.outcome, SourceAnswer::Outcome::Candles);
    const std::vector<WarmUpStretch> plan = ::warmUpStretches(from, kNow, {60, 15, 1});
    QCOMPARE(answer.runs.size(), plan.size());
    int expectedRequests = 0;
    for (size_t i = 0; i < plan.size(); ++i) {
        const CandleRun &run = answer.runs[i];
        QCOMPARE(run.stepMinutes, plan[i].stepMinutes);
        QCOMPARE(qint64(run.candles.size()),
                 (plan[i].toMinute - plan[i].fromMinute) / plan[i].stepMinutes);
        compareWithReplay(run, QStringLiteral("SOLUSDT"), plan[i].fromMinute);
        expectedRequests += int(run.candles.size() / 1000) + 1;
    }
    // 7,080 hours, 1,536 quarters, 5,760 minutes: 8 + 2 + 6 pages.
    QCOMPARE(m_replay->requests().size(), expectedRequests);
    QCOMPARE(expectedRequests, 16);
}

void TestBinanceSource::aLongGapIsPaged()
{
    const SourceAnswer answer = fetch(QStringLiteral("XRPUSDT"), kNow - 2500, kNow, false);
    QCOMPARE(answer.outcome, SourceAnswer::Outcome::Candles);
    QCOMPARE(answer.runs.size(), size_t(1));
    QCOMPARE(answer.runs[0].candles.size(), size_t(2500));
    compareWithReplay(answer.runs[0], QStringLiteral("XRPUSDT"), kNow - 2500);
    const QList<BinanceReplay::Request> requests = m_replay->requests();
    QCOMPARE(requests.size(), 3);
    QCOMPARE(requests[1].startTime, (kNow - 1500) * 60000);
    QCOMPARE(requests[2].startTime, (kNow - 500) * 60000);
}

void TestBinanceSource::faultsAreReported_data()
{
    QTest::addColumn<BinanceReplay::Fault>("fault");
    QTest::addColumn<SourceAnswer::Outcome>("outcome");
    QTest::addColumn<int>("retryAfter");
    QTest::addColumn<QString>("reason");
    using Fault = BinanceReplay::Fault;
    using Outcome = SourceAnswer::Outcome;
    QTest::newRow("429") << Fault::RateLimited << Outcome::RateLimited << 30 << "HTTP 429";
    QTest::newRow("418") << Fault::Banned << Outcome::RateLimited << 30 << "address banned";
    QTest::newRow("451") << Fault::RegionBlocked << Outcome::Blocked << 0 << "restricted location";
    QTest::newRow("502") << Fault::ServerError << Outcome::Failed << 0 << "HTTP 502";
    QTest::newRow("truncated") << Fault::Truncated << Outcome::Failed << 0 << "unreadable answer";
    QTest::newRow("garbage") << Fault::Garbage << Outcome::Failed << 0 << "unreadable answer";
    QTest::newRow("outage") << Fault::Outage << Outcome::Failed << 0 << "";
}

void TestBinanceSource::faultsAreReported()
{
    QFETCH(BinanceReplay::Fault, fault);
    QFETCH(SourceAnswer::Outcome, outcome);
    QFETCH(int, retryAfter);
    QFETCH(QString, reason);
    m_replay->setFault(fault);
    // A warm-up's first page fails: nothing of it is handed over.
    SourceAnswer answer = fetch(QStringLiteral("BTCUSDT"), kNow - 3000, kNow, true);
    m_replay->setFault(BinanceReplay::Fault::None);
    QCOMPARE(answer.outcome, outcome);
    QVERIFY(answer.runs.empty());
    QCOMPARE(int(answer.retryAfter.count()), retryAfter);
    QVERIFY2(answer.reason.contains(reason), qPrintable(answer.reason));
    QVERIFY(!answer.reason.isEmpty());
    // The fault has passed: the next request is answered.
    answer = fetch(QStringLiteral("BTCUSDT"), kNow - 3, kNow, false);
    QCOMPARE(answer.outcome, SourceAnswer::Outcome::Candles);
    QCOMPARE(answer.runs.at(0).candles.size(), size_t(3));
}

void TestBinanceSource::staysUnderTheWeightLimit()
{
    m_replay->setReportedWeight(BinanceSource::kWeightBudget - 1);
    QCOMPARE(fetch(QStringLiteral("BTCUSDT"), kNow - 3, kNow, false).outcome,
             SourceAnswer::Outcome::Candles);
    // Another request would pass the budget: the adapter waits for the next minute on its own.
    const SourceAnswer refused = fetch(QStringLiteral("ETHUSDT"), kNow - 3, kNow, false);
    QCOMPARE(refused.outcome, SourceAnswer::Outcome::RateLimited);
    QCOMPARE(int(refused.retryAfter.count()), 57);
    QVERIFY2(refused.reason.contains(QStringLiteral("request weight")), qPrintable(refused.reason));
    QCOMPARE(m_replay->requests().size(), 1);
    // A new minute, a new allowance.
    m_now = m_now.addSecs(60);
    m_replay->setReportedWeight(-1);
    QCOMPARE(fetch(QStringLiteral("ETHUSDT"), kNow - 3, kNow + 1, false).outcome,
             SourceAnswer::Outcome::Candles);
    QCOMPARE(m_replay->requests().size(), 2);

    // An unknown symbol is binance's own complaint.
    m_replay->setUnknownSymbols({QStringLiteral("NOPEUSDT")});
    const SourceAnswer unknown = fetch(QStringLiteral("NOPEUSDT"), kNow - 3, kNow, false);
    QCOMPARE(unknown.outcome, SourceAnswer::Outcome::Failed);
    QCOMPARE(unknown.reason, QStringLiteral("HTTP 400: Invalid symbol."));
}

void TestBinanceSource::describesTheQuote()
{
    QCOMPARE(m_source->describe(QStringLiteral("BTCUSDT")),
             QStringLiteral("binance BTCUSDT (USDT)"));
    QCOMPARE(m_source->describe(QStringLiteral("ETHFDUSD")),
             QStringLiteral("binance ETHFDUSD (FDUSD)"));
    QCOMPARE(m_source->describe(QStringLiteral("XYZ")), QStringLiteral("binance XYZ"));
    QCOMPARE(m_source->name(), QStringLiteral("binance"));
}

QTEST_GUILESS_MAIN(TestBinanceSource)
#include "tst_binancesource.moc"
