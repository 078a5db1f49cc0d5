#include "candletexts.h"
#include "market/timeframe.h"
#include "oandareplay.h"
#include "replaymarket.h"
#include "serverfixtures.h"
#include "sources/oandacandles.h"
#include "sources/oandasource.h"
#include "sources/sourcehttp.h"

#include <QNetworkAccessManager>
#include <QTest>
#include <QUrlQuery>

#include <QCoroTask>

#include <memory>

using namespace std::chrono_literals;
using Outcome = SourceAnswer::Outcome;

Q_DECLARE_METATYPE(SourceAnswer::Outcome)

namespace {

const QString kToken = QStringLiteral("c0ffee12-practice-token-99aa");
// Tuesday, 14 May 2024, 10:06 GMT
const qint64 kNow = gmtMinute(2024, 5, 14, 10, 6);

QByteArray candle(const char *time, const char *o, const char *h, const char *l, const char *c,
                  bool complete = true)
{
    return QByteArray(R"({"complete":)") + (complete ? "true" : "false") +
           R"(,"volume":12,"time":")" + time + R"(","mid":{"o":")" + o + R"(","h":")" + h +
           R"(","l":")" + l + R"(","c":")" + c + R"("}})";
}

QByteArray answerOf(const QList<QByteArray> &candles)
{
    return R"({"instrument":"EUR_USD","granularity":"M1","candles":[)" + candles.join(',') + "]}";
}

} // namespace

// OANDA's v20 candles: the answer's forms, the warm-up in coarser granularities, pages of 5000,
// complete candles only, and a token that never shows in what the source reports.
class TestOandaSource final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void readsCompleteCandles_data();
    void readsCompleteCandles();
    void refusesAnswersThatDoNotAddUp_data();
    void refusesAnswersThatDoNotAddUp();
    void warmsUpCoarseThenFollowsMinutes();
    void pagesAndEdges_data();
    void pagesAndEdges();
    void failuresNeverShowTheToken_data();
    void failuresNeverShowTheToken();
    void withoutTokenOrInstrumentNothingIsAsked();

private:
    SourceAnswer fetch(qint64 from, qint64 to, bool warmUp = false)
    {
        return QCoro::waitFor(m_source->fetch(QStringLiteral("EUR_USD"), from, to, warmUp));
    }
    QStringList granularities() const;

    std::vector<Candle> m_series;
    std::unique_ptr<OandaReplay> m_replay;
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::unique_ptr<SourceHttp> m_http;
    std::unique_ptr<OandaSource> m_source;
};

void TestOandaSource::init()
{
    m_series = replayMinutes(kNow - 330 * kMinutesPerDay, kNow + 1, 1.0812, 5);
    m_replay = std::make_unique<OandaReplay>(kToken);
    m_replay->setCandles(QStringLiteral("EUR_USD"), m_series, 5);
    m_replay->setNow(kNow);
    m_network = std::make_unique<QNetworkAccessManager>();
    m_http = std::make_unique<SourceHttp>(*m_network, 5000ms);
    m_source = std::make_unique<OandaSource>(QUrl(m_replay->baseAddress()), *m_http, kToken);
}

QStringList TestOandaSource::granularities() const
{
    QStringList seen;
    for (const QString &target : m_replay->server().requestTargets())
        seen << QUrlQuery(target.section(QLatin1Char('?'), 1))
                    .queryItemValue(QStringLiteral("granularity"));
    return seen;
}

void TestOandaSource::readsCompleteCandles_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("step");
    QTest::addColumn<QStringList>("candles");

    const QString first = QStringLiteral("2024-05-14 10:05 1.0812 1.0813 1.0811 1.08125");
    QTest::newRow("RFC 3339 with nanoseconds")
        << answerOf({candle("2024-05-14T10:05:00.000000000Z", "1.08120", "1.08130", "1.08110",
                            "1.08125"),
                     candle("2024-05-14T10:06:00.000000000Z", "1.08125", "1.08140", "1.08120",
                            "1.08130", false)})
        << 1 << QStringList{first};
    QTest::newRow("UNIX seconds") << answerOf({candle("1715681100.000000000", "1.08120", "1.08130",
                                                      "1.08110", "1.08125")})
                                  << 1 << QStringList{first};
    QTest::newRow("a zone offset")
        << answerOf(
               {candle("2024-05-14T12:05:00+02:00", "1.08120", "1.08130", "1.08110", "1.08125")})
        << 1 << QStringList{first};
    QTest::newRow("hours of gold")
        << answerOf(
               {candle("2024-05-14T08:00:00.000000000Z", "2331.205", "2340.5", "2330", "2339.875"),
                candle("2024-05-14T09:00:00.000000000Z", "2339.875", "2341", "2335.25", "2336")})
        << 60
        << QStringList{"2024-05-14 08:00 2331.205 2340.5 2330 2339.875",
                       "2024-05-14 09:00 2339.875 2341 2335.25 2336"};
    QTest::newRow("nothing complete yet")
        << answerOf({candle("2024-05-14T10:06:00.000000000Z", "1.08125", "1.08140", "1.08120",
                            "1.08130", false)})
        << 1 << QStringList{};
}

void TestOandaSource::readsCompleteCandles()
{
    QFETCH(QByteArray, body);
    QFETCH(int, step);
    QFETCH(QStringList, candles);
    const ParsedCandles parsed = parseOandaCandles(body, step);
    QCOMPARE(parsed.error, QString());
    QCOMPARE(candleTexts(parsed.candles), candles);
}

void TestOandaSource::refusesAnswersThatDoNotAddUp_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("step");

    auto one = [](const char *time, const char *o = "1.08120", const char *h = "1.08130",
                  const char *l = "1.08110",
                  const char *c = "1.08125") { return answerOf({candle(time, o, h, l, c)}); };
    const char *minute = "2024-05-14T10:05:00.000000000Z";
    QTest::newRow("an HTML page") << QByteArray("<html>maintenance</html>") << 1;
    QTest::newRow("cut short") << one(minute).left(60) << 1;
    QTest::newRow("no candles") << QByteArray(R"({"instrument":"EUR_USD"})") << 1;
    QTest::newRow("no complete flag")
        << QByteArray(
               R"({"candles":[{"time":"2024-05-14T10:05:00Z","mid":{"o":"1","h":"1","l":"1","c":"1"}}]})")
        << 1;
    QTest::newRow("no mid prices")
        << QByteArray(
               R"({"candles":[{"complete":true,"time":"2024-05-14T10:05:00Z","bid":{"o":"1"}}]})")
        << 1;
    QTest::newRow("half a minute") << one("2024-05-14T10:05:30.000000000Z") << 1;
    QTest::newRow("a fraction of a second") << one("2024-05-14T10:05:00.500000000Z") << 1;
    QTest::newRow("a minute off the quarter") << one(minute) << 15;
    QTest::newRow("no time") << one("") << 1;
    QTest::newRow("a price of letters") << one(minute, "1.08120", "abc") << 1;
    QTest::newRow("a negative price") << one(minute, "1.08120", "1.08130", "-1.08110") << 1;
    QTest::newRow("a high below the low")
        << one(minute, "1.08120", "1.08100", "1.08110", "1.08105") << 1;
    QTest::newRow("a price as a number")
        << QByteArray(
               R"({"candles":[{"complete":true,"time":"2024-05-14T10:05:00Z","mid":{"o":1.1,"h":1.1,"l":1.1,"c":1.1}}]})")
        << 1;
    QTest::newRow("out of order")
        << answerOf({candle("2024-05-14T10:05:00Z", "1.1", "1.1", "1.1", "1.1"),
                     candle("2024-05-14T10:04:00Z", "1.1", "1.1", "1.1", "1.1")})
        << 1;
}

void TestOandaSource::refusesAnswersThatDoNotAddUp()
{
    QFETCH(QByteArray, body);
    QFETCH(int, step);
    const ParsedCandles parsed = parseOandaCandles(body, step);
    QVERIFY(!parsed.error.isEmpty());
    QVERIFY(parsed.candles.empty());
}

void TestOandaSource::warmsUpCoarseThenFollowsMinutes()
{
    QCOMPARE(m_source->describe(QStringLiteral("XAU_USD")), QStringLiteral("oanda XAU_USD (mid)"));
    const qint64 from = kNow - 315 * kMinutesPerDay; // 4 July 2023, 10:06
    const qint64 quarters = gmtMinute(2024, 4, 24, 0, 0);
    const qint64 minutes = gmtMinute(2024, 5, 10, 0, 0);
    const SourceAnswer warm = fetch(from, kNow, true);
    QCOMPARE(warm.outcome, Outcome::Candles);
    QCOMPARE(warm.runs.size(), size_t(3));
    QCOMPARE(warm.runs[0].stepMinutes, 60);
    QCOMPARE(candleTexts(warm.runs[0].candles),
             candleTexts(within(aggregated(m_series, 60), from, quarters)));
    QCOMPARE(warm.runs[1].stepMinutes, 15);
    QCOMPARE(candleTexts(warm.runs[1].candles),
             candleTexts(within(aggregated(m_series, 15), quarters, minutes)));
    QCOMPARE(warm.runs[2].stepMinutes, 1);
    QCOMPARE(candleTexts(warm.runs[2].candles), candleTexts(within(m_series, minutes, kNow)));
    // 7069 hours in two pages, 1536 quarters in one, 6366 minutes in two; each with the token.
    QCOMPARE(granularities(), QStringList({"H1", "H1", "M15", "M1", "M1"}));
    for (const QByteArray &authorization : m_replay->authorizations())
        QCOMPARE(authorization, "Bearer " + kToken.toUtf8());

    m_replay->setNow(kNow + 1);
    m_replay->server().clearRequests();
    const SourceAnswer live = fetch(kNow, kNow + 1);
    QCOMPARE(live.outcome, Outcome::Candles);
    QCOMPARE(candleTexts(live.runs.at(0).candles), candleTexts(within(m_series, kNow, kNow + 1)));
    QCOMPARE(granularities(), QStringList({"M1"}));
}

void TestOandaSource::pagesAndEdges_data()
{
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    QTest::addColumn<qint64>("incompleteFrom");
    QTest::addColumn<bool>("unixTimes");
    QTest::addColumn<int>("requests");
    QTest::addColumn<qint64>("expectedTo"); // the complete candles end here

    const qint64 never = std::numeric_limits<qint64>::max();
    QTest::newRow("the minutes just closed") << kNow - 3 << kNow << never << false << 1 << kNow;
    // The service includes the candle at `to`: it belongs to the next fetch.
    QTest::newRow("the candle at the end")
        << kNow - 30 << kNow - 10 << never << false << 1 << kNow - 10;
    QTest::newRow("the last candle not yet complete")
        << kNow - 30 << kNow << kNow - 2 << false << 1 << kNow - 2;
    QTest::newRow("7000 minutes in two pages")
        << kNow - 7000 << kNow << never << false << 2 << kNow;
    QTest::newRow("exactly one page") << kNow - 5000 << kNow << never << false << 1 << kNow;
    QTest::newRow("times as UNIX seconds") << kNow - 7000 << kNow << never << true << 2 << kNow;
    // A clock here a few seconds ahead of the service's, past the minute it has not reached
    // yet: asking up to that minute would name a time in the future, which it refuses.
    QTest::newRow("a clock ahead of the service's")
        << kNow - 30 << kNow + 1 << never << false << 1 << kNow;
    QTest::newRow("ahead, after a long stop")
        << kNow - 7000 << kNow + 1 << never << false << 2 << kNow;
}

void TestOandaSource::pagesAndEdges()
{
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    QFETCH(qint64, incompleteFrom);
    QFETCH(bool, unixTimes);
    QFETCH(int, requests);
    QFETCH(qint64, expectedTo);
    m_replay->setIncompleteFrom(incompleteFrom);
    m_replay->setUnixTimes(unixTimes);
    const SourceAnswer answer = fetch(from, to);
    QCOMPARE(answer.outcome, Outcome::Candles);
    QCOMPARE(candleTexts(answer.runs.at(0).candles),
             candleTexts(within(m_series, from, expectedTo)));
    QCOMPARE(m_replay->server().requestTargets().size(), requests);
}

void TestOandaSource::failuresNeverShowTheToken_data()
{
    QTest::addColumn<TestHttpServer::Route>("route");
    QTest::addColumn<int>("count"); // a dropped connection may be tried again by the client
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<qint64>("retryAfter");

    TestHttpServer::Route limited = OandaReplay::error(429, QStringLiteral("Rate limit violation"));
    limited.headers = {{"Retry-After", "7"}};
    TestHttpServer::Route garbage;
    garbage.body = "{\"candles\": [{\"complete\": true, \"time\": ";
    garbage.contentType = "application/json";
    TestHttpServer::Route dropped;
    dropped.behaviour = TestHttpServer::Behaviour::Drop;
    TestHttpServer::Route cut = garbage;
    cut.body = answerOf({candle("2024-05-14T10:05:00Z", "1.1", "1.1", "1.1", "1.1")});
    cut.behaviour = TestHttpServer::Behaviour::DropMidBody;

    QTest::newRow("401") << OandaReplay::error(
                                401,
                                QStringLiteral("Insufficient authorization to perform request."))
                         << 1 << Outcome::Blocked << "token is refused (HTTP 401)" << qint64(0);
    QTest::newRow("403") << OandaReplay::error(403, QStringLiteral("Forbidden")) << 1
                         << Outcome::Blocked << "token is refused (HTTP 403)" << qint64(0);
    QTest::newRow("429") << limited << 1 << Outcome::RateLimited << "HTTP 429" << qint64(7);
    // An error message that repeats the request's header must not carry the token further.
    QTest::newRow("400 quoting the header")
        << OandaReplay::error(
               400, QStringLiteral("Invalid header 'Authorization: Bearer %1'").arg(kToken))
        << 1 << Outcome::Failed << "HTTP 400: Invalid header" << qint64(0);
    QTest::newRow("503") << OandaReplay::error(503, QStringLiteral("Service unavailable")) << 1
                         << Outcome::Failed << "HTTP 503" << qint64(0);
    QTest::newRow("truncated") << garbage << 1 << Outcome::Failed << "unreadable answer"
                               << qint64(0);
    QTest::newRow("cut off mid-answer") << cut << 3 << Outcome::Failed << "" << qint64(0);
    QTest::newRow("connection dropped") << dropped << 3 << Outcome::Failed << "" << qint64(0);
}

void TestOandaSource::failuresNeverShowTheToken()
{
    QFETCH(TestHttpServer::Route, route);
    QFETCH(int, count);
    QFETCH(Outcome, outcome);
    QFETCH(QString, reason);
    QFETCH(qint64, retryAfter);
    m_replay->failNext(route, count);
    const SourceAnswer failed = fetch(kNow - 10, kNow);
    QCOMPARE(failed.outcome, outcome);
    QVERIFY(failed.runs.empty());
    QVERIFY2(failed.reason.contains(reason) && !failed.reason.isEmpty(), qPrintable(failed.reason));
    QVERIFY(!failed.reason.contains(kToken));
    QVERIFY(!failed.reason.contains(kToken.left(8)));
    QCOMPARE(qint64(failed.retryAfter.count()), retryAfter);

    m_replay->clearFailures();
    const SourceAnswer recovered = fetch(kNow - 10, kNow);
    QCOMPARE(recovered.outcome, Outcome::Candles);
    QCOMPARE(candleTexts(recovered.runs.at(0).candles),
             candleTexts(within(m_series, kNow - 10, kNow)));
}

void TestOandaSource::withoutTokenOrInstrumentNothingIsAsked()
{
    OandaSource tokenless(QUrl(m_replay->baseAddress()), *m_http, QStringLiteral("  "));
    const SourceAnswer noToken =
        QCoro::waitFor(tokenless.fetch(QStringLiteral("EUR_USD"), kNow - 10, kNow, false));
    QCOMPARE(noToken.outcome, Outcome::Blocked);
    QVERIFY(noToken.reason.contains(QStringLiteral("oanda-token")));
    const SourceAnswer badName =
        QCoro::waitFor(m_source->fetch(QStringLiteral("EUR/USD?x="), kNow - 10, kNow, false));
    QCOMPARE(badName.outcome, Outcome::Failed);
    QVERIFY(m_replay->server().requestTargets().isEmpty());
}

QTEST_GUILESS_MAIN(TestOandaSource)
#include "tst_oandasource.moc"
