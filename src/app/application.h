#pragma once

#include "app/appstate.h"
#include "app/clock.h"
#include "app/commandline.h"
#include "app/settingsstore.h"
#include "app/singleinstance.h"
#include "app/timings.h"
#include "market/serveraccess.h"
#include "news/newsrefresh.h"

#include <QNetworkAccessManager>
#include <QObject>

#include <QCoroTask>

#include <memory>

class MainWindow;
class NewsPanel;
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

    AppState &state() { return m_state; }
    SettingsStore &settings() { return *m_settings; }
    ServerAccess &server() { return m_server; }
    MainWindow &window() { return *m_window; }
    NewsPanel &newsPanel() { return *m_newsPanel; }
    NewsRefresh &newsRefresh() { return m_newsRefresh; }

private:
    void restoreEnabledInstruments();
    void showNotice(const QString &notice);

    Options m_options;
    std::unique_ptr<SettingsStore> m_settings;
    QNetworkAccessManager m_network;
    ServerAccess m_server;
    AppState m_state;
    SingleInstance m_instance;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<NewsPanel> m_newsPanel;
    NewsRefresh m_newsRefresh;
    UnixSignals *m_unixSignals = nullptr;
    bool m_ownsInstance = false;
    bool m_shutDown = false;
};
