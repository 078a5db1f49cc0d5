#pragma once

#include "testhttpserver.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <functional>

// A TestHttpServer on a thread of its own, as a real server is another process: nothing the GUI
// thread does holds its answers up. `setUp` runs on that thread once the server listens, to give
// it its routes and delays.
class TestServerThread final
{
public:
    explicit TestServerThread(const std::function<void(TestHttpServer &server)> &setUp);
    ~TestServerThread();
    Q_DISABLE_COPY_MOVE(TestServerThread)

    // "http://127.0.0.1:<port>/"
    QString address() const { return m_address; }

private:
    QThread m_thread;
    QObject m_context;
    TestHttpServer *m_server = nullptr;
    QString m_address;
};
