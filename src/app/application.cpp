#include "app/application.h"

#include "app/noticerule.h"
#include "app/settingskeys.h"
#include "app/shutdown.h"
#include "app/unixsignals.h"
#include "app/version.h"
#include "market/serverpaths.h"
#include "news/newspanel.h"
#include "signals/exportfiles.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QSessionManager>

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
    , m_instance(SingleInstance::keyForSettingsFile(m_options.commandLine.settingsFile))
    , m_window(std::make_unique<MainWindow>())
    , m_newsPanel(std::make_unique<NewsPanel>(
          *m_window, m_state, *m_settings,
          NewsPanel::Options{m_options.clock, QLocale(), QLatin1String(product::kSiteAddress), {}}))
    , m_newsRefresh(m_server, m_state, m_options.clock, m_options.timings.refresh)
{
    m_unixSignals = new UnixSignals(this);
    connect(m_unixSignals, &UnixSignals::terminationRequested, this, &Application::exitProgram);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &Application::shutdown);
    // The desktop session is ending: save now, the process may not get another chance.
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager &) { shutdown(); });
    connect(&m_newsRefresh, &NewsRefresh::refreshed, m_newsPanel.get(), &NewsPanel::redrawVisible);
    connect(m_window.get(), &MainWindow::closeRequested, this, &Application::exitProgram);
    connect(&m_instance, &SingleInstance::showRequested, this, [this] {
        m_window->showNormal();
        m_window->raise();
        m_window->activateWindow();
    });
}

Application::~Application()
{
    shutdown();
}

QCoro::Task<bool> Application::startUp()
{
    // Single instance: a second copy tells the first to show itself, says so and ends
    // without touching the settings.
    if (!m_instance.acquire()) {
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
    m_window->setWindowTitle(QLatin1String(product::kName) + QStringLiteral("   "));
    m_newsRefresh.start();

    // Old export files from an earlier run.
    exportfiles::cleanExportFolders(*m_settings);

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

    // Enabled instruments.
    restoreEnabledInstruments();

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

    // Selected instrument: the reserved slot 62 and anything outside 0-61 keep the default.
    m_state.setSelectedIndex(m_settings->readNumber(settingskeys::kInstrumentsSelected, 0, 0,
                                                    catalogue::kInstrumentCount - 1));

    // Calendar view.
    m_newsPanel->loadNews();

    m_window->show();
    co_return true;
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

void Application::exitProgram()
{
    shutdown();
    m_window->hide();
    QCoreApplication::quit();
}

void Application::shutdown()
{
    if (m_shutDown || !m_ownsInstance)
        return;
    m_shutDown = true;
    storeAtShutdown(*m_settings,
                    snapshotOf(m_state, m_window->heightTwips(), m_window->splitterCaption()));
    exportfiles::cleanExportFolders(*m_settings);
}
