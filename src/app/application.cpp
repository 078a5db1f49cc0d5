#include "app/application.h"

#include "app/catalogue.h"
#include "app/noticerule.h"
#include "app/settingskeys.h"
#include "app/shutdown.h"
#include "app/trayowner.h"
#include "app/unixsignals.h"
#include "app/version.h"
#include "market/indicatorarea.h"
#include "market/serverpaths.h"
#include "news/newspanel.h"
#include "signals/deliveryqueue.h"
#include "signals/desktopsignaloutput.h"
#include "signals/exportfiles.h"
#include "signals/journaldatabase.h"
#include "signals/journalreader.h"
#include "signals/journalwindow.h"
#include "signals/remotedelivery.h"
#include "signals/signalengine.h"
#include "signals/signaljournal.h"
#include "ui/artwork.h"
#include "ui/mainwindow.h"
#include "ui/navigator.h"
#include "ui/screenfit.h"
#include "ui/splashwindow.h"
#include "ui/twips.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>

#include <QCoroTimer>

namespace {

std::unique_ptr<SettingsStore> makeSettings(const CommandLine &commandLine)
{
    if (commandLine.settingsFile.isEmpty())
        return std::make_unique<SettingsStore>();
    return std::make_unique<SettingsStore>(commandLine.settingsFile);
}

} // namespace

Application::Application(Options options, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_settings(makeSettings(m_options.commandLine))
    , m_server(m_network, m_options.commandLine.serverAddress)
    , m_marketView(this)
    , m_pollingCycle(m_server, m_state, m_marketView, m_options.timings, this)
    , m_noticeCheck(m_server, m_state, m_options.timings, this)
    , m_instance(SingleInstance::keyForSettingsFile(m_options.commandLine.settingsFile))
    , m_window(std::make_unique<MainWindow>(m_state, *m_settings))
    , m_trayOptions(*m_settings)
    , m_signalPanel(new SignalPanel(m_window.get(), m_trayOptions, m_state))
    , m_signalSound(std::make_unique<SignalSound>(QCoreApplication::applicationDirPath(),
                                                  &QApplication::beep))
    , m_signalAlert(std::make_unique<SignalAlert>(m_options.timings.alert))
    , m_signalOutput(
          std::make_unique<DesktopSignalOutput>(*m_signalPanel, *m_signalSound, *m_signalAlert))
    , m_signalEngine(std::make_unique<SignalEngine>(*m_settings, m_trayOptions, *m_signalOutput,
                                                    m_options.clock))
    , m_journalDatabase(std::make_unique<JournalDatabase>(
          JournalDatabase::pathFor(m_options.commandLine.settingsFile), m_options.clock))
    , m_signalJournal(std::make_unique<SignalJournal>(*m_journalDatabase, m_options.clock))
    , m_journalReader(std::make_unique<JournalReader>(*m_journalDatabase))
    , m_deliveryQueue(std::make_unique<DeliveryQueue>())
    , m_remoteDelivery(std::make_unique<RemoteDelivery>(*m_settings, m_network, *m_deliveryQueue,
                                                        m_options.clock, RemoteDelivery::Timings()))
    , m_tray(std::make_unique<TrayOwner>(m_trayOptions, *m_settings, *m_remoteDelivery,
                                         m_window.get(), QCoreApplication::applicationDirPath()))
    , m_newsPanel(std::make_unique<NewsPanel>(
          *m_window, m_state, *m_settings,
          NewsPanel::Options{
              m_options.clock, QLocale(), QLatin1String(product::kSiteAddress), {}, {}}))
    , m_newsRefresh(m_server, m_state, m_options.clock, m_options.timings.refresh)
{
    m_unixSignals = new UnixSignals(this);
    connect(m_unixSignals, &UnixSignals::terminationRequested, this, &Application::exitProgram);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &Application::shutdown);
    // The desktop session is ending: save now, the process may not get another chance.
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager &) { saveForSessionEnd(); });
    connect(m_tray.get(), &TrayOwner::exitRequested, this, &Application::exitProgram);
    connect(m_tray.get(), &TrayOwner::journalRequested, this, &Application::showJournal);
    connect(m_signalPanel, &SignalPanel::journalRequested, this, &Application::showJournal);
    connect(m_journalDatabase.get(), &JournalDatabase::noticeDue, this, &Application::showNotice);
    connect(m_journalDatabase.get(), &JournalDatabase::switchedOff, this, [this] {
        if (m_journalWindow)
            m_journalWindow->refresh();
    });
    // An open journal window reads the journal again once per polling cycle that changed it,
    // not once for every signal and outcome.
    connect(m_signalJournal.get(), &SignalJournal::changed, this,
            [this] { m_journalChanged = true; });
    connect(&m_pollingCycle, &PollingCycle::cycleFinished, this, [this] {
        if (m_journalChanged && m_journalWindow)
            m_journalWindow->refresh();
        m_journalChanged = false;
    });

    // Minimise and close hide the window to the notification area when the menu says so and
    // there is one; the Options link and the logo open the option menu.
    connect(m_window.get(), &MainWindow::closeRequested, this, [this] {
        if (m_tray->closeHides())
            m_window->hide();
        else
            exitProgram();
    });
    connect(m_window.get(), &MainWindow::minimiseRequested, this, [this] {
        if (m_tray->minimiseHides())
            m_window->hide();
        else
            m_window->showMinimized();
    });
    connect(m_window.get(), &MainWindow::optionsMenuRequested, m_tray.get(), &TrayOwner::popupMenu);
    connect(&m_window->navigator(), &Navigator::selectRequested, this,
            [this](int index) { QCoro::connect(selectInstrument(index), this, [] {}); });

    createIndicatorArea(m_window.get(), m_marketView);
    m_pollingCycle.setWindowVisibility([this] { return m_window->isVisible(); });
    m_pollingCycle.setSignalEvaluator(m_signalEngine.get());
    connect(&m_noticeCheck, &NoticeCheck::noticeDue, this, &Application::showNotice);
    connect(&m_newsRefresh, &NewsRefresh::refreshed, m_newsPanel.get(), &NewsPanel::redrawVisible);
    m_window->finishPanels();
    connect(&m_instance, &SingleInstance::showRequested, this, [this] {
        m_window->showNormal();
        m_window->raise();
        m_window->activateWindow();
    });
}

Application::~Application()
{
    shutdown();
    // A window of its own that reads the journal.
    delete m_journalWindow.data();
}

QCoro::Task<bool> Application::startUp()
{
    // Splash, up for at least the splash time before anything else happens.
    QPointer<SplashWindow> splash = new SplashWindow(m_window.get());
    splash->show();
    QTimer splashTime; // precise: a coarse timer may end the wait early
    splashTime.setObjectName(QStringLiteral("Timer5"));
    splashTime.setTimerType(Qt::PreciseTimer);
    splashTime.setSingleShot(true);
    splashTime.start(m_options.timings.splash);
    co_await splashTime;

    // Single instance: a second copy tells the first to show itself, says so and ends
    // without touching the settings.
    if (!m_instance.acquire()) {
        if (splash)
            splash->close();
        m_instance.askRunningToShow();
        QMessageBox box(
            QMessageBox::Warning, QStringLiteral("Внимание!"),
            QStringLiteral("The program is already running\r\nPerhaps it is minimized to tray."),
            QMessageBox::Ok);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        co_return false;
    }
    m_ownsInstance = true;
    openJournal();
    // Only the copy that owns the settings sends what the last run could not; while the journal's
    // file is off, sends are kept in memory.
    m_deliveryQueue->attach(m_journalDatabase->database(), [this](const QSqlError &error) {
        m_journalDatabase->writeFailed(error);
    });
    m_signalEngine->addRecipient(m_remoteDelivery.get());
    m_remoteDelivery->resume();
    m_window->setWindowTitle(QLatin1String(product::kName) + QStringLiteral("   "));
    m_noticeCheck.start();
    m_newsRefresh.start();

    // Window icons, for the window and every other window of the program.
    QApplication::setWindowIcon(artwork::applicationIcon());
    m_window->setWindowIcon(QApplication::windowIcon());

    // The option menu's ticks and the notification-area icon, then the signal method.
    m_tray->load();
    m_trayOptions.loadMethod();

    // Old export files from an earlier run.
    exportfiles::cleanExportFolders(*m_settings);

    // On top of other windows if the menu says so, before the window first shows.
    m_tray->applyAlwaysOnTop();

    // Navigator skeleton, then the catalogue's captions.
    m_window->navigator().collapseAll();
    m_window->navigator().fillFromCatalogue();

    // The documents the window shows from its first moment are independent of each other, so
    // they are all requested now and taken in order below; a slow server costs one wait, not five.
    const QString base = m_server.baseAddress();
    auto linkList = m_server.fetch(serverpaths::documentUrl(base, serverpaths::kLinkList));
    auto notice = m_server.fetch(serverpaths::documentUrl(base, serverpaths::kNotice));
    auto calendar = m_server.fetch(serverpaths::documentUrl(base, serverpaths::kCalendar));
    auto reviews = m_server.fetch(serverpaths::documentUrl(base, serverpaths::kReviewsList));
    auto feed = m_server.fetch(serverpaths::documentUrl(base, serverpaths::kNewsList));

    // Link list.
    const FetchResult links = co_await linkList;
    m_server.recordOutcome(serverpaths::fileName(serverpaths::kLinkList), links.loaded);
    m_state.setLinkList(links.text);

    // Server notice.
    const FetchResult noticeResult = co_await notice;
    m_server.recordOutcome(serverpaths::fileName(serverpaths::kNotice), noticeResult.loaded);
    m_state.setNoticeText(noticeResult.text);
    if (noticePasses(m_state.noticeText())) {
        showNotice(m_state.noticeText());
        m_state.setNoticeShown(QStringLiteral("1"));
    }

    // Calendar filters, before the calendar arrives.
    m_newsPanel->applyStoredFilters();

    // Compact layout.
    if (m_settings->readText(settingskeys::kCompactMode) == QLatin1String("1"))
        m_window->switchLayout();

    // Enabled instruments.
    restoreEnabledInstruments();

    // Indicator grid: its skeleton, built while it is hidden.
    m_marketView.hideAllGrids();
    m_marketView.gridrazm();

    // The signal list's header, then the signal option boxes.
    m_signalPanel->buildHeader();
    m_signalPanel->loadFilters(*m_settings);

    // Calendar and lists.
    const FetchResult calendarResult = co_await calendar;
    m_server.recordOutcome(serverpaths::fileName(serverpaths::kCalendar), calendarResult.loaded);
    m_state.setCalendarData(calendarResult.text);
    const FetchResult reviewsResult = co_await reviews;
    m_server.recordOutcome(serverpaths::fileName(serverpaths::kReviewsList), reviewsResult.loaded);
    m_state.setReviewsData(reviewsResult.text);
    const FetchResult feedResult = co_await feed;
    m_server.recordOutcome(serverpaths::fileName(serverpaths::kNewsList), feedResult.loaded);
    m_state.setFeedData(feedResult.text);

    // Selected instrument, as a click on its row selects it: the reserved slot 62 and anything
    // outside 0-61 keep the default.
    const int selected = m_settings->readNumber(settingskeys::kInstrumentsSelected, 0, 0,
                                                catalogue::kInstrumentCount - 1);
    co_await selectInstrument(selected);

    // Navigator folded away as it was left.
    if (m_settings->readText(settingskeys::kSplit) == QLatin1String("1"))
        m_window->toggleFold();

    // The group of the selected instrument opens.
    m_window->navigator().toggleGroup(catalogue::groupOf(selected));
    m_windowStateRestored = true;

    // Polling: the first cycle comes with the start-up kick, then one a minute.
    m_pollingCycle.start();

    // Calendar view.
    m_newsPanel->loadNews();

    if (splash)
        splash->close();
    // A window made smaller to fit its screen stands in the middle of it, clear of the task bar;
    // otherwise the desktop places it.
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen && twips::scale() < 1)
        m_window->move(screenfit::centredIn(screen->availableGeometry(), m_window->size()));
    m_window->show();
    co_return true;
}

QCoro::Task<> Application::selectInstrument(int index)
{
    return m_pollingCycle.selectInstrument(index);
}

void Application::restoreEnabledInstruments()
{
    if (m_settings->isFirstRun()) {
        const SettingsStore::Batch batch(*m_settings);
        for (int index : catalogue::firstRunSet()) {
            m_settings->writeFirstRunEnabled(index);
            m_state.setEnabled(index, true);
        }
        return;
    }
    for (int index : catalogue::allSlots())
        m_state.setEnabled(index, m_settings->readEnabled(index));
}

void Application::showNotice(const QString &notice)
{
    auto *box = new QMessageBox(QMessageBox::Information, QLatin1String(product::kName), notice,
                                QMessageBox::Ok, m_window.get());
    box->setTextFormat(Qt::PlainText); // a notice is text, never markup
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

// Only the copy that owns the settings keeps their journal. Delivery and the polling cycle
// reach it after the desktop has the signal, and whatever goes wrong in it stays in it.
void Application::openJournal()
{
    m_journalDatabase->open();
    m_signalJournal->start();
    m_signalEngine->addRecipient(m_signalJournal.get());
    m_pollingCycle.setPriceObserver(m_signalJournal.get());
}

void Application::showJournal()
{
    if (!m_journalWindow) {
        m_journalWindow = new JournalWindow(*m_journalReader);
        m_journalWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_journalWindow->setWindowIcon(QApplication::windowIcon());
        connect(m_journalWindow, &JournalWindow::instrumentChosen, this,
                [this](const QString &signalName) {
                    if (!catalogue::isInstrument(catalogue::indexOfSignalText(signalName)))
                        return;
                    m_window->openInstrumentOf(signalName);
                    // The journal lies over the main window, which may even be in the tray:
                    // the instrument is shown in front.
                    m_tray->restoreWindow();
                });
        m_journalWindow->move(m_window->geometry().center() - m_journalWindow->rect().center());
    }
    m_journalWindow->show();
    m_journalWindow->raise();
    m_journalWindow->activateWindow();
}

JournalWindow *Application::journalWindow() const
{
    return m_journalWindow;
}

SignalEvaluator &Application::signalEvaluator()
{
    return *m_signalEngine;
}

void Application::exitProgram()
{
    // A polling cycle still under way evaluates nothing more, so no signal reaches a terminal
    // after its export folder has been cleaned.
    m_pollingCycle.setSignalEvaluator(nullptr);
    m_pollingCycle.setPriceObserver(nullptr);
    m_tray->removeIcon();
    shutdown();
    m_window->hide();
    QCoreApplication::quit();
}

void Application::shutdown()
{
    if (m_shutDown || !m_ownsInstance)
        return;
    m_shutDown = true;
    saveAndClean();
}

void Application::saveForSessionEnd()
{
    if (!m_shutDown && m_ownsInstance)
        saveAndClean();
}

void Application::saveAndClean()
{
    // Ended in the middle of start-up, the window does not yet show what the store holds;
    // saving it would switch every instrument off and lose the selection and the layout.
    if (m_windowStateRestored)
        storeAtShutdown(*m_settings,
                        snapshotOf(m_state, m_window->heightTwips(), m_window->splitterCaption()));
    exportfiles::cleanExportFolders(*m_settings);
}
