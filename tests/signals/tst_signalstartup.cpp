#include "app/application.h"
#include "app/settingskeys.h"
#include "app/traymenu.h"
#include "app/trayowner.h"
#include "market/indicatorgrid.h"
#include "market/pollingcycle.h"
#include "market/serverpaths.h"
#include "recordbuilder.h"
#include "signals/signalevaluator.h"
#include "signals/signallistmodel.h"
#include "signals/signalmemory.h"
#include "signals/signalpanel.h"
#include "startedprogram.h"
#include "testhttpserver.h"
#include "ui/mainwindow.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

#include <QCoroTask>

// The signal engine as the program puts it together: the start-up steps that set it up, a
// signal from evaluation to the list and the export files, and Exit.
class TestSignalStartup final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void storedOptionsAreAppliedAtStartUp();
    void evaluationReachesListAndTerminals();
    void windowCommands_data();
    void windowCommands();
    void exitTakesTheIconAway();
    void exitDuringACycleDeliversNothingMore();

private:
    std::unique_ptr<Application> start();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestHttpServer> m_server;
    QString m_ini;
};

void TestSignalStartup::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_ini = m_dir->filePath(QStringLiteral("settings.ini"));
    m_server = std::make_unique<TestHttpServer>();
    QVERIFY(m_server->start() != 0);
}

std::unique_ptr<Application> TestSignalStartup::start()
{
    return startProgram(m_server->baseAddress(), m_ini);
}

void TestSignalStartup::storedOptionsAreAppliedAtStartUp()
{
    {
        SettingsStore store(m_ini);
        store.writeText(settingskeys::kMethod, QStringLiteral("2"));
        store.writeText(settingskeys::kFilter1, QStringLiteral("False"));
        store.writeText(settingskeys::kAlwaysTop, QStringLiteral("True"));
        store.writeText(settingskeys::kSound, QStringLiteral("False"));
    }
    auto app = start();
    QVERIFY(app);
    TrayMenu *menu = app->tray().menu();
    QVERIFY(menu->findChild<QAction *>(QStringLiteral("mnuMethod2"))->isChecked());
    QVERIFY(!menu->findChild<QAction *>(QStringLiteral("mnuMethod1"))->isChecked());
    QVERIFY(!menu->findChild<QAction *>(QStringLiteral("mnuFilter1"))->isChecked());
    QVERIFY(!menu->findChild<QAction *>(QStringLiteral("mnuSound"))->isChecked());
    QVERIFY(!app->window().findChild<QCheckBox *>(QStringLiteral("Filter1"))->isChecked());
    QVERIFY(app->window().findChild<QCheckBox *>(QStringLiteral("Filter2"))->isChecked());
    QVERIFY(app->window().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(app->window().isVisible());
    QCOMPARE(app->signalPanel()
                 .model()
                 ->headerData(SignalListModel::SignalColumn, Qt::Horizontal, Qt::DisplayRole)
                 .toString(),
             QStringLiteral("Signal"));
    QCOMPARE(app->tray().icon()->toolTip(), QStringLiteral("Quentara"));
    QVERIFY(!app->window().windowIcon().isNull());
    QCOMPARE(app->tray().icon()->icon().cacheKey(), app->window().windowIcon().cacheKey());
    QVERIFY(app->tray().icon()->isVisible());
}

void TestSignalStartup::evaluationReachesListAndTerminals()
{
    const QString terminal = m_dir->filePath(QStringLiteral("MetaTrader"));
    QVERIFY(QDir().mkpath(terminal + QStringLiteral("/quentara")));
    QFile old(terminal + QStringLiteral("/quentara/EURUSD.csv"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("SELL");
    old.close();
    {
        SettingsStore store(m_ini);
        store.writeText(settingskeys::kSaveLog, QStringLiteral("1"));
        store.writeText(settingskeys::kLogPath, terminal);
    }
    auto app = start();
    QVERIFY(app);
    QVERIFY(!QFileInfo::exists(terminal + QStringLiteral("/quentara/EURUSD.csv")));

    IndicatorGrid grid;
    for (int column = 1; column <= 7; ++column)
        grid.cell(IndicatorGrid::kOverallSummaryRow, column).text = QStringLiteral("STRONG BUY");
    SignalMemory &memory = app->state().memory(14);
    app->signalEvaluator().checkSignal(grid, memory, QStringLiteral("EUR/USD"));

    QCOMPARE(memory, (SignalMemory{"B1", "B2", "B3"}));
    const SignalListModel *model = app->signalPanel().model();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->data(model->index(0, 2), Qt::DisplayRole).toString(), QStringLiteral("3"));
    QCOMPARE(model->signalText(0), QStringLiteral("BUY EUR/USD"));
    QFile exported(terminal + QStringLiteral("/quentara/EURUSD3.csv"));
    QVERIFY(exported.open(QIODevice::ReadOnly));
    QCOMPARE(exported.readAll(), QByteArray("BUY"));
}

void TestSignalStartup::windowCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("ticked"); // "Minimize to tray" or "... when click Close (X)"
    QTest::addColumn<bool>("trayAvailable");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("Options") << "Label19" << false << true << "menu";
    QTest::newRow("minimise") << "Picture20" << false << true << "minimised";
    QTest::newRow("minimise to tray") << "Picture20" << true << true << "hidden";
    QTest::newRow("minimise to a missing tray") << "Picture20" << true << false << "minimised";
    QTest::newRow("close") << "Picture21" << false << true << "ended";
    QTest::newRow("close to tray") << "Picture21" << true << true << "hidden";
    QTest::newRow("close to a missing tray") << "Picture21" << true << false << "ended";
}

// The title bar's commands as the option menu's ticks decide, wired by the program.
void TestSignalStartup::windowCommands()
{
    QFETCH(QString, command);
    QFETCH(bool, ticked);
    QFETCH(bool, trayAvailable);
    QFETCH(QString, outcome);
    auto app = start();
    QVERIFY(app);
    MainWindow &window = app->window();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    app->tray().setTrayAvailable([trayAvailable] { return trayAvailable; });
    app->trayOptions().choose(command == QLatin1String("Picture20") ? TrayOptions::MinToTray
                                                                    : TrayOptions::MinClose,
                              ticked);

    QTest::mouseClick(window.findChild<QWidget *>(command), Qt::LeftButton);

    if (outcome == QLatin1String("menu")) {
        QTRY_VERIFY(app->tray().menu()->isVisible());
        // Under "Options", unless the edge of the screen pushes it to the left.
        const QPoint underOptions = window.mapToGlobal(twips::point(13900, 550));
        const QRect menu = app->tray().menu()->geometry();
        QCOMPARE(menu.top(), underOptions.y());
        QVERIFY(menu.left() == underOptions.x() ||
                menu.right() == window.screen()->geometry().right());
        app->tray().menu()->close();
        return;
    }
    QTRY_COMPARE(window.isVisible(), outcome == QLatin1String("minimised"));
    QCOMPARE(window.isMinimized(), outcome == QLatin1String("minimised"));
    // Only an ended program takes its icon away; a hidden window comes back from it.
    QCOMPARE(app->tray().icon()->isVisible(), outcome != QLatin1String("ended"));
    if (outcome == QLatin1String("hidden")) {
        Q_EMIT app->tray().icon()->activated(QSystemTrayIcon::Trigger);
        QVERIFY(window.isVisible());
    }
}

void TestSignalStartup::exitTakesTheIconAway()
{
    auto app = start();
    QVERIFY(app);
    QVERIFY(app->tray().icon()->isVisible());
    app->tray().menu()->findChild<QAction *>(QStringLiteral("mnuExit"))->trigger();
    QVERIFY(!app->tray().icon()->isVisible());
    QVERIFY(!app->window().isVisible());
}

void TestSignalStartup::exitDuringACycleDeliversNothingMore()
{
    const QString terminal = m_dir->filePath(QStringLiteral("MetaTrader"));
    QVERIFY(QDir().mkpath(terminal));
    {
        SettingsStore store(m_ini);
        store.writeText(settingskeys::kSaveLog, QStringLiteral("1"));
        store.writeText(settingskeys::kLogPath, terminal);
    }
    auto app = start();
    QVERIFY(app);
    // AUD/CAD, on at a first run, answers late with a record that raises three signals.
    const QString path = serverpaths::instrumentUrl(QString(), QStringLiteral("audcad"));
    m_server->setRoute(path, {TestHttpServer::dataDocument(RecordBuilder().text()), 200,
                              std::chrono::milliseconds(300)});
    bool finished = false;
    QCoro::connect(app->pollingCycle().runCycle(), this, [&finished] { finished = true; });
    QTRY_COMPARE(m_server->requestCount(path), 1);

    // The export folders are cleaned for good: the record that arrives afterwards is not
    // evaluated, so no terminal finds a signal after the program has ended.
    app->exitProgram();
    QTRY_VERIFY(finished);
    QCOMPARE(app->state().memory(0), SignalMemory());
    QCOMPARE(app->signalPanel().model()->rowCount(), 0);
    QVERIFY(!QFileInfo::exists(terminal + QStringLiteral("/quentara")));
}

QTEST_MAIN(TestSignalStartup)
#include "tst_signalstartup.moc"
