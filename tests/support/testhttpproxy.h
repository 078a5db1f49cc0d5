#pragma once

#include <QStringList>
#include <QTcpServer>

// A forward HTTP proxy on 127.0.0.1 for tests: every request it is handed, whatever host it
// names, goes on to one origin server on loopback, so a test can use a name nobody resolves and
// see that the request came through here. It notes each request line that passes; a CONNECT
// (an https tunnel) is noted and refused.
class TestHttpProxy final : public QTcpServer
{
    Q_OBJECT
public:
    explicit TestHttpProxy(QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(TestHttpProxy)

    // Listens on a free loopback port and forwards to the origin's port; returns the port.
    quint16 start(quint16 originPort);
    // "http://127.0.0.1:<port>", as http_proxy names a proxy.
    QString address() const;

    // "GET http://signals.example.test/signals/eurusd.xml HTTP/1.1", in arrival order.
    QStringList requestLines() const { return m_requestLines; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    quint16 m_originPort = 0;
    QStringList m_requestLines;
};
