#include "app/application.h"
#include "app/settingsstore.h"
#include "news/newspanel.h"
#include "testhttpserver.h"
#include "ui/mainwindow.h"

#include <QComboBox>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <QCoroTask>

namespace {

constexpr char kCalendar[] = "signals/calendar_1.5_eng.xml";
constexpr char kReviews[] = "signals/reviews_eng/list.xml";
constexpr char kNews[] = "signals/news_eng/list.xml";

QString calendarOf(int events)
{
    QString text;
    for (int hour = 0; hour < events; ++hour)
        text += QStringLiteral("Jan, 12 %1:00;USD;%2 Volatility Expected;Event %1\n")
                    .arg(hour)
                    .arg(hour % 2 == 0 ? QStringLiteral("High") : QStringLiteral("Low"));
    return text;
}

} // namespace

// The news panel within the program: its start-up steps and its refresh.
class TestNewsStartup final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void startUpDrawsTheCalendarWithTheStoredFilters();
    void refreshRedrawsUnlessTheLastFetchFailed();
    void timer4RefreshesOnItsOwn();

private:
    std::unique_ptr<Application> makeApplication(Timings timings = {});
    template<typename T>
    T *find(Application &app, const char *name)
    {
        return app.window().findChild<T *>(QLatin1String(name));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestHttpServer> m_server;
    QString m_iniPath;
    QDateTime m_now;
};

void TestNewsStartup::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestNewsStartup::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_iniPath = m_dir->filePath(QStringLiteral("quentara.ini"));
    m_server = std::make_unique<TestHttpServer>();
    QVERIFY(m_server->start() != 0);
    m_server->serveData(kCalendar, calendarOf(20));
    m_server->serveData(kReviews, "Jan, 12 10:00;Review one\n");
    m_server->serveData(kNews, "Jan, 12 11:00;News one\nJan, 12 11:30;News two\n");
    m_now = QDateTime(QDate(2024, 1, 12), QTime(9, 30), QTimeZone::utc());
}

std::unique_ptr<Application> TestNewsStartup::makeApplication(Timings timings)
{
    Application::Options options;
    options.commandLine.serverAddress = m_server->baseAddress();
    options.commandLine.settingsFile = m_iniPath;
    options.clock = Clock([this] { return m_now; });
    options.timings = timings;
    return std::make_unique<Application>(options);
}

void TestNewsStartup::startUpDrawsTheCalendarWithTheStoredFilters()
{
    {
        SettingsStore store(m_iniPath);
        store.writeText("GMT", QStringLiteral("12"));
        store.writeText("NewsImp", QStringLiteral("0"));
    }
    auto app = makeApplication();
    QVERIFY(QCoro::waitFor(app->startUp()));

    QCOMPARE(find<QComboBox>(*app, "Combo1")->currentText(), QStringLiteral("GMT 0"));
    QCOMPARE(find<QComboBox>(*app, "Combo2")->currentText(), QStringLiteral("All"));
    auto *calendar = find<QTableWidget>(*app, "newsgrid");
    QCOMPARE(calendar->rowCount(), 20);
    QCOMPARE(calendar->item(0, 0)->text(), QStringLiteral("12 Jan 00:00"));
    QCOMPARE(calendar->item(1, 2)->text(), QStringLiteral("■"));
    QVERIFY(find<QWidget>(*app, "Picture39")->isHidden());
    // Drawn before the window came up: the list opens at the last past event (09:00).
    QTRY_COMPARE(calendar->rowAt(0), 9);

    QCOMPARE(app->newsPanel().activeTab(), NewsPanel::Tab::Calendar);
    QCOMPARE(find<QWidget>(*app, "Picture36")->palette().color(QPalette::Window),
             QColor(0x29, 0x8F, 0xCC));
    QCOMPARE(find<QLabel>(*app, "Label28")->text(), QStringLiteral("Events of the current week"));
    QVERIFY(calendar->isVisible());
    QVERIFY(!find<QWidget>(*app, "nrgrid")->isVisible());
    const SettingsStore stored(m_iniPath);
    QCOMPARE(stored.readText("GMT"), QStringLiteral("12"));
    QCOMPARE(stored.readText("NewsImp"), QStringLiteral("0"));

    QVERIFY(app->newsRefresh().timer().isActive());
    QCOMPARE(app->newsRefresh().timer().interval(), 50000);
}

void TestNewsStartup::refreshRedrawsUnlessTheLastFetchFailed()
{
    m_now.setTime(QTime(10, 10, 20));
    auto app = makeApplication();
    QVERIFY(QCoro::waitFor(app->startUp()));
    auto *calendar = find<QTableWidget>(*app, "newsgrid");
    QCOMPARE(calendar->rowCount(), 10); // the high ones of twenty

    m_server->serveData(kCalendar, calendarOf(6));
    m_server->clearRequests();
    QCoro::waitFor(app->newsRefresh().refresh());
    QCOMPARE(m_server->requests(), QStringList({kCalendar, kReviews, kNews}));
    QCOMPARE(calendar->rowCount(), 3);

    // The last fetch fails: the grid keeps what it shows.
    m_server->serveData(kCalendar, calendarOf(2));
    m_server->serve(kNews, "server error", 500);
    QCoro::waitFor(app->newsRefresh().refresh());
    QCOMPARE(app->state().calendarData(), calendarOf(2));
    QCOMPARE(calendar->rowCount(), 3);

    // Five minutes later nothing is fetched.
    m_now.setTime(QTime(10, 15));
    m_server->clearRequests();
    QCoro::waitFor(app->newsRefresh().refresh());
    QVERIFY(m_server->requests().isEmpty());
}

void TestNewsStartup::timer4RefreshesOnItsOwn()
{
    m_now.setTime(QTime(10, 0));
    Timings timings;
    timings.refresh = std::chrono::milliseconds(30);
    auto app = makeApplication(timings);
    QVERIFY(QCoro::waitFor(app->startUp()));
    app->newsPanel().chooseTab(NewsPanel::Tab::Feed);
    auto *list = find<QTableWidget>(*app, "nrgrid");
    QCOMPARE(list->rowCount(), 2);

    m_server->serveData(kNews, "Jan, 12 12:00;News three\nJan, 12 11:00;News one\n"
                               "Jan, 12 11:30;News two\n");
    QTRY_COMPARE(list->rowCount(), 3);
    QCOMPARE(list->item(0, 1)->text(), QStringLiteral("News three"));
}

QTEST_MAIN(TestNewsStartup)
#include "tst_newsstartup.moc"
