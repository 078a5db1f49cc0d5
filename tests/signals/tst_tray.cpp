#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "app/traymenu.h"
#include "app/trayoptions.h"
#include "app/trayowner.h"
#include "signals/deliveryqueue.h"
#include "signals/remotedelivery.h"
#include "signals/remotedeliverydialog.h"
#include "signals/signalconfigurator.h"
#include "signals/terminalfoldersdialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QPixmap>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Answers the next message box that opens with the given button, reporting its text.
class BoxAnswer final : public QObject
{
public:
    explicit BoxAnswer(QMessageBox::StandardButton button)
    {
        connect(&m_timer, &QTimer::timeout, this, [this, button] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *box = qobject_cast<QMessageBox *>(widget);
                if (!box || !box->isVisible() || !box->button(button))
                    continue;
                texts << box->text();
                titles << box->windowTitle();
                icons << box->icon();
                box->button(button)->click();
            }
        });
        m_timer.start(10);
    }

    QStringList texts;
    QStringList titles;
    QList<QMessageBox::Icon> icons;

private:
    QTimer m_timer;
};

} // namespace

class TestTray final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void menuAsDesigned();
    void loadTicksFromTheStore();
    void ticksAreStoredAtOnce_data();
    void ticksAreStoredAtOnce();
    void methodsTickOneAnother();
    void connectionTicksNeverChange();
    void alternativeAnsweredNo();
    void alternativeWithoutCompanionKeepsRunning();
    void alternativeStartsTheCompanion();
    void alwaysOnTopKeepsThePlace();
    void hidingNeedsANotificationArea_data();
    void hidingNeedsANotificationArea();
    void iconClicksRestoreTheWindow_data();
    void iconClicksRestoreTheWindow();
    void commandsOpenTheirWindows();
    void exitAndJournalArePassedOn();

private:
    QAction *action(const char *name) const;
    QMenu *submenuOf(const char *name) const
    {
        return qobject_cast<QMenu *>(action(name)->parent());
    }
    QString stored(const char *key) const { return m_settings->readText(key, "<missing>"); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<TrayOptions> m_options;
    std::unique_ptr<QWidget> m_window;
    QNetworkAccessManager m_network;
    DeliveryQueue m_queue{QSqlDatabase()};
    std::unique_ptr<RemoteDelivery> m_delivery;
    std::unique_ptr<TrayOwner> m_tray;
};

void TestTray::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("s.ini")));
    m_options = std::make_unique<TrayOptions>(*m_settings);
    m_window = std::make_unique<QWidget>();
    m_window->setObjectName(QStringLiteral("Form1"));
    m_window->setGeometry(100, 80, 400, 300);
    m_delivery = std::make_unique<RemoteDelivery>(*m_settings, m_network, m_queue, Clock(),
                                                  RemoteDelivery::Timings());
    m_tray = std::make_unique<TrayOwner>(*m_options, *m_settings, *m_delivery, m_window.get(),
                                         m_dir->path());
}

void TestTray::cleanup()
{
    m_tray.reset();
    m_delivery.reset();
    m_window.reset();
}

QAction *TestTray::action(const char *name) const
{
    auto *found = m_tray->findChild<QAction *>(QLatin1String(name));
    if (!found)
        qFatal("no action %s", name);
    return found;
}

void TestTray::menuAsDesigned()
{
    QCOMPARE(m_tray->objectName(), QStringLiteral("Form2"));
    QVERIFY(!m_tray->isVisible());
    QMenu *menu = m_tray->findChild<QMenu *>(QStringLiteral("pmnuTray"));
    QVERIFY(menu);
    QCOMPARE(menu->title(), QStringLiteral("[Tray]"));
    QCOMPARE(menu->defaultAction(), action("mnuExit"));

    // Caption, name and design tick of every item in display order; "-" a separator.
    const QStringList expected{
        "Show signals:mnuFilter",
        "-",
        "Method of receiving signals:mnuMethod",
        "-",
        "Connection method:mnuConnectsMethod",
        "-",
        "Sound on/off:mnuSound:ticked",
        "Show signals in tray:mnuTraySignal:ticked",
        "Minimize to tray:mnuMinTray:",
        "Minimize to tray when click Close (X):mnuMinClose:",
        "Window always on top:mnuAlwaysTop:",
        "-",
        "Signal configurator...:mnuConfigSignals",
        "-",
        "Передавать сигналы в продукты Bravik:mnuSaveLog:",
        "Папки терминалов для обмена...:mnuLogPath",
        "-",
        "Exit:mnuExit",
        "-",
        "Signal journal...:mnuJournal",
        "Remote delivery...:mnuRemoteDelivery",
    };
    auto describe = [](const QList<QAction *> &actions) {
        QStringList items;
        for (const QAction *item : actions) {
            if (item->isSeparator()) {
                items << QStringLiteral("-");
                continue;
            }
            const QString name = item->menu() ? item->menu()->objectName() : item->objectName();
            QString text = item->text() + QLatin1Char(':') + name;
            if (item->isCheckable())
                text += item->isChecked() ? QStringLiteral(":ticked") : QStringLiteral(":");
            items << text;
        }
        return items;
    };
    QCOMPARE(describe(menu->actions()), expected);
    QCOMPARE(describe(submenuOf("mnuFilter3")->actions()),
             (QStringList{"Option 1:mnuFilter3:ticked", "Option 2:mnuFilter2:ticked",
                          "Option 3:mnuFilter1:ticked"}));
    QCOMPARE(describe(submenuOf("mnuMethod1")->actions()),
             (QStringList{"When changes indicators values:mnuMethod1:ticked",
                          "Every minute when the trend continues:mnuMethod2:"}));
    QCOMPARE(describe(submenuOf("mnuConnect1")->actions()),
             (QStringList{"Standart:mnuConnect1:ticked", "Alternative:mnuConnect2:", "-",
                          "Do not ask at startup:mnuAskConnect:"}));

    QPixmap windowIcon(16, 16);
    windowIcon.fill(Qt::blue);
    m_window->setWindowIcon(QIcon(windowIcon));
    m_tray->load();
    QCOMPARE(m_tray->icon()->objectName(), QStringLiteral("cTray"));
    QCOMPARE(m_tray->icon()->toolTip(), QStringLiteral("Quentara"));
    // The notification area shows the main window's own icon.
    QCOMPARE(m_tray->icon()->icon().cacheKey(), m_window->windowIcon().cacheKey());
    QCOMPARE(m_tray->icon()->contextMenu(), menu);
}

void TestTray::loadTicksFromTheStore()
{
    m_settings->writeText(settingskeys::kFilter2, QStringLiteral("False"));
    m_settings->writeText(settingskeys::kSound, QStringLiteral("0"));
    m_settings->writeText(settingskeys::kAlwaysTop, QStringLiteral("-1"));
    m_settings->writeText(settingskeys::kMinClose, QStringLiteral("True"));
    m_settings->writeText(settingskeys::kTraySignal, QStringLiteral("rubbish"));
    m_settings->writeText(settingskeys::kAskConnectMethod, QStringLiteral("1"));
    m_settings->writeText(settingskeys::kSaveLog, QStringLiteral("1"));
    m_settings->writeText(settingskeys::kMethod, QStringLiteral("2"));
    m_tray->load();

    QVERIFY(action("mnuFilter1")->isChecked());
    QVERIFY(!action("mnuFilter2")->isChecked());
    QVERIFY(action("mnuFilter3")->isChecked());
    QVERIFY(!action("mnuSound")->isChecked());
    QVERIFY(action("mnuAlwaysTop")->isChecked());
    QVERIFY(!action("mnuMinTray")->isChecked());
    QVERIFY(action("mnuMinClose")->isChecked());
    QVERIFY(action("mnuTraySignal")->isChecked()); // unusable: the default
    QVERIFY(action("mnuAskConnect")->isChecked());
    QVERIFY(action("mnuSaveLog")->isChecked());
    QVERIFY(action("mnuMethod1")->isChecked()); // the method is read by a later step

    m_options->loadMethod();
    QVERIFY(!action("mnuMethod1")->isChecked());
    QVERIFY(action("mnuMethod2")->isChecked());
    m_settings->writeText(settingskeys::kMethod, QStringLiteral("3"));
    m_options->loadMethod();
    QVERIFY(action("mnuMethod1")->isChecked());
    QVERIFY(!action("mnuMethod2")->isChecked());
}

void TestTray::ticksAreStoredAtOnce_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("Option 1") << "mnuFilter3"
                              << "Filter3"
                              << "False"
                              << "True";
    QTest::newRow("Option 2") << "mnuFilter2"
                              << "Filter2"
                              << "False"
                              << "True";
    QTest::newRow("Option 3") << "mnuFilter1"
                              << "Filter1"
                              << "False"
                              << "True";
    QTest::newRow("Do not ask") << "mnuAskConnect"
                                << "AskConnectMethod"
                                << "1"
                                << "0";
    QTest::newRow("Sound") << "mnuSound"
                           << "Sound"
                           << "False"
                           << "True";
    QTest::newRow("Alerts") << "mnuTraySignal"
                            << "TraySignal"
                            << "False"
                            << "True";
    QTest::newRow("Minimize") << "mnuMinTray"
                              << "MinToTray"
                              << "True"
                              << "False";
    QTest::newRow("Close") << "mnuMinClose"
                           << "MinClose"
                           << "True"
                           << "False";
    QTest::newRow("On top") << "mnuAlwaysTop"
                            << "AlwaysTop"
                            << "True"
                            << "False";
    QTest::newRow("Export") << "mnuSaveLog"
                            << "SaveLog"
                            << "1"
                            << "0";
}

void TestTray::ticksAreStoredAtOnce()
{
    QFETCH(QString, item);
    QFETCH(QString, key);
    QFETCH(QString, first);
    QFETCH(QString, second);
    m_tray->load();
    QAction *tick = action(qPrintable(item));
    const bool before = tick->isChecked();
    tick->trigger();
    QCOMPARE(stored(qPrintable(key)), first);
    QCOMPARE(tick->isChecked(), !before);
    tick->trigger();
    QCOMPARE(stored(qPrintable(key)), second);
    QCOMPARE(tick->isChecked(), before);
}

void TestTray::methodsTickOneAnother()
{
    action("mnuMethod1")->trigger(); // already ticked: stays ticked, stored again
    QCOMPARE(stored(settingskeys::kMethod), QStringLiteral("1"));
    QVERIFY(action("mnuMethod1")->isChecked());
    QVERIFY(!action("mnuMethod2")->isChecked());

    action("mnuMethod2")->trigger();
    QCOMPARE(stored(settingskeys::kMethod), QStringLiteral("2"));
    QVERIFY(!action("mnuMethod1")->isChecked());
    QVERIFY(action("mnuMethod2")->isChecked());
    QVERIFY(m_options->isTicked(TrayOptions::Method2));

    action("mnuMethod2")->trigger();
    QVERIFY(action("mnuMethod2")->isChecked());
    action("mnuMethod1")->trigger();
    QCOMPARE(stored(settingskeys::kMethod), QStringLiteral("1"));
    QVERIFY(action("mnuMethod1")->isChecked());
    QVERIFY(!action("mnuMethod2")->isChecked());
}

void TestTray::connectionTicksNeverChange()
{
    action("mnuConnect1")->trigger();
    QVERIFY(action("mnuConnect1")->isChecked());
    QCOMPARE(stored(settingskeys::kConnectMethod), QStringLiteral("<missing>"));
}

void TestTray::alternativeAnsweredNo()
{
    QSignalSpy exits(m_tray.get(), &TrayOwner::exitRequested);
    BoxAnswer answer(QMessageBox::No);
    action("mnuConnect2")->trigger();
    QCOMPARE(answer.texts, QStringList{"Потребуется перезапуск программы, перезапустить сейчас?"});
    QCOMPARE(answer.titles, QStringList{"Quentara"});
    QCOMPARE(answer.icons, QList<QMessageBox::Icon>{QMessageBox::NoIcon});
    QCOMPARE(stored(settingskeys::kConnectMethod), QStringLiteral("2"));
    QVERIFY(action("mnuConnect1")->isChecked());
    QVERIFY(!action("mnuConnect2")->isChecked());
    QVERIFY(exits.isEmpty());
}

void TestTray::alternativeWithoutCompanionKeepsRunning()
{
    QSignalSpy exits(m_tray.get(), &TrayOwner::exitRequested);
    BoxAnswer yes(QMessageBox::Yes);
    action("mnuConnect2")->trigger();
    QCOMPARE(stored(settingskeys::kConnectMethod), QStringLiteral("2"));
    BoxAnswer ok(QMessageBox::Ok);
    QTRY_COMPARE(ok.texts.size(), 1);
    QVERIFY(ok.texts.first().contains(QLatin1String("quentara_2")));
    QCOMPARE(ok.icons.first(), QMessageBox::Warning);
    QVERIFY(exits.isEmpty());
}

void TestTray::alternativeStartsTheCompanion()
{
    const QString companion = m_dir->filePath(QStringLiteral("quentara_2"));
    const QString mark = m_dir->filePath(QStringLiteral("started"));
    {
        QFile script(companion);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/started\"\n");
    }
    QVERIFY(
        QFile::setPermissions(companion, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QSignalSpy exits(m_tray.get(), &TrayOwner::exitRequested);
    BoxAnswer yes(QMessageBox::Yes);
    action("mnuConnect2")->trigger();
    QCOMPARE(exits.size(), 1);
    QTRY_VERIFY(QFileInfo::exists(mark));
}

void TestTray::alwaysOnTopKeepsThePlace()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    const QRect before = m_window->geometry();
    action("mnuAlwaysTop")->trigger();
    QVERIFY(m_window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(m_window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_window->geometry(), before);

    action("mnuAlwaysTop")->trigger();
    QVERIFY(!m_window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!m_window->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_window->geometry(), before);

    // At start-up, before the window is shown.
    QWidget hidden;
    TrayOwner owner(*m_options, *m_settings, *m_delivery, &hidden, m_dir->path());
    m_options->choose(TrayOptions::AlwaysTop, true);
    owner.applyAlwaysOnTop();
    QVERIFY(hidden.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!hidden.isVisible());
}

void TestTray::hidingNeedsANotificationArea_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<bool>("trayAvailable");
    QTest::addColumn<bool>("hides");
    QTest::newRow("ticked, with tray") << true << true << true;
    QTest::newRow("ticked, no tray") << true << false << false;
    QTest::newRow("not ticked") << false << true << false;
}

void TestTray::hidingNeedsANotificationArea()
{
    QFETCH(bool, ticked);
    QFETCH(bool, trayAvailable);
    QFETCH(bool, hides);
    m_tray->setTrayAvailable([trayAvailable] { return trayAvailable; });
    m_options->choose(TrayOptions::MinToTray, ticked);
    QCOMPARE(m_tray->minimiseHides(), hides);
    QVERIFY(!m_tray->closeHides());
    m_options->choose(TrayOptions::MinClose, ticked);
    QCOMPARE(m_tray->closeHides(), hides);
}

void TestTray::iconClicksRestoreTheWindow_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("restores");
    QTest::newRow("left click") << int(QSystemTrayIcon::Trigger) << true;
    QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << true;
    QTest::newRow("right click") << int(QSystemTrayIcon::Context) << false;
    QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << false;
}

void TestTray::iconClicksRestoreTheWindow()
{
    QFETCH(int, reason);
    QFETCH(bool, restores);
    m_tray->load();
    m_window->showMinimized();
    m_window->hide();
    Q_EMIT m_tray->icon()->activated(QSystemTrayIcon::ActivationReason(reason));
    QCOMPARE(m_window->isVisible(), restores);
    if (restores)
        QVERIFY(!m_window->isMinimized());
}

void TestTray::commandsOpenTheirWindows()
{
    action("mnuConfigSignals")->trigger();
    SignalConfigurator *configurator = m_tray->configurator();
    QVERIFY(configurator && configurator->isVisible());
    QVERIFY(!configurator->isModal());
    action("mnuConfigSignals")->trigger();
    QCOMPARE(m_tray->configurator(), configurator); // one window, brought forward
    configurator->close();
    QTRY_VERIFY(!m_tray->configurator());

    action("mnuLogPath")->trigger();
    TerminalFoldersDialog *folders = m_tray->terminalFolders();
    QVERIFY(folders && folders->isVisible());
    QCOMPARE(folders->windowModality(), Qt::ApplicationModal);
    folders->reject();
    QTRY_VERIFY(!m_tray->terminalFolders());

    action("mnuRemoteDelivery")->trigger();
    RemoteDeliveryDialog *delivery = m_tray->remoteDelivery();
    QVERIFY(delivery && delivery->isVisible());
    QVERIFY(!delivery->isModal());
    action("mnuRemoteDelivery")->trigger();
    QCOMPARE(m_tray->remoteDelivery(), delivery);
    delivery->reject();
    QTRY_VERIFY(!m_tray->remoteDelivery());
}

void TestTray::exitAndJournalArePassedOn()
{
    QSignalSpy exits(m_tray.get(), &TrayOwner::exitRequested);
    QSignalSpy journals(m_tray.get(), &TrayOwner::journalRequested);
    action("mnuExit")->trigger();
    QCOMPARE(exits.size(), 1);
    action("mnuJournal")->trigger();
    QCOMPARE(journals.size(), 1);
    QCOMPARE(exits.size(), 1);
}

QTEST_MAIN(TestTray)
#include "tst_tray.moc"
