#include "app/application.h"
#include "app/catalogue.h"
#include "app/settingskeys.h"
#include "app/traymenu.h"
#include "app/trayowner.h"
#include "market/indicatorgrid.h"
#include "market/pollingcycle.h"
#include "recordbuilder.h"
#include "signals/deliverytarget.h"
#include "signals/journaldatabase.h"
#include "signals/journaltablemodel.h"
#include "signals/journalwindow.h"
#include "signals/remotedelivery.h"
#include "signals/signalevaluator.h"
#include "signals/signallistmodel.h"
#include "signals/signalmemory.h"
#include "signals/signalpanel.h"
#include "startedprogram.h"
#include "testhttpserver.h"
#include "ui/mainwindow.h"
#include "ui/navigator.h"

#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QSqlError>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <QCoroTask>

namespace {

constexpr int kOilWti = 47;

IndicatorGrid strongBuyAt(const QString &price)
{
    IndicatorGrid grid;
    for (int column = 1; column <= 7; ++column)
        grid.cell(IndicatorGrid::kOverallSummaryRow, column).text = QStringLiteral("STRONG BUY");
    grid.cell(0, 0).text = price;
    return grid;
}

QList<QMessageBox *> shownNotices()
{
    QList<QMessageBox *> boxes;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        for (QMessageBox *box : widget->findChildren<QMessageBox *>()) {
            if (box->isVisible())
                boxes << box;
        }
    }
    return boxes;
}

} // namespace

// The journal as the program puts it together: opened with the settings, fed by delivery,
// shown from the option menu and the signal list, and out of the way when it cannot be kept.
class TestJournalStartup final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void menuAndListOpenTheJournal();
    void deliveredSignalsAreShownAsTheyCome();
    void doubleClickSelectsTheInstrument();
    void unusableJournalIsToldOnceAndSignalsGoOn();
    void journalTurnedOffIsShownInItsWindow();

private:
    std::unique_ptr<Application> start();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestHttpServer> m_server;
    QString m_ini;
};

void TestJournalStartup::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_ini = m_dir->filePath(QStringLiteral("settings.ini"));
    m_server = std::make_unique<TestHttpServer>();
    QVERIFY(m_server->start() != 0);
}

void TestJournalStartup::cleanup()
{
    for (QMessageBox *box : shownNotices())
        box->close();
}

std::unique_ptr<Application> TestJournalStartup::start()
{
    return startProgram(m_server->baseAddress(), m_ini);
}

void TestJournalStartup::menuAndListOpenTheJournal()
{
    auto app = start();
    QVERIFY(app);
    QVERIFY(app->journalDatabase().isOn());
    QCOMPARE(app->journalDatabase().path(), m_ini + QStringLiteral(".signals.sqlite"));
    QVERIFY(!app->journalWindow());

    // The first item after Exit and a separator at the end of the option menu.
    const QList<QAction *> items = app->tray().menu()->actions();
    const qsizetype exit = items.indexOf(app->tray().menu()->defaultAction());
    QCOMPARE(items.at(exit)->objectName(), QStringLiteral("mnuExit"));
    QVERIFY(items.at(exit + 1)->isSeparator());
    QAction *journalItem = items.at(exit + 2);
    QCOMPARE(journalItem->objectName(), QStringLiteral("mnuJournal"));
    journalItem->trigger();
    JournalWindow *window = app->journalWindow();
    QVERIFY(window && window->isVisible());
    window->close();
    QTRY_VERIFY(!app->journalWindow());

    QMenu *listMenu = app->signalPanel().listMenu();
    QCOMPARE(listMenu->actions().size(), 1);
    QCOMPARE(listMenu->actions().first()->text(), QStringLiteral("Signal journal..."));
    listMenu->actions().first()->trigger();
    JournalWindow *fromList = app->journalWindow();
    QVERIFY(fromList && fromList->isVisible());
    fromList->hide();
    journalItem->trigger();
    QCOMPARE(app->journalWindow(), fromList); // one window, brought forward
    QVERIFY(fromList->isVisible());
}

void TestJournalStartup::deliveredSignalsAreShownAsTheyCome()
{
    {
        SettingsStore store(m_ini);
        store.writeText(settingskeys::kFilter2, QStringLiteral("False")); // option 2
    }
    // Strong Buy on every timeframe: options 1, 2 and 3 BUY.
    m_server->serveData(QStringLiteral("signals/wti.xml"),
                        RecordBuilder().setPrice(QStringLiteral("79.12")).text());
    auto app = start();
    QVERIFY(app);
    QVERIFY(app->state().isEnabled(kOilWti));
    app->showJournal();
    const JournalTableModel *journal = app->journalWindow()->model();
    QCOMPARE(journal->rowCount(), 0);

    QCoro::waitFor(app->pollingCycle().runCycle());

    // Exactly what the list got, newest first, shown once the cycle is over.
    QCOMPARE(app->signalPanel().model()->rowCount(), 2);
    QCOMPARE(journal->rowCount(), 2);
    QCOMPARE(journal->journalRow(0)->option, 3);
    QCOMPARE(journal->journalRow(1)->option, 1);
    QCOMPARE(journal->journalRow(1)->instrument, QStringLiteral("Oil (WTI)"));
    QCOMPARE(journal->journalRow(1)->price, 79.12);
    QCOMPARE(journal->journalRow(1)->time, QDateTime(QDate(2024, 5, 6), QTime(9, 30, 15)).toUTC());
}

void TestJournalStartup::doubleClickSelectsTheInstrument()
{
    auto app = start();
    QVERIFY(app);
    Navigator &navigator = app->window().navigator();
    navigator.toggleGroup(catalogue::Currencies);
    QVERIFY(navigator.isCollapsed(catalogue::Commodities));
    SignalMemory memory;
    app->signalEvaluator().checkSignal(strongBuyAt(QStringLiteral("79.12")), memory,
                                       QStringLiteral("Oil (WTI)"));
    app->showJournal();
    QTableView *table = app->journalWindow()->table();
    QVERIFY(QTest::qWaitForWindowExposed(table->window()));
    app->window().hide(); // in the notification area

    const QRect row = table->visualRect(table->model()->index(1, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, row.center());

    QCOMPARE(app->state().selectedIndex(), kOilWti);
    QVERIFY(!navigator.isCollapsed(catalogue::Commodities));
    QVERIFY(app->window().isVisible());
}

void TestJournalStartup::unusableJournalIsToldOnceAndSignalsGoOn()
{
    // A folder where the journal file should be: nothing can open it.
    QVERIFY(QDir().mkpath(m_ini + QStringLiteral(".signals.sqlite")));
    // Remote delivery, whose queue lives in that file, sends from memory.
    m_server->serve(QStringLiteral("hook"), "{}");
    {
        SettingsStore store(m_ini);
        DeliveryTarget webhook;
        webhook.on = true;
        webhook.options = QStringLiteral("123");
        webhook.url = m_server->baseAddress() + QStringLiteral("hook");
        deliverytargets::write(store, 1, webhook);
    }
    auto app = start();
    QVERIFY(app);
    QVERIFY(!app->journalDatabase().isOn());
    QTRY_COMPARE(shownNotices().size(), 1);
    QVERIFY(shownNotices().first()->text().contains(QStringLiteral("signal journal")));

    SignalMemory memory;
    app->signalEvaluator().checkSignal(strongBuyAt(QStringLiteral("79.12")), memory,
                                       QStringLiteral("Oil (WTI)"));
    QCOMPARE(app->signalPanel().model()->rowCount(), 3);
    QCOMPARE(shownNotices().size(), 1);
    QTRY_COMPARE(m_server->requestCount(QStringLiteral("hook")), 3);
    QVERIFY(app->remoteDelivery().pending().isEmpty());

    app->showJournal();
    QCOMPARE(app->journalWindow()->model()->rowCount(), 0);
    QVERIFY(
        app->journalWindow()->findChild<QWidget *>(QStringLiteral("journalNotice"))->isVisible());
}

void TestJournalStartup::journalTurnedOffIsShownInItsWindow()
{
    auto app = start();
    QVERIFY(app);
    app->showJournal();
    QWidget *notice = app->journalWindow()->findChild<QWidget *>(QStringLiteral("journalNotice"));
    QVERIFY(!notice->isVisible());

    // A disk error while the window is open: it says so at once, and signals go on.
    app->journalDatabase().writeFailed(QSqlError(QStringLiteral("driver"),
                                                 QStringLiteral("disk I/O error"),
                                                 QSqlError::StatementError, QStringLiteral("10")));
    QVERIFY(notice->isVisible());
    QTRY_COMPARE(shownNotices().size(), 1);
    SignalMemory memory;
    app->signalEvaluator().checkSignal(strongBuyAt(QStringLiteral("79.12")), memory,
                                       QStringLiteral("Oil (WTI)"));
    QCOMPARE(app->signalPanel().model()->rowCount(), 3);
    QCOMPARE(app->journalWindow()->model()->rowCount(), 0);
}

QTEST_MAIN(TestJournalStartup)
#include "tst_journalstartup.moc"
