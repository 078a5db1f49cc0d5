#pragma once

#include "app/appstate.h"
#include "app/clock.h"
#include "app/commandline.h"
#include "app/settingsstore.h"
#include "app/singleinstance.h"
#include "app/timings.h"
#include "app/trayoptions.h"
#include "market/marketview.h"
#include "market/noticecheck.h"
#include "market/pollingcycle.h"
#include "market/serveraccess.h"
#include "news/newsrefresh.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>

#include <QCoroTask>

#include <memory>

class DeliveryQueue;
class DesktopSignalOutput;
class JournalDatabase;
class JournalReader;
class JournalWindow;
class MainWindow;
class NewsPanel;
class RemoteDelivery;
class SignalAlert;
class SignalEngine;
class SignalEvaluator;
class SignalJournal;
class SignalPanel;
class SignalSound;
class TrayOwner;
class UnixSignals;

// The program: owns the run-time state, the settings store, the server access and the windows,
// runs the start-up sequence and the orderly shutdown.
class Application final : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        CommandLine commandLine;
        Clock clock;
        Timings timings;
    };

    explicit Application(Options options, QObject *parent = nullptr);
    ~Application() override;
    Q_DISABLE_COPY_MOVE(Application)

    // Runs the start-up sequence; the main window is shown when it completes. Returns false when
    // another copy of the program is running, after telling the user so.
    QCoro::Task<bool> startUp();

    // Exit: the orderly shutdown, then the end of the event loop.
    void exitProgram();
    // Saves what the window does not save at once and cleans the export folders; runs once,
    // whichever way the program ends, and only in the copy that owns the settings.
    void shutdown();
    // The desktop session is ending: saves as the shutdown does. The user may still cancel the
    // log-out and go on, so a later shutdown saves again.
    void saveForSessionEnd();

    // Selects an instrument as a click in the navigator does and shows it.
    QCoro::Task<> selectInstrument(int index);

    AppState &state() { return m_state; }
    SettingsStore &settings() { return *m_settings; }
    ServerAccess &server() { return m_server; }
    MarketView &marketView() { return m_marketView; }
    PollingCycle &pollingCycle() { return m_pollingCycle; }
    MainWindow &window() { return *m_window; }
    // The option menu's ticks, its owner with the notification-area icon, the signal panel.
    TrayOptions &trayOptions() { return m_trayOptions; }
    TrayOwner &tray() { return *m_tray; }
    SignalPanel &signalPanel() { return *m_signalPanel; }
    // Sends delivered signals to the remote targets; the journal's file keeps what is pending.
    RemoteDelivery &remoteDelivery() { return *m_remoteDelivery; }
    // Where the polling cycle hands each instrument for signal evaluation.
    SignalEvaluator &signalEvaluator();
    NewsPanel &newsPanel() { return *m_newsPanel; }
    NewsRefresh &newsRefresh() { return m_newsRefresh; }
    // The signal journal: its file, its table of signals and its window while it is open.
    JournalDatabase &journalDatabase() { return *m_journalDatabase; }
    SignalJournal &signalJournal() { return *m_signalJournal; }
    JournalWindow *journalWindow() const;

    // The journal window, opened or brought to the front.
    void showJournal();

private:
    void restoreEnabledInstruments();
    void saveAndClean();
    void showNotice(const QString &notice);
    void openJournal();

    Options m_options;
    std::unique_ptr<SettingsStore> m_settings;
    QNetworkAccessManager m_network;
    ServerAccess m_server;
    AppState m_state;
    MarketView m_marketView;
    PollingCycle m_pollingCycle;
    NoticeCheck m_noticeCheck;
    SingleInstance m_instance;
    std::unique_ptr<MainWindow> m_window;
    TrayOptions m_trayOptions;
    SignalPanel *m_signalPanel; // a part of the window
    std::unique_ptr<SignalSound> m_signalSound;
    std::unique_ptr<SignalAlert> m_signalAlert;
    std::unique_ptr<DesktopSignalOutput> m_signalOutput;
    std::unique_ptr<SignalEngine> m_signalEngine;
    std::unique_ptr<JournalDatabase> m_journalDatabase;
    std::unique_ptr<SignalJournal> m_signalJournal;
    std::unique_ptr<JournalReader> m_journalReader;
    QPointer<JournalWindow> m_journalWindow;
    bool m_journalChanged = false; // since the last polling cycle ended
    std::unique_ptr<DeliveryQueue> m_deliveryQueue;
    std::unique_ptr<RemoteDelivery> m_remoteDelivery;
    std::unique_ptr<TrayOwner> m_tray;
    std::unique_ptr<NewsPanel> m_newsPanel;
    NewsRefresh m_newsRefresh;
    UnixSignals *m_unixSignals = nullptr;
    bool m_ownsInstance = false;
    bool m_windowStateRestored = false; // the stored flags, selection and layout are shown
    bool m_shutDown = false;
};
