#include "testhttpserver.h"

#include <QHostAddress>
#include <QHttpServerRequest>
#include <QMetaEnum>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 429:
        return "Too Many Requests";
    case 451:
        return "Unavailable For Legal Reasons";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

QByteArray head(const TestHttpServer::Route &route, qint64 contentLength)
{
    QByteArray extra;
    for (const auto &[name, value] : route.headers)
        extra += name + ": " + value + "\r\n";
    return "HTTP/1.1 " + QByteArray::number(route.status) + ' ' + reasonPhrase(route.status) +
           "\r\n" + "Content-Type: " + route.contentType + "\r\n" +
           "Content-Length: " + QByteArray::number(contentLength) + "\r\n" + extra +
           "Connection: keep-alive\r\n\r\n";
}

} // namespace

TestHttpServer::TestHttpServer(QObject *parent)
    : QAbstractHttpServer(parent)
{
    m_clock.start();
}

TestHttpServer::~TestHttpServer() = default;

quint16 TestHttpServer::start()
{
    return listen(QHostAddress::LocalHost, 0);
}

QString TestHttpServer::baseAddress() const
{
    const QList<quint16> ports = const_cast<TestHttpServer *>(this)->serverPorts();
    return QStringLiteral("http://127.0.0.1:%1/").arg(ports.isEmpty() ? 0 : ports.first());
}

void TestHttpServer::setRoute(const QString &path, const Route &route)
{
    m_routes.insert(path, route);
}

void TestHttpServer::serve(const QString &path, const QByteArray &body, int status)
{
    Route route;
    route.body = body;
    route.status = status;
    setRoute(path, route);
}

void TestHttpServer::serveData(const QString &path, const QString &dataText)
{
    serve(path, dataDocument(dataText));
}

void TestHttpServer::removeRoute(const QString &path)
{
    m_routes.remove(path);
}

TestHttpServer::Route TestHttpServer::htmlPage(const QByteArray &html)
{
    Route route;
    route.body = html;
    route.contentType = "text/html; charset=utf-8";
    return route;
}

void TestHttpServer::queueAnswer(const QString &path, const Route &route)
{
    m_queued[path].enqueue(route);
}

QByteArray TestHttpServer::Received::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

QByteArray TestHttpServer::dataDocument(const QString &dataText)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<document><data>" +
           dataText.toHtmlEscaped().toUtf8() + "</data></document>\n";
}

bool TestHttpServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    const QString path = request.url().path().mid(1);
    m_requests << path;
    const QString query = request.url().query(QUrl::FullyDecoded);
    m_targets << (query.isEmpty() ? path : path + QLatin1Char('?') + query);
    m_moments << m_clock.elapsed();
    const char *method = QMetaEnum::fromType<QHttpServerRequest::Method>().valueToKey(
        static_cast<int>(request.method()));
    m_received << Received{QByteArray(method).toUpper(), path, request.headers(), request.body()};
    Route route;
    if (std::optional<Route> answered = m_responder ? m_responder(request) : std::nullopt) {
        route = *answered;
    } else if (!m_queued.value(path).isEmpty()) {
        route = m_queued[path].dequeue();
    } else if (m_routes.contains(path)) {
        route = m_routes.value(path);
    } else {
        route.status = 404;
        route.body = "not found";
        route.contentType = "text/plain";
    }
    if (route.delay.count() == 0)
        route.delay = m_defaultDelay;

    switch (route.behaviour) {
    case Behaviour::Hang:
        return true;
    case Behaviour::Drop:
        socket->abort();
        return true;
    default:
        break;
    }

    ++m_inFlight;
    m_maxInFlight = std::max(m_maxInFlight, m_inFlight);
    if (route.delay.count() == 0) {
        answer(socket, route);
        return true;
    }
    QTimer::singleShot(route.delay, this, [this, socket = QPointer<QTcpSocket>(socket), route] {
        if (socket)
            answer(socket, route);
        else
            --m_inFlight;
    });
    return true;
}

void TestHttpServer::answer(QTcpSocket *socket, const Route &route)
{
    --m_inFlight;
    if (route.behaviour == Behaviour::DropMidBody) {
        socket->write(head(route, route.body.size() + 1000));
        socket->write(route.body.left(route.body.size() / 2));
        socket->flush();
        socket->disconnectFromHost();
        return;
    }
    if (route.trickle.count() > 0) {
        trickle(socket, route);
        return;
    }
    // One write: a body sent apart from its head waits for the client's delayed acknowledgement.
    socket->write(head(route, route.body.size()) + route.body);
}

void TestHttpServer::trickle(QTcpSocket *socket, const Route &route)
{
    socket->write(head(route, route.body.size()));
    auto *timer = new QTimer(socket);
    connect(timer, &QTimer::timeout, socket,
            [socket, timer, body = route.body, sent = 0]() mutable {
                socket->write(body.mid(sent++, 1));
                if (sent >= body.size())
                    timer->deleteLater();
            });
    timer->start(route.trickle);
}

void TestHttpServer::missingHandler(const QHttpServerRequest &, QTcpSocket *socket)
{
    Route notFound;
    notFound.status = 404;
    notFound.contentType = "text/plain";
    socket->write(head(notFound, 0));
}
