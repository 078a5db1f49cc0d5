#pragma once

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QPair>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>

// A real HTTP server on 127.0.0.1 for tests: serves given bodies per path and can answer with an
// error status, late, never, by dropping the connection, byte by byte, with a body over a size
// cap, or with whatever bytes a test needs. Unknown paths get 404. It also receives: every request
// is kept whole (method, headers, body), and a path can be given answers to use once each, in
// order.
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
        QList<QPair<QByteArray, QByteArray>> headers{}; // sent besides the usual ones
        // When set, the body follows its head one byte at a time at this interval.
        std::chrono::milliseconds trickle{0};
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
    // Answers a request itself, or leaves it to the routes by giving nothing.
    using Responder = std::function<std::optional<Route>(const QHttpServerRequest &request)>;

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
    // Asked first for every request: for services whose answer depends on the query.
    void setResponder(const Responder &responder) { m_responder = responder; }
    // Answers the next request for the path with this route, once; later ones come in turn, and
    // when none is left the path's own route answers.
    void queueAnswer(const QString &path, const Route &route);
    // Delay added to every answer whose route has none.
    void setDefaultDelay(std::chrono::milliseconds delay) { m_defaultDelay = delay; }

    // Requests seen, as paths in arrival order.
    QStringList requests() const { return m_requests; }
    int requestCount(const QString &path) const { return m_requests.count(path); }
    // The same with the query: "v1/items?from=1".
    QStringList requestTargets() const { return m_targets; }
    // When they arrived, in milliseconds since the server was made.
    QList<qint64> requestMoments() const { return m_moments; }
    // Milliseconds since the server was made: the clock of requestMoments().
    qint64 elapsed() const { return m_clock.elapsed(); }
    void clearRequests()
    {
        m_requests.clear();
        m_targets.clear();
        m_moments.clear();
        m_received.clear();
    }
    // Requests seen, whole, in arrival order.
    QList<Received> received() const { return m_received; }
    // Most requests that were waiting for their answer at the same moment.
    int maxInFlight() const { return m_maxInFlight; }

    // A document in the form the signal server publishes, with the text escaped.
    static QByteArray dataDocument(const QString &dataText);
    // A route answering with this HTML page.
    static Route htmlPage(const QByteArray &html);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    void answer(QTcpSocket *socket, const Route &route);
    void trickle(QTcpSocket *socket, const Route &route);

    QHash<QString, Route> m_routes;
    Responder m_responder;
    QHash<QString, QQueue<Route>> m_queued;
    QStringList m_requests;
    QStringList m_targets;
    QList<qint64> m_moments;
    QElapsedTimer m_clock;
    QList<Received> m_received;
    std::chrono::milliseconds m_defaultDelay{0};
    int m_inFlight = 0;
    int m_maxInFlight = 0;
};

Q_DECLARE_METATYPE(TestHttpServer::Route)
Q_DECLARE_METATYPE(TestHttpServer::Behaviour)
