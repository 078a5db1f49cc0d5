#pragma once

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <chrono>

// A real HTTP server on 127.0.0.1 for tests: serves given bodies per path and can answer with an
// error status, late, never, by dropping the connection, with a body over a size cap, or with
// whatever bytes a test needs. Unknown paths get 404. It also receives: every request is kept
// whole (method, headers, body), and a path can be given answers to use once each, in order.
class TestHttpServer final : public QAbstractHttpServer
{
    Q_OBJECT
public:
    enum class Behaviour
    {
        Answer,      // status line, headers and body
        Hang,        // read the request and never answer
        Drop,        // close the connection without answering
        DropMidBody, // announce a body, send part of it and close
    };

    struct Route
    {
        QByteArray body;
        int status = 200;
        std::chrono::milliseconds delay{0};
        Behaviour behaviour = Behaviour::Answer;
        QByteArray contentType = "text/xml; charset=utf-8";
        QList<QPair<QByteArray, QByteArray>> headers = {}; // further headers of the answer
    };

    struct Received
    {
        QByteArray method;
        QString path;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;

        // The value of a header, its name in any case; empty when it was not sent.
        QByteArray header(const QByteArray &name) const;
    };

    explicit TestHttpServer(QObject *parent = nullptr);
    ~TestHttpServer() override;

    // Listens on 127.0.0.1 with a free port; returns the port (0 on failure).
    quint16 start();
    // "http://127.0.0.1:<port>/"
    QString baseAddress() const;

    // Paths are given without the leading "/", as under the base address: "signals/gold.xml".
    void setRoute(const QString &path, const Route &route);
    void serve(const QString &path, const QByteArray &body, int status = 200);
    // Serves a well-formed document whose "data" element holds the given text.
    void serveData(const QString &path, const QString &dataText);
    void removeRoute(const QString &path);
    // Answers the next request for the path with this route, once; later ones come in turn, and
    // when none is left the path's own route answers.
    void queueAnswer(const QString &path, const Route &route);
    // Delay added to every answer whose route has none.
    void setDefaultDelay(std::chrono::milliseconds delay) { m_defaultDelay = delay; }

    // Requests seen, as paths in arrival order.
    QStringList requests() const { return m_requests; }
    int requestCount(const QString &path) const { return m_requests.count(path); }
    void clearRequests()
    {
        m_requests.clear();
        m_received.clear();
    }
    // Requests seen, whole, in arrival order.
    QList<Received> received() const { return m_received; }
    // Most requests that were waiting for their answer at the same moment.
    int maxInFlight() const { return m_maxInFlight; }

    // A document in the form the signal server publishes, with the text escaped.
    static QByteArray dataDocument(const QString &dataText);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    void answer(QTcpSocket *socket, const Route &route);

    QHash<QString, Route> m_routes;
    QHash<QString, QQueue<Route>> m_queued;
    QStringList m_requests;
    QList<Received> m_received;
    std::chrono::milliseconds m_defaultDelay{0};
    int m_inFlight = 0;
    int m_maxInFlight = 0;
};
