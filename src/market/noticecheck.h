#pragma once

#include "app/timings.h"

#include <QObject>
#include <QTimer>

#include <QCoroTask>

class AppState;
class ServerAccess;

// Looks for a server notice once a minute; a notice that passes the notice rule is shown at most
// once per run, whether start-up or this check found it first.
class NoticeCheck final : public QObject
{
    Q_OBJECT
public:
    NoticeCheck(ServerAccess &server, AppState &state, const Timings &timings,
                QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(NoticeCheck)

    // Arms the once-a-minute check.
    void start();
    QCoro::Task<> check();

Q_SIGNALS:
    // The notice to put in front of the user.
    void noticeDue(const QString &notice);

private:
    ServerAccess &m_server;
    AppState &m_state;
    QTimer m_timer; // Timer6
    bool m_running = false;
};
