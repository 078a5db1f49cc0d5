#include "app/appstate.h"
#include "market/serveraccess.h"
#include "news/newsrefresh.h"
#include "testhttpserver.h"

#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTest>

#include <QCoroTask>

namespace {

constexpr char kCalendar[] = "signals/calendar_1.5_eng.xml";
constexpr char kReviews[] = "signals/reviews_eng/list.xml";
constexpr char kNews[] = "signals/news_eng/list.xml";

} // namespace

class TestNewsRefresh final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void fetchesAtRefreshMinutes_data();
    void fetchesAtRefreshMinutes();
    void lastFetchDecidesTheRedraw_data();
    void lastFetchDecidesTheRedraw();
    void timerSkipsTicksWhileFetching();
    void failedDocumentKeepsItsLastText_data();
    void failedDocumentKeepsItsLastText();

private:
    NewsRefresh &makeRefresh(std::chrono::milliseconds interval = std::chrono::seconds(50));

    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::unique_ptr<ServerAccess> m_access;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<NewsRefresh> m_refresh;
    QDateTime m_now;
};

void TestNewsRefresh::init()
{
    m_server = std::make_unique<TestHttpServer>();
    QVERIFY(m_server->start() != 0);
    m_server->serveData(kCalendar, "Jan, 12 14:30;USD;High Volatility Expected;CPI\n");
    m_server->serveData(kReviews, "Jan, 12 10:00;Review one\n");
    m_server->serveData(kNews, "Jan, 12 11:00;News one\n");
    m_network = std::make_unique<QNetworkAccessManager>();
    m_access = std::make_unique<ServerAccess>(*m_network, m_server->baseAddress());
    m_state = std::make_unique<AppState>();
    m_now = QDateTime(QDate(2024, 1, 12), QTime(14, 10));
}

void TestNewsRefresh::cleanup()
{
    m_refresh.reset();
    m_access.reset();
    m_network.reset();
    m_server.reset();
}

NewsRefresh &TestNewsRefresh::makeRefresh(std::chrono::milliseconds interval)
{
    m_refresh = std::make_unique<NewsRefresh>(*m_access, *m_state, Clock([this] { return m_now; }),
                                              interval);
    return *m_refresh;
}

void TestNewsRefresh::fetchesAtRefreshMinutes_data()
{
    QTest::addColumn<int>("minute");
    QTest::addColumn<bool>("fetched");
    QTest::newRow("minute 0") << 0 << true;
    QTest::newRow("minute 10") << 10 << true;
    QTest::newRow("minute 5") << 5 << false;
}

void TestNewsRefresh::fetchesAtRefreshMinutes()
{
    QFETCH(int, minute);
    QFETCH(bool, fetched);
    m_now.setTime(QTime(14, minute, 30));
    NewsRefresh &refresh = makeRefresh();
    QSignalSpy refreshed(&refresh, &NewsRefresh::refreshed);
    QCoro::waitFor(refresh.refresh());

    if (!fetched) {
        QVERIFY(m_server->requests().isEmpty());
        QVERIFY(m_state->calendarData().isEmpty());
        QCOMPARE(refreshed.size(), 0);
        return;
    }
    QCOMPARE(m_server->requests(), QStringList({kCalendar, kReviews, kNews}));
    QCOMPARE(m_state->calendarData(),
             QStringLiteral("Jan, 12 14:30;USD;High Volatility Expected;CPI\n"));
    QCOMPARE(m_state->reviewsData(), QStringLiteral("Jan, 12 10:00;Review one\n"));
    QCOMPARE(m_state->feedData(), QStringLiteral("Jan, 12 11:00;News one\n"));
    QCOMPARE(refreshed.size(), 1);

    // A second tick in the same minute fetches again.
    QCoro::waitFor(refresh.refresh());
    QCOMPARE(m_server->requests().size(), 6);
    QCOMPARE(refreshed.size(), 2);
}

void TestNewsRefresh::lastFetchDecidesTheRedraw_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<bool>("redraw");
    QTest::newRow("news list fails") << kNews << false;
    QTest::newRow("calendar fails, news list loads") << kCalendar << true;
}

void TestNewsRefresh::lastFetchDecidesTheRedraw()
{
    QFETCH(QString, failing);
    QFETCH(bool, redraw);
    m_server->serve(failing, "server error", 500);
    NewsRefresh &refresh = makeRefresh();
    QSignalSpy refreshed(&refresh, &NewsRefresh::refreshed);
    QCoro::waitFor(refresh.refresh());
    QCOMPARE(m_server->requests(), QStringList({kCalendar, kReviews, kNews}));
    QCOMPARE(refreshed.size(), redraw ? 1 : 0);
    QCOMPARE(m_access->errconnect(), redraw ? QStringLiteral("0") : QStringLiteral("1"));
}

void TestNewsRefresh::timerSkipsTicksWhileFetching()
{
    m_server->setDefaultDelay(std::chrono::milliseconds(120));
    NewsRefresh &refresh = makeRefresh(std::chrono::milliseconds(10));
    QCOMPARE(refresh.timer().objectName(), QStringLiteral("Timer4"));
    QVERIFY(!refresh.timer().isActive());
    QSignalSpy refreshed(&refresh, &NewsRefresh::refreshed);
    refresh.start();
    QCOMPARE(refresh.timer().interval(), 10);
    QTRY_VERIFY_WITH_TIMEOUT(refreshed.size() >= 2, 10000);
    refresh.timer().stop();
    // Dozens of ticks came while the documents were on their way; none started a second fetch.
    QCOMPARE(m_server->maxInFlight(), 1);
    QVERIFY(m_server->requestCount(kCalendar) >= 2);
}

void TestNewsRefresh::failedDocumentKeepsItsLastText_data()
{
    QTest::addColumn<QString>("failing");
    QTest::newRow("calendar") << kCalendar;
    QTest::newRow("review list") << kReviews;
    QTest::newRow("news list") << kNews;
}

void TestNewsRefresh::failedDocumentKeepsItsLastText()
{
    QFETCH(QString, failing);
    NewsRefresh &refresh = makeRefresh();
    QCoro::waitFor(refresh.refresh());
    const QStringList before{m_state->calendarData(), m_state->reviewsData(), m_state->feedData()};

    // Ten minutes later every document has news, but one of them cannot be fetched.
    m_now = m_now.addSecs(600);
    m_server->serveData(kCalendar, "Jan, 12 15:00;EUR;Low Volatility Expected;Later\n");
    m_server->serveData(kReviews, "Jan, 12 14:00;Review two\n");
    m_server->serveData(kNews, "Jan, 12 14:15;News two\n");
    m_server->serve(failing, "server error", 500);
    QCoro::waitFor(refresh.refresh());

    const QStringList after{m_state->calendarData(), m_state->reviewsData(), m_state->feedData()};
    const QStringList fresh{"Jan, 12 15:00;EUR;Low Volatility Expected;Later\n",
                            "Jan, 12 14:00;Review two\n", "Jan, 12 14:15;News two\n"};
    const QStringList paths{kCalendar, kReviews, kNews};
    for (int document = 0; document < 3; ++document)
        QCOMPARE(after.at(document),
                 paths.at(document) == failing ? before.at(document) : fresh.at(document));
}

QTEST_GUILESS_MAIN(TestNewsRefresh)
#include "tst_newsrefresh.moc"
