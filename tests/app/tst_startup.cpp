#include "app/application.h"
#include "app/settingskeys.h"
#include "app/traymenu.h"
#include "app/trayowner.h"
#include "testhttpserver.h"
#include "ui/glyphlabel.h"
#include "ui/mainwindow.h"
#include "ui/navigator.h"
#include "ui/twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <QCoroTask>

#include <csignal>

namespace {

QList<QMessageBox *> messageBoxes()
{
    QList<QMessageBox *> boxes;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            boxes << box;
    }
    return boxes;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class TestStartup final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void firstRunSwitchesOnTheFirstRunSet();
    void laterRunsRestoreStoredFlags();
    void everythingSwitchedOffStaysOff();
    void storedSelection_data();
    void storedSelection();
    void storedLayout_data();
    void storedLayout();
    void splashStaysForItsTime();
    void reselectionFetchesOnlyMissingOrHtmlRecords();
    void documentsAreFetchedAndKept();
    void noticeIsShownAsPlainTextOnce();
    void rejectedNoticeIsNotShown();
    void unreachableServerStillStarts();
    void secondCopyIsRefused();
    void exportFoldersAreCleanedAtStartAndEnd();
    void everyWayOutSavesOnce_data();
    void everyWayOutSavesOnce();
    void cancelledSessionEndStillSavesAtExit();

private:
    std::unique_ptr<Application>
    makeApplication(const QString &server = {},
                    std::chrono::milliseconds splash = std::chrono::milliseconds(5));
    bool start(Application &app) { return QCoro::waitFor(app.startUp()); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestHttpServer> m_server;
    QString m_iniPath;
};

void TestStartup::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_iniPath = m_dir->filePath(QStringLiteral("quentara.ini"));
    m_server = std::make_unique<TestHttpServer>();
    QVERIFY(m_server->start() != 0);
}

void TestStartup::cleanup()
{
    for (QMessageBox *box : messageBoxes())
        box->close();
}

std::unique_ptr<Application> TestStartup::makeApplication(const QString &server,
                                                          std::chrono::milliseconds splash)
{
    Application::Options options;
    options.commandLine.serverAddress = server.isEmpty() ? m_server->baseAddress() : server;
    options.commandLine.settingsFile = m_iniPath;
    options.timings.splash = splash;
    return std::make_unique<Application>(options);
}

void TestStartup::firstRunSwitchesOnTheFirstRunSet()
{
    auto app = makeApplication();
    QVERIFY(start(*app));
    const QList<int> firstRun = catalogue::firstRunSet();
    QCOMPARE(firstRun.size(), 30);
    for (int i = 0; i < catalogue::kSlotCount; ++i)
        QCOMPARE(app->state().isEnabled(i), firstRun.contains(i));
    QCOMPARE(app->state().selectedIndex(), 0);
    QCOMPARE(app->window().navigator().expandedGroup(), int(catalogue::Currencies));
    QVERIFY(app->window().findChild<QWidget *>("el_sel_0")->isVisible());
    QVERIFY(app->window().findChild<QWidget *>("el_62")->isHidden());
    QVERIFY(app->window().isVisible());
    QVERIFY(!app->window().windowIcon().isNull());
    // The notification area shows the window's own icon.
    QCOMPARE(app->tray().icon()->icon().pixmap(16).toImage(),
             app->window().windowIcon().pixmap(16).toImage());
    QCOMPARE(app->window().objectName(), QStringLiteral("Form1"));
    QCOMPARE(app->window().windowTitle(), QStringLiteral("Quentara   "));

    SettingsStore stored(m_iniPath);
    for (int i = 0; i < catalogue::kSlotCount; ++i)
        QCOMPARE(stored.read("InstrumentsChecked", QString::number(i)),
                 firstRun.contains(i) ? QStringLiteral("1") : QString());
}

void TestStartup::laterRunsRestoreStoredFlags()
{
    {
        SettingsStore store(m_iniPath);
        for (int i = 0; i < catalogue::kSlotCount; ++i)
            store.writeEnabled(i, false);
        store.write("InstrumentsChecked", "1", "1");        // left from a first run
        store.write("InstrumentsChecked", "14", "&HC000&"); // switched on later
        store.write("InstrumentsChecked", "62",
                    "&HC000&"); // the reserved slot is stored like the rest
        store.write("InstrumentsChecked", "20", "garbage");
    }
    auto app = makeApplication();
    QVERIFY(start(*app));
    for (int i = 0; i < catalogue::kSlotCount; ++i)
        QCOMPARE(app->state().isEnabled(i), i == 1 || i == 14 || i == 62);

    app->state().setEnabled(1, false);
    app->state().setSelectedIndex(14);
    app->exitProgram();
    SettingsStore stored(m_iniPath);
    QCOMPARE(stored.read("InstrumentsChecked", "1"), QStringLiteral("&HFFFFFF"));
    QCOMPARE(stored.read("InstrumentsChecked", "14"), QStringLiteral("&HC000&"));
    QCOMPARE(stored.read("InstrumentsChecked", "20"), QStringLiteral("&HFFFFFF"));
    QCOMPARE(stored.read("Settings", "InstrumentsSelected"), QStringLiteral("14"));
    QCOMPARE(stored.read("Settings", "CompactMode"), QStringLiteral("0"));
}

void TestStartup::everythingSwitchedOffStaysOff()
{
    {
        auto app = makeApplication();
        QVERIFY(start(*app));
        for (int i = 0; i < catalogue::kSlotCount; ++i)
            app->state().setEnabled(i, false);
        app->exitProgram();
    }
    auto app = makeApplication();
    QVERIFY(start(*app));
    for (int i = 0; i < catalogue::kSlotCount; ++i)
        QVERIFY(!app->state().isEnabled(i));
}

void TestStartup::storedSelection_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("group");
    QTest::newRow("dollar index") << "60" << 60 << int(catalogue::Indices);
    QTest::newRow("euro index") << "61" << 61 << int(catalogue::Indices);
    QTest::newRow("natural gas") << "45" << 45 << int(catalogue::Commodities);
    QTest::newRow("shiba inu") << "42" << 42 << int(catalogue::Cryptocurrencies);
    QTest::newRow("google") << "59" << 59 << int(catalogue::Stocks);
    QTest::newRow("empty") << "" << 0 << int(catalogue::Currencies);
    QTest::newRow("reserved slot") << "62" << 0 << int(catalogue::Currencies);
    QTest::newRow("not a number") << "EUR/USD" << 0 << int(catalogue::Currencies);
}

void TestStartup::storedSelection()
{
    QFETCH(QString, stored);
    QFETCH(int, selected);
    QFETCH(int, group);
    SettingsStore(m_iniPath).writeText(settingskeys::kInstrumentsSelected, stored);
    auto app = makeApplication();
    QVERIFY(start(*app));
    QCOMPARE(app->state().selectedIndex(), selected);
    QCOMPARE(app->window().navigator().expandedGroup(), group);
    QWidget *row = app->window().findChild<QWidget *>(QStringLiteral("el_%1").arg(selected));
    QVERIFY(row->isVisible());
    QCOMPARE(row->y(), twips::toPixels(navigatorrules::rowTop(selected)));
    // The selected row has the keyboard focus once the window is active, so the keys move the
    // selection at once.
    app->window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&app->window()));
    QCOMPARE(QApplication::focusWidget(), row);
}

void TestStartup::storedLayout_data()
{
    QTest::addColumn<QString>("compactMode");
    QTest::addColumn<QString>("split");
    QTest::addColumn<bool>("compact");
    QTest::addColumn<bool>("folded");
    QTest::addColumn<QSize>("size");
    QTest::newRow("full") << "0"
                          << "0" << false << false << QSize(16245, 10740);
    QTest::newRow("folded") << "0"
                            << "1" << false << true << QSize(13535, 10740);
    QTest::newRow("compact") << "1"
                             << "0" << true << false << QSize(13495, 4515);
    // The fold waits in store while compact and the compact positions stay as they are.
    QTest::newRow("compact with split") << "1"
                                        << "1" << true << true << QSize(13495, 4515);
    QTest::newRow("unknown values") << "yes"
                                    << "" << false << false << QSize(16245, 10740);
}

void TestStartup::storedLayout()
{
    QFETCH(QString, compactMode);
    QFETCH(QString, split);
    QFETCH(bool, compact);
    QFETCH(bool, folded);
    QFETCH(QSize, size);
    {
        SettingsStore store(m_iniPath);
        store.writeText(settingskeys::kCompactMode, compactMode);
        store.writeText(settingskeys::kSplit, split);
    }
    auto app = makeApplication();
    QVERIFY(start(*app));
    MainWindow &window = app->window();
    // Starting compact is the layout switch's work: back in the full layout its positions hold.
    QCOMPARE(window.layoutState(), (windowlayout::State{compact, folded, compact}));
    QCOMPARE(window.size(), twips::size(size.width(), size.height()));
    QCOMPARE(window.findChild<GlyphLabel *>("splitter")->text(),
             folded ? QStringLiteral("4") : QStringLiteral("3"));
    const int aboutLeft = compact ? 10030 : 13320 - (folded ? 2720 : 0);
    QCOMPARE(window.findChild<QWidget *>("Label29")->pos(), twips::point(aboutLeft, 210));
    QCOMPARE(window.findChild<QWidget *>("Picture4")->isVisible(), !compact && !folded);

    // Back from compact the navigator shows, unfolded; the next start finds what was left.
    if (!compact)
        window.switchLayout();
    window.switchLayout();
    QVERIFY(window.findChild<QWidget *>("Picture4")->isVisible());
    QCOMPARE(window.splitterCaption(), QStringLiteral("3"));
    window.switchLayout();
    app->exitProgram();
    SettingsStore stored(m_iniPath);
    QCOMPARE(stored.readText(settingskeys::kCompactMode), QStringLiteral("1"));
    QCOMPARE(stored.readText(settingskeys::kSplit), QStringLiteral("0"));
}

void TestStartup::splashStaysForItsTime()
{
    auto app = makeApplication({}, std::chrono::milliseconds(300));
    bool splashUp = false;
    bool windowUp = true;
    QTimer::singleShot(150, this, [&] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QLatin1String("Form5") && widget->isVisible())
                splashUp = true;
        }
        windowUp = app->window().isVisible();
    });
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(start(*app));
    QVERIFY(elapsed.elapsed() >= 300);
    QVERIFY(splashUp);
    QVERIFY(!windowUp);
    const auto splashLeft = [] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::none_of(windows.cbegin(), windows.cend(), [](QWidget *widget) {
            return widget->objectName() == QLatin1String("Form5");
        });
    };
    QTRY_VERIFY(splashLeft());
}

void TestStartup::reselectionFetchesOnlyMissingOrHtmlRecords()
{
    m_server->serveData("signals/eurusd.xml", "record of EUR/USD");
    auto app = makeApplication();
    QVERIFY(start(*app));
    const QString path = QStringLiteral("signals/eurusd.xml");

    QCoro::waitFor(app->selectInstrument(14));
    QCOMPARE(m_server->requestCount(path), 1);
    QCOMPARE(app->state().record(14), QStringLiteral("record of EUR/USD"));
    QCOMPARE(app->state().selectedIndex(), 14);
    QCoro::waitFor(app->selectInstrument(14)); // a kept record is shown as it is
    QCOMPARE(m_server->requestCount(path), 1);

    app->state().setRecord(14, QStringLiteral("<!DOCTYPE html><html>maintenance</html>"));
    QCoro::waitFor(app->selectInstrument(14));
    QCOMPARE(m_server->requestCount(path), 2);
    QCOMPARE(app->state().record(14), QStringLiteral("record of EUR/USD"));

    // A click on the row goes the same way.
    app->state().setRecord(14, QString());
    app->window().navigator().toggleGroup(catalogue::Currencies);
    QTest::mouseClick(app->window().findChild<QWidget *>("el_title_14"), Qt::LeftButton);
    QTRY_COMPARE(m_server->requestCount(path), 3);
}

void TestStartup::documentsAreFetchedAndKept()
{
    m_server->serveData("signals/urls.xml", "links");
    m_server->serveData("signals/calendar_1.5_eng.xml",
                        "Jan, 12 14:30;USD;High Volatility Expected;CPI\n");
    m_server->serveData("signals/reviews_eng/list.xml", "Jan, 12 10:00;Review one\n");
    m_server->serveData("signals/news_eng/list.xml", "Jan, 12 11:00;News one\n");
    m_server->serveData("signals/audcad.xml", "record of AUD/CAD");
    auto app = makeApplication();
    QVERIFY(start(*app));
    QCOMPARE(app->state().linkList(), QStringLiteral("links"));
    QCOMPARE(app->state().calendarData(),
             QStringLiteral("Jan, 12 14:30;USD;High Volatility Expected;CPI\n"));
    QCOMPARE(app->state().reviewsData(), QStringLiteral("Jan, 12 10:00;Review one\n"));
    QCOMPARE(app->state().feedData(), QStringLiteral("Jan, 12 11:00;News one\n"));
    QCOMPARE(app->state().record(0), QStringLiteral("record of AUD/CAD"));
    QCOMPARE(app->server().errconnect(), QStringLiteral("0")); // the selection's record came last
    for (const char *path :
         {"signals/urls.xml", "message.xml", "signals/calendar_1.5_eng.xml",
          "signals/reviews_eng/list.xml", "signals/news_eng/list.xml", "signals/audcad.xml"})
        QCOMPARE(m_server->requestCount(QLatin1String(path)), 1);
}

void TestStartup::noticeIsShownAsPlainTextOnce()
{
    m_server->serveData("message.xml", "<b>Maintenance</b> on Sunday\nfrom 10:00 GMT");
    auto app = makeApplication();
    QVERIFY(start(*app));
    QCOMPARE(app->state().noticeShown(), QStringLiteral("1"));
    const QList<QMessageBox *> boxes = messageBoxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first()->text(), QStringLiteral("<b>Maintenance</b> on Sunday\nfrom 10:00 GMT"));
    QCOMPARE(boxes.first()->textFormat(), Qt::PlainText);
    QCOMPARE(boxes.first()->icon(), QMessageBox::Information);
    QCOMPARE(boxes.first()->windowTitle(), QStringLiteral("Quentara"));
}

void TestStartup::rejectedNoticeIsNotShown()
{
    m_server->serveData("message.xml", "Please update: 1.76 is outdated");
    auto app = makeApplication();
    QVERIFY(start(*app));
    QCOMPARE(app->state().noticeText(), QStringLiteral("Please update: 1.76 is outdated"));
    QCOMPARE(app->state().noticeShown(), QStringLiteral("0"));
    QVERIFY(messageBoxes().isEmpty());
}

void TestStartup::unreachableServerStillStarts()
{
    const QString closedPort = m_server->baseAddress();
    m_server.reset(); // nothing listens there any more
    auto app = makeApplication(closedPort);
    QVERIFY(start(*app));
    QVERIFY(app->window().isVisible());
    QCOMPARE(app->server().errconnect(), QStringLiteral("1"));
    QVERIFY(app->state().calendarData().isEmpty());
    QVERIFY(messageBoxes().isEmpty());
}

void TestStartup::secondCopyIsRefused()
{
    auto first = makeApplication();
    QVERIFY(start(*first));
    first->window().hide();
    const QByteArray before = [&] {
        QFile file(m_iniPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer answer;
    connect(&answer, &QTimer::timeout, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            box->button(QMessageBox::Ok)->click();
        }
    });
    answer.start(20);

    auto second = makeApplication();
    QVERIFY(!start(*second));
    answer.stop();
    QCOMPARE(title, QStringLiteral("Внимание!"));
    QCOMPARE(text,
             QStringLiteral("The program is already running\r\nPerhaps it is minimized to tray."));
    QCOMPARE(icon, QMessageBox::Warning);
    QTRY_VERIFY(first->window().isVisible()); // the running copy came back to the screen

    second.reset(); // its shutdown must not touch the settings
    QFile file(m_iniPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void TestStartup::exportFoldersAreCleanedAtStartAndEnd()
{
    const QString terminal1 = m_dir->filePath(QStringLiteral("terminal one"));
    const QString terminal2 =
        m_dir->filePath(QStringLiteral("terminal two")); // no "quentara" inside
    const QString terminal3 = m_dir->filePath(QStringLiteral("missing"));
    QVERIFY(QDir().mkpath(terminal1 + QStringLiteral("/quentara")));
    QVERIFY(QDir().mkpath(terminal2));
    const QString exportFolder = terminal1 + QStringLiteral("/quentara/");
    writeFile(exportFolder + QStringLiteral("EURUSD.csv"), "BUY");
    writeFile(exportFolder + QStringLiteral("XAUUSD1.csv"), "SELL");
    writeFile(exportFolder + QStringLiteral("notes.txt"), "kept");
    writeFile(terminal2 + QStringLiteral("/EURUSD.csv"), "outside the export folder");
    QFile::setPermissions(exportFolder + QStringLiteral("XAUUSD1.csv"),
                          QFile::ReadOwner | QFile::ReadUser);
    {
        SettingsStore store(m_iniPath);
        store.write("Settings", "LogPath", terminal3);
        store.write("Settings", "LogPath2", terminal2);
        store.write("Settings", "LogPath4", terminal1);
    }

    auto app = makeApplication();
    QVERIFY(start(*app));
    QCOMPARE(QDir(exportFolder).entryList(QDir::Files), QStringList{"notes.txt"});
    QVERIFY(QFile::exists(terminal2 + QStringLiteral("/EURUSD.csv")));
    QVERIFY(!QFile::exists(terminal3));

    writeFile(exportFolder + QStringLiteral("GOLD.csv"), "BUY");
    app->exitProgram();
    QCOMPARE(QDir(exportFolder).entryList(QDir::Files), QStringList{"notes.txt"});
}

void TestStartup::everyWayOutSavesOnce_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("minClose");
    QTest::addColumn<bool>("trayAvailable");
    QTest::addColumn<bool>("ends");
    QTest::newRow("Exit in the tray menu") << "exit" << false << true << true;
    QTest::newRow("close button") << "close" << false << true << true;
    QTest::newRow("close button hides to the tray") << "close" << true << true << false;
    QTest::newRow("close button without a tray") << "close" << true << false << true;
    QTest::newRow("SIGTERM") << "SIGTERM" << false << true << true;
    QTest::newRow("SIGINT") << "SIGINT" << false << true << true;
}

void TestStartup::everyWayOutSavesOnce()
{
    QFETCH(QString, way);
    QFETCH(bool, minClose);
    QFETCH(bool, trayAvailable);
    QFETCH(bool, ends);
    auto app = makeApplication();
    QVERIFY(start(*app));
    app->tray().setTrayAvailable([trayAvailable] { return trayAvailable; });
    app->trayOptions().choose(TrayOptions::MinClose, minClose);
    app->state().setEnabled(0, false);
    app->state().setEnabled(14, true);
    app->state().setSelectedIndex(14);
    const auto stored = [this](const char *key) {
        return SettingsStore(m_iniPath).read("InstrumentsChecked", QLatin1String(key));
    };

    QTimer::singleShot(0, app.get(), [&] {
        if (way == QLatin1String("exit"))
            app->tray().menu()->findChild<QAction *>("mnuExit")->trigger();
        else if (way == QLatin1String("close"))
            QTest::mouseClick(app->window().findChild<QWidget *>("Picture21"), Qt::LeftButton);
        else
            ::raise(way == QLatin1String("SIGTERM") ? SIGTERM : SIGINT);
    });
    bool hiddenUnsaved = false;
    if (!ends) {
        QTimer::singleShot(300, app.get(), [&] {
            hiddenUnsaved = app->window().isHidden() && stored("0") == QLatin1String("1");
            QCoreApplication::exit(7);
        });
    }
    QTimer::singleShot(10000, app.get(), [] { QCoreApplication::exit(9); });
    QCOMPARE(QApplication::exec(), ends ? 0 : 7);
    QVERIFY(hiddenUnsaved || ends);

    // Saved once: what changes afterwards is not saved again.
    QCOMPARE(stored("0"), QStringLiteral("&HFFFFFF"));
    QCOMPARE(stored("14"), QStringLiteral("&HC000&"));
    QCOMPARE(SettingsStore(m_iniPath).readText(settingskeys::kInstrumentsSelected),
             QStringLiteral("14"));
    app->state().setEnabled(14, false);
    app->shutdown();
    app.reset();
    QCOMPARE(stored("14"), QStringLiteral("&HC000&"));
}

void TestStartup::cancelledSessionEndStillSavesAtExit()
{
    const QString exportFolder = m_dir->filePath(QStringLiteral("terminal/quentara/"));
    QVERIFY(QDir().mkpath(exportFolder));
    SettingsStore(m_iniPath).write("Settings", "LogPath", m_dir->filePath("terminal"));
    auto app = makeApplication();
    QVERIFY(start(*app));
    const auto stored = [this](const char *key) {
        return SettingsStore(m_iniPath).read("InstrumentsChecked", QLatin1String(key));
    };

    app->state().setEnabled(14, true);
    app->saveForSessionEnd();
    QCOMPARE(stored("14"), QStringLiteral("&HC000&"));

    // The user cancelled the log-out and goes on working.
    app->state().setEnabled(14, false);
    app->state().setSelectedIndex(20);
    writeFile(exportFolder + QStringLiteral("EURUSD.csv"), "BUY");
    app->exitProgram();
    QCOMPARE(stored("14"), QStringLiteral("&HFFFFFF"));
    QCOMPARE(SettingsStore(m_iniPath).readText(settingskeys::kInstrumentsSelected),
             QStringLiteral("20"));
    QVERIFY(QDir(exportFolder).entryList(QDir::Files).isEmpty());
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
