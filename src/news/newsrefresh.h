#pragma once

#include "app/clock.h"
#include "market/serverpaths.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <QCoroTask>

#include <chrono>

class AppState;
class ServerAccess;
struct FetchResult;

namespace newsrefresh {

// The calendar and the lists are fetched again at minutes 0, 10, 20, 30, 40 and 50.
bool isRefreshMinute(const QDateTime &now);

} // namespace newsrefresh

// Timer4: every interval (50 s) it checks the minute, and at a refresh minute fetches the
// calendar, the review list and the news list again, in this order, into the program state.
// When the last of them loaded it announces `refreshed` so that the visible grid is redrawn;
// after a failed fetch the grids keep what they show. A document that failed keeps its last good
// text. A tick while a refresh is still
// fetching is skipped.
class NewsRefresh final : public QObject
{
    Q_OBJECT
public:
    NewsRefresh(ServerAccess &server, AppState &state, Clock clock,
                std::chrono::milliseconds interval, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(NewsRefresh)

    // Switches Timer4 on.
    void start();
    QTimer &timer() { return m_timer; }

    // The work of one tick, minute rule included.
    QCoro::Task<> refresh();

Q_SIGNALS:
    void refreshed();

private:
    void tick();
    void take(const serverpaths::Document &document, const FetchResult &result,
              void (AppState::*store)(const QString &));

    ServerAccess &m_server;
    AppState &m_state;
    Clock m_clock;
    QTimer m_timer;
    bool m_running = false;
};
