#include "candletexts.h"
#include "dukascopyreplay.h"
#include "market/timeframe.h"
#include "replaymarket.h"
#include "serverfixtures.h"
#include "sources/dukascopycandles.h"
#include "sources/dukascopysource.h"
#include "sources/sourcehttp.h"

#include <QNetworkAccessManager>
#include <QTest>

#include <QCoroTask>

#include <memory>

using namespace std::chrono_literals;
using Outcome = SourceAnswer::Outcome;

Q_DECLARE_METATYPE(SourceAnswer::Outcome)

namespace {

constexpr auto kCode = "EUR-USD";
// Tuesday, 14 May 2024, 10:06 GMT
const qint64 kNow = gmtMinute(2024, 5, 14, 10, 6);

QString ms(qint64 minute)
{
    return QString::number(minute * 60000);
}

QStringList minutesOf(const SourceAnswer &answer, int run)
{
    return candleTexts(answer.runs.at(size_t(run)).candles);
}

} // namespace

// Dukascopy's candle service: its delta-encoded answers, day and month buckets, the warm-up in
// hours, the pacing of requests and what its failures become.
class TestDukascopySource final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void decodesDeltas_data();
    void decodesDeltas();
    void refusesAnswersThatDoNotAddUp_data();
    void refusesAnswersThatDoNotAddUp();
    void warmsUpInHoursThenFollowsMinutes();
    void rangeEdgesInsideAndAcrossDays_data();
    void rangeEdgesInsideAndAcrossDays();
    void failuresBecomeOutcomes_data();
    void failuresBecomeOutcomes();
    void outageIsBackfilledFromKeptDays();
    void requestsComeInBurstsWithPauses();
    void theMinutesOfTodayAreNeverHeldUp();
    void codeThatIsNoPathSegmentIsNotAsked();

private:
    SourceAnswer fetch(qint64 from, qint64 to, bool warmUp = false)
    {
        return QCoro::waitFor(m_source->fetch(QString::fromLatin1(kCode), from, to, warmUp));
    }

    std::vector<Candle> m_series;
    std::unique_ptr<DukascopyReplay> m_replay;
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::unique_ptr<SourceHttp> m_http;
    std::unique_ptr<DukascopySource> m_source;
};

void TestDukascopySource::init()
{
    m_series = replayMinutes(kNow - 330 * kMinutesPerDay, kNow + 1, 1.0812, 5);
    m_replay = std::make_unique<DukascopyReplay>();
    m_replay->setCandles(QString::fromLatin1(kCode), m_series, 5);
    m_replay->setNow(kNow);
    m_network = std::make_unique<QNetworkAccessManager>();
    m_http = std::make_unique<SourceHttp>(*m_network, 5000ms);
    m_source = std::make_unique<DukascopySource>(QUrl(m_replay->baseAddress()), *m_http,
                                                 DukascopySource::Pacing{1000, 0ms});
}

void TestDukascopySource::decodesDeltas_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("step");
    QTest::addColumn<QStringList>("candles");

    // Units of 0.00001: open 108120, high 108125, low 108110, close 108120; then each candle
    // adds its deltas, and a time step of 3 skips two quiet minutes.
    QTest::newRow("minutes of a pair")
        << QByteArray(R"({"timestamp":1715644800000,"multiplier":0.00001,"shift":60000,)"
                      R"("open":1.0812,"high":1.08125,"low":1.0811,"close":1.0812,)"
                      R"("times":[0,1,3],"opens":[0,5,-2],"highs":[0,3,1],"lows":[0,8,-10],)"
                      R"("closes":[0,5,-3],"volumes":[1.5,2.25,0.75]})")
        << 1
        << QStringList{"2024-05-14 00:00 1.0812 1.08125 1.0811 1.0812",
                       "2024-05-14 00:01 1.08125 1.08128 1.08118 1.08125",
                       "2024-05-14 00:04 1.08123 1.08129 1.08108 1.08122"};
    QTest::newRow("minutes of a yen pair")
        << QByteArray(R"({"timestamp":1715680800000,"multiplier":0.001,"shift":60000,)"
                      R"("open":155.123,"high":155.13,"low":155.1,"close":155.12,)"
                      R"("times":[0,1],"opens":[0,12],"highs":[0,5],"lows":[0,20],)"
                      R"("closes":[0,1],"volumes":[3,4]})")
        << 1
        << QStringList{"2024-05-14 10:00 155.123 155.13 155.1 155.12",
                       "2024-05-14 10:01 155.135 155.135 155.12 155.121"};
    // Gold in units of 0.01 by the hour; a step of 49 hours reaches 02:00 two days on.
    QTest::newRow("hours of a metal")
        << QByteArray(R"({"timestamp":1714521600000,"multiplier":0.01,"shift":3600000,)"
                      R"("open":2300.5,"high":2305.25,"low":2299,"close":2304,)"
                      R"("times":[0,1,49],"opens":[0,350,-100],"highs":[0,0,100],)"
                      R"("lows":[0,300,-300],"closes":[0,-100,200],"volumes":[9,8,7]})")
        << 60
        << QStringList{"2024-05-01 00:00 2300.5 2305.25 2299 2304",
                       "2024-05-01 01:00 2304 2305.25 2302 2303",
                       "2024-05-03 02:00 2303 2306.25 2299 2305"};
    QTest::newRow("a quiet day")
        << QByteArray(R"({"times":[],"opens":[],"highs":[],"lows":[],"closes":[],"volumes":[]})")
        << 1 << QStringList{};
}

void TestDukascopySource::decodesDeltas()
{
    QFETCH(QByteArray, body);
    QFETCH(int, step);
    QFETCH(QStringList, candles);
    const ParsedCandles parsed = parseDukascopyCandles(body, step);
    QCOMPARE(parsed.error, QString());
    QCOMPARE(candleTexts(parsed.candles), candles);
}

void TestDukascopySource::refusesAnswersThatDoNotAddUp_data()
{
    QTest::addColumn<QByteArray>("body");

    const QByteArray good(R"({"timestamp":1715644800000,"multiplier":0.00001,"shift":60000,)"
                          R"("open":1.0812,"high":1.08125,"low":1.0811,"close":1.0812,)"
                          R"("times":[0,1],"opens":[0,5],"highs":[0,3],"lows":[0,8],)"
                          R"("closes":[0,5],"volumes":[1,2]})");
    QVERIFY(parseDukascopyCandles(good, 1).error.isEmpty());
    auto with = [&good](const char *from, const char *to) {
        QByteArray body = good;
        return body.replace(from, to);
    };
    QTest::newRow("a firewall's page") << QByteArray("<html><title>Attention Required</title>");
    QTest::newRow("cut short") << good.left(good.size() - 20);
    QTest::newRow("an array, not an object") << QByteArray("[[1715644800000,1.0812]]");
    QTest::newRow("a series shorter") << with(R"("lows":[0,8])", R"("lows":[0])");
    QTest::newRow("volumes longer") << with(R"("volumes":[1,2])", R"("volumes":[1,2,3])");
    QTest::newRow("no closes") << with(R"("closes":[0,5],)", "");
    QTest::newRow("hours where minutes were asked") << with("\"shift\":60000", "\"shift\":3600000");
    QTest::newRow("a start off the minute") << with("1715644800000", "1715644830000");
    QTest::newRow("half a unit") << with(R"("opens":[0,5])", R"("opens":[0,0.5])");
    QTest::newRow("time standing still") << with(R"("times":[0,1])", R"("times":[0,0])");
    QTest::newRow("time going back") << with(R"("times":[0,1])", R"("times":[0,-1])");
    QTest::newRow("a low of nothing") << with(R"("lows":[0,8])", R"("lows":[0,-108110])");
    QTest::newRow("a high below the low") << with(R"("highs":[0,3])", R"("highs":[0,-20])");
    QTest::newRow("no multiplier") << with("\"multiplier\":0.00001,", "");
    QTest::newRow("a multiplier of nothing") << with("\"multiplier\":0.00001", "\"multiplier\":0");
    QTest::newRow("a negative open") << with("\"open\":1.0812", "\"open\":-1.0812");
    QTest::newRow("an open past counting") << with("\"open\":1.0812", "\"open\":1e300");
    QTest::newRow("prices as text") << with("\"high\":1.08125", "\"high\":\"1.08125\"");
}

void TestDukascopySource::refusesAnswersThatDoNotAddUp()
{
    QFETCH(QByteArray, body);
    const ParsedCandles parsed = parseDukascopyCandles(body, 1);
    QVERIFY(!parsed.error.isEmpty());
    QVERIFY(parsed.candles.empty());
}

void TestDukascopySource::warmsUpInHoursThenFollowsMinutes()
{
    QCOMPARE(m_source->describe(QStringLiteral("EUR-USD")),
             QStringLiteral("dukascopy EUR-USD (bid)"));
    const qint64 from = kNow - 315 * kMinutesPerDay; // Tuesday 4 July 2023, 10:06
    const qint64 minutesFrom = gmtMinute(2024, 5, 7, 0, 0);
    const QString thisMonth =
        QStringLiteral("v1/candles/hour/EUR-USD/BID?from=") + ms(gmtMinute(2024, 5, 1, 0, 0));
    const QString today =
        QStringLiteral("v1/candles/minute/EUR-USD/BID?from=") + ms(gmtMinute(2024, 5, 14, 0, 0));

    // The first warm-up fails at its last request.
    TestHttpServer::Route down;
    down.status = 503;
    m_replay->answerNext(18);
    m_replay->failNext(down);
    QCOMPARE(fetch(from, kNow, true).outcome, Outcome::Failed);
    // Completed months and days by their path, the month and the day in progress from their start.
    QStringList expected;
    for (QDate month(2023, 7, 1); month < QDate(2024, 5, 1); month = month.addMonths(1))
        expected << QStringLiteral("v1/candles/hour/EUR-USD/BID/%1/%2")
                        .arg(month.year())
                        .arg(month.month());
    expected << thisMonth;
    for (int day = 7; day < 14; ++day)
        expected << QStringLiteral("v1/candles/minute/EUR-USD/BID/2024/5/%1").arg(day);
    expected << today;
    QCOMPARE(m_replay->server().requestTargets(), expected);

    // Trying again asks only for what is in progress: the completed buckets were kept.
    m_replay->server().clearRequests();
    const SourceAnswer warm = fetch(from, kNow, true);
    QCOMPARE(warm.outcome, Outcome::Candles);
    QCOMPARE(m_replay->server().requestTargets(), QStringList({thisMonth, today}));
    QCOMPARE(warm.runs.size(), size_t(2));
    QCOMPARE(warm.runs[0].stepMinutes, 60);
    QCOMPARE(minutesOf(warm, 0), candleTexts(within(aggregated(m_series, 60), from, minutesFrom)));
    QCOMPARE(minutesOf(warm, 0).first().left(16), QStringLiteral("2023-07-04 11:00"));
    QCOMPARE(warm.runs[1].stepMinutes, 1);
    QCOMPARE(minutesOf(warm, 1), candleTexts(within(m_series, minutesFrom, kNow)));

    // The next minute: one request for today.
    m_replay->setNow(kNow + 1);
    m_replay->server().clearRequests();
    const SourceAnswer live = fetch(kNow, kNow + 1);
    QCOMPARE(live.outcome, Outcome::Candles);
    QCOMPARE(minutesOf(live, 0), candleTexts(within(m_series, kNow, kNow + 1)));
    QCOMPARE(m_replay->server().requestTargets(), QStringList({today}));
}

void TestDukascopySource::rangeEdgesInsideAndAcrossDays_data()
{
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("now"); // the fetch asks up to the minute now forming
    QTest::addColumn<QStringList>("targets");

    const QString day = QStringLiteral("v1/candles/minute/EUR-USD/BID/2024/5/%1");
    auto since = [](int dayOfMonth) {
        return QStringLiteral("v1/candles/minute/EUR-USD/BID?from=") +
               ms(gmtMinute(2024, 5, dayOfMonth, 0, 0));
    };
    QTest::newRow("inside today") << gmtMinute(2024, 5, 14, 10, 0) << kNow
                                  << QStringList{since(14)};
    QTest::newRow("from midnight")
        << gmtMinute(2024, 5, 14, 0, 0) << gmtMinute(2024, 5, 14, 0, 30) << QStringList{since(14)};
    // A day that ended less than an hour ago may still be filling in at the source: it is asked
    // for as in progress, and what the answer holds of the next day is left to that day's request.
    QTest::newRow("the last minute of yesterday")
        << gmtMinute(2024, 5, 13, 23, 59) << gmtMinute(2024, 5, 14, 0, 0) << QStringList{since(13)};
    QTest::newRow("just after midnight")
        << gmtMinute(2024, 5, 13, 23, 55) << gmtMinute(2024, 5, 14, 0, 5)
        << QStringList{since(13), since(14)};
    QTest::newRow("across midnight")
        << gmtMinute(2024, 5, 13, 23, 50) << gmtMinute(2024, 5, 14, 1, 30)
        << QStringList{day.arg(13), since(14)};
    QTest::newRow("over a weekend")
        << gmtMinute(2024, 5, 10, 21, 50) << gmtMinute(2024, 5, 13, 2, 0)
        << QStringList{day.arg(10), day.arg(11), day.arg(12), since(13)};
}

void TestDukascopySource::rangeEdgesInsideAndAcrossDays()
{
    QFETCH(qint64, from);
    QFETCH(qint64, now);
    QFETCH(QStringList, targets);
    m_replay->setNow(now);
    const SourceAnswer answer = fetch(from, now);
    QCOMPARE(answer.outcome, Outcome::Candles);
    QCOMPARE(minutesOf(answer, 0), candleTexts(within(m_series, from, now)));
    QCOMPARE(m_replay->server().requestTargets(), targets);
}

void TestDukascopySource::failuresBecomeOutcomes_data()
{
    QTest::addColumn<TestHttpServer::Route>("route");
    QTest::addColumn<int>("count"); // a dropped connection may be tried again by the client
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<qint64>("retryAfter");

    auto route = [](int status, const QByteArray &body,
                    QList<QPair<QByteArray, QByteArray>> headers = {}) {
        TestHttpServer::Route failure;
        failure.status = status;
        failure.body = body;
        failure.contentType = "application/json";
        failure.headers = headers;
        return failure;
    };
    TestHttpServer::Route cut =
        route(200, DukascopyReplay::encode(within(m_series, kNow - 60, kNow), 1, 5));
    cut.behaviour = TestHttpServer::Behaviour::DropMidBody;
    TestHttpServer::Route dropped;
    dropped.behaviour = TestHttpServer::Behaviour::Drop;

    QTest::newRow("429 for two minutes") << route(429, "{}", {{"Retry-After", "120"}}) << 1
                                         << Outcome::RateLimited << "HTTP 429" << qint64(120);
    QTest::newRow("429 until a date") << route(429, "{}",
                                               {{"Date", "Tue, 14 May 2024 10:06:00 GMT"},
                                                {"Retry-After", "Tue, 14 May 2024 10:08:30 GMT"}})
                                      << 1 << Outcome::RateLimited << "HTTP 429" << qint64(150);
    QTest::newRow("429 saying nothing")
        << route(429, "{}") << 1 << Outcome::RateLimited << "HTTP 429" << qint64(30);
    QTest::newRow("503") << route(503, "busy") << 1 << Outcome::Failed << "HTTP 503" << qint64(0);
    QTest::newRow("404") << route(404, "{}") << 1 << Outcome::Failed << "HTTP 404" << qint64(0);
    QTest::newRow("403 from a firewall") << route(403, "<html>Attention Required</html>") << 1
                                         << Outcome::Blocked << "HTTP 403" << qint64(0);
    QTest::newRow("451") << route(451, "") << 1 << Outcome::Blocked << "HTTP 451" << qint64(0);
    QTest::newRow("garbage") << route(200, "\x1f\x8b\x08 binary") << 1 << Outcome::Failed
                             << "unreadable answer" << qint64(0);
    QTest::newRow("a high below the low")
        << route(200,
                 R"({"timestamp":1715680800000,"multiplier":0.00001,"shift":60000,"open":1.0812,)"
                 R"("high":1.0811,"low":1.0812,"close":1.0812,"times":[0],"opens":[0],)"
                 R"("highs":[0],"lows":[0],"closes":[0],"volumes":[1]})")
        << 1 << Outcome::Failed << "unreadable answer" << qint64(0);
    QTest::newRow("cut off mid-answer") << cut << 3 << Outcome::Failed << "" << qint64(0);
    QTest::newRow("connection dropped") << dropped << 3 << Outcome::Failed << "" << qint64(0);
}

void TestDukascopySource::failuresBecomeOutcomes()
{
    QFETCH(TestHttpServer::Route, route);
    QFETCH(int, count);
    QFETCH(Outcome, outcome);
    QFETCH(QString, reason);
    QFETCH(qint64, retryAfter);
    const qint64 from = gmtMinute(2024, 5, 14, 9, 0);
    m_replay->failNext(route, count);
    const SourceAnswer failed = fetch(from, kNow);
    QCOMPARE(failed.outcome, outcome);
    QVERIFY(failed.runs.empty());
    QVERIFY2(failed.reason.contains(reason) && !failed.reason.isEmpty(), qPrintable(failed.reason));
    QCOMPARE(qint64(failed.retryAfter.count()), retryAfter);

    // Nothing of the failed answer is kept: the next fetch asks again and gets the real candles.
    m_replay->clearFailures();
    const SourceAnswer recovered = fetch(from, kNow);
    QCOMPARE(recovered.outcome, Outcome::Candles);
    QCOMPARE(minutesOf(recovered, 0), candleTexts(within(m_series, from, kNow)));
}

void TestDukascopySource::outageIsBackfilledFromKeptDays()
{
    const qint64 from = gmtMinute(2024, 5, 10, 12, 0);
    TestHttpServer::Route down;
    down.status = 503;
    down.body = "Service Unavailable";
    m_replay->answerNext(2); // the 10th and the 11th come, then the service goes down
    m_replay->failNext(down, 3);
    QCOMPARE(fetch(from, kNow).outcome, Outcome::Failed);
    QCOMPARE(fetch(from, kNow).outcome, Outcome::Failed);
    QCOMPARE(fetch(from, kNow).outcome, Outcome::Failed);

    m_replay->server().clearRequests();
    const SourceAnswer back = fetch(from, kNow);
    QCOMPARE(back.outcome, Outcome::Candles);
    QCOMPARE(minutesOf(back, 0), candleTexts(within(m_series, from, kNow)));
    const QString day = QStringLiteral("v1/candles/minute/EUR-USD/BID/2024/5/%1");
    QCOMPARE(m_replay->server().requestTargets(),
             QStringList({day.arg(12), day.arg(13),
                          QStringLiteral("v1/candles/minute/EUR-USD/BID?from=") +
                              ms(gmtMinute(2024, 5, 14, 0, 0))}));
}

void TestDukascopySource::requestsComeInBurstsWithPauses()
{
    const auto pause = 400ms;
    DukascopySource paced(QUrl(m_replay->baseAddress()), *m_http,
                          DukascopySource::Pacing{10, pause});
    const qint64 from = kNow - 14 * kMinutesPerDay;
    const qint64 started = m_replay->server().elapsed();
    const SourceAnswer answer =
        QCoro::waitFor(paced.fetch(QStringLiteral("EUR-USD"), from, kNow, false));
    QCOMPARE(answer.outcome, Outcome::Candles);
    const QList<qint64> moments = m_replay->server().requestMoments();
    QCOMPARE(moments.size(), 15);
    // The eleventh request waits for the pause that follows the first ten.
    QVERIFY2(moments[10] - started >= pause.count(),
             qPrintable(QStringLiteral("%1 ms").arg(moments[10] - started)));
}

void TestDukascopySource::theMinutesOfTodayAreNeverHeldUp()
{
    const auto pause = 2000ms;
    DukascopySource paced(QUrl(m_replay->baseAddress()), *m_http,
                          DukascopySource::Pacing{2, pause});
    // A live minute asks each instrument for today so far: a round of many instruments goes
    // out at once, whatever history went before it.
    QCOMPARE(QCoro::waitFor(paced.fetch(QStringLiteral("EUR-USD"), kNow - 3 * kMinutesPerDay,
                                        kNow - kMinutesPerDay, false))
                 .outcome,
             Outcome::Candles);
    m_replay->server().clearRequests();
    for (int instrument = 0; instrument < 5; ++instrument) {
        const SourceAnswer answer =
            QCoro::waitFor(paced.fetch(QStringLiteral("EUR-USD"), kNow - 5, kNow, false));
        QCOMPARE(minutesOf(answer, 0), candleTexts(within(m_series, kNow - 5, kNow)));
    }
    const QList<qint64> moments = m_replay->server().requestMoments();
    QCOMPARE(moments.size(), 5);
    QVERIFY2(moments.last() - moments.first() < pause.count(),
             qPrintable(QStringLiteral("%1 ms").arg(moments.last() - moments.first())));
}

void TestDukascopySource::codeThatIsNoPathSegmentIsNotAsked()
{
    const SourceAnswer answer =
        QCoro::waitFor(m_source->fetch(QStringLiteral("../EUR-USD"), kNow - 10, kNow, false));
    QCOMPARE(answer.outcome, Outcome::Failed);
    QVERIFY(m_replay->server().requestTargets().isEmpty());
}

QTEST_GUILESS_MAIN(TestDukascopySource)
#include "tst_dukascopysource.moc"
