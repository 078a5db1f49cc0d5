#include "binancereplay.h"

#include "replaypath.h"

#include <QHostAddress>
#include <QHttpServerRequest>
#include <QLocale>
#include <QTcpSocket>
#include <QTimeZone>

namespace {

constexpr qint64 kMsPerMinute = 60000;
constexpr int kDefaultLimit = 500;
constexpr int kMostLimit = 1000;

int intervalMinutes(const QString &interval)
{
    if (interval == QLatin1String("1m"))
        return 1;
    if (interval == QLatin1String("15m"))
        return 15;
    if (interval == QLatin1String("1h"))
        return 60;
    return 0;
}

QByteArray price(double value)
{
    return '"' + QByteArray::number(value, 'f', 8) + '"';
}

QByteArray httpDate(const QDateTime &moment)
{
    return QLocale::c()
        .toString(moment.toUTC(), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"))
        .toLatin1();
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 418:
        return "I'm a teapot";
    case 429:
        return "Too Many Requests";
    case 451:
        return "Unavailable For Legal Reasons";
    default:
        return "Status";
    }
}

} // namespace

BinanceReplay::BinanceReplay(std::function<QDateTime()> now, QObject *parent)
    : QAbstractHttpServer(parent)
    , m_now(std::move(now))
{}

quint16 BinanceReplay::start()
{
    return listen(QHostAddress::LocalHost, 0);
}

QString BinanceReplay::baseAddress() const
{
    const QList<quint16> ports = const_cast<BinanceReplay *>(this)->serverPorts();
    return QStringLiteral("http://127.0.0.1:%1").arg(ports.isEmpty() ? 0 : ports.first());
}

void BinanceReplay::setFault(Fault fault, int count, int retryAfterSeconds)
{
    m_fault = fault;
    m_faultCount = count;
    m_retryAfter = retryAfterSeconds;
}

QByteArray BinanceReplay::klines(const Request &request, int limit, qint64 nowMs) const
{
    const int minutes = intervalMinutes(request.interval);
    const qint64 stepMs = minutes * kMsPerMinute;
    qint64 open = (request.startTime + stepMs - 1) / stepMs * stepMs;
    const qint64 nowMinute = nowMs / kMsPerMinute;
    const replaypath::Path path(request.symbol);
    QByteArray body = "[";
    int rows = 0;
    for (; open <= request.endTime && open <= nowMs && rows < limit; open += stepMs, ++rows) {
        const replaypath::Bar bar = path.bar(open / kMsPerMinute, minutes, nowMinute);
        if (rows > 0)
            body += ',';
        body += '[' + QByteArray::number(open) + ',' + price(bar.open) + ',' + price(bar.high) +
                ',' + price(bar.low) + ',' + price(bar.close) + ",\"12.50000000\"," +
                QByteArray::number(open + stepMs - 1) +
                ",\"775000.00000000\",420,\"6.25000000\",\"387500.00000000\",\"0\"]";
    }
    return body + ']';
}

bool BinanceReplay::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    const QDateTime now = m_now();
    const qint64 nowMs = now.toMSecsSinceEpoch();
    if (request.url().path() != QLatin1String("/api/v3/klines")) {
        answer(socket, 404, "{\"code\":-1,\"msg\":\"not found\"}", "application/json", {});
        return true;
    }
    const QUrlQuery query = request.query();
    Request asked;
    asked.symbol = query.queryItemValue(QStringLiteral("symbol"));
    asked.interval = query.queryItemValue(QStringLiteral("interval"));
    const int minutes = intervalMinutes(asked.interval);
    const int limit =
        std::min(kMostLimit, query.hasQueryItem(QStringLiteral("limit"))
                                 ? query.queryItemValue(QStringLiteral("limit")).toInt()
                                 : kDefaultLimit);
    asked.endTime = query.hasQueryItem(QStringLiteral("endTime"))
                        ? query.queryItemValue(QStringLiteral("endTime")).toLongLong()
                        : nowMs;
    asked.startTime = query.hasQueryItem(QStringLiteral("startTime"))
                          ? query.queryItemValue(QStringLiteral("startTime")).toLongLong()
                          : asked.endTime - qint64(limit) * minutes * kMsPerMinute;
    m_requests << asked;

    const qint64 minute = nowMs / kMsPerMinute;
    if (minute != m_weightMinute) {
        m_weightMinute = minute;
        m_usedWeight = 0;
    }
    m_usedWeight += 2;
    const QList<QByteArray> headers{
        "X-MBX-USED-WEIGHT-1M: " +
        QByteArray::number(m_reportedWeight >= 0 ? m_reportedWeight : m_usedWeight)};
    const QByteArray retryAfter = "Retry-After: " + QByteArray::number(m_retryAfter);

    Fault fault = Fault::None;
    if (m_fault != Fault::None && m_faultCount != 0) {
        fault = m_fault;
        if (m_faultCount > 0 && --m_faultCount == 0)
            m_fault = Fault::None;
    }
    switch (fault) {
    case Fault::None:
        break;
    case Fault::RateLimited:
        answer(socket, 429,
               "{\"code\":-1003,\"msg\":\"Too much request weight used; current limit is 6000 "
               "request weight per 1 MINUTE. Please use WebSocket Streams for live updates to "
               "avoid polling the API.\"}",
               "application/json", headers + QList<QByteArray>{retryAfter});
        return true;
    case Fault::Banned:
        answer(socket, 418,
               "{\"code\":-1003,\"msg\":\"Way too much request weight used; IP banned until "
               "1715681163000. Please use WebSocket Streams for live updates to avoid bans.\"}",
               "application/json", headers + QList<QByteArray>{retryAfter});
        return true;
    case Fault::RegionBlocked:
        answer(socket, 451,
               "{\"code\":0,\"msg\":\"Service unavailable from a restricted location according "
               "to 'b. Eligibility' in https://www.binance.com/en/terms. Please contact "
               "customer service if you believe you received this message in error.\"}",
               "application/json", {});
        return true;
    case Fault::ServerError:
        answer(socket, 502, "<html><body><h1>502 Bad Gateway</h1></body></html>", "text/html", {});
        return true;
    case Fault::Garbage:
        answer(socket, 200, "<html><body>Maintenance</body></html>", "text/html", headers);
        return true;
    case Fault::Outage:
        socket->abort();
        return true;
    case Fault::Truncated: {
        const QByteArray body = klines(asked, limit, nowMs);
        answer(socket, 200, body.left(body.size() / 2), "application/json", headers);
        return true;
    }
    }
    if (minutes == 0) {
        answer(socket, 400, "{\"code\":-1120,\"msg\":\"Invalid interval.\"}", "application/json",
               headers);
        return true;
    }
    if (m_unknown.contains(asked.symbol)) {
        answer(socket, 400, "{\"code\":-1121,\"msg\":\"Invalid symbol.\"}", "application/json",
               headers);
        return true;
    }
    answer(socket, 200, klines(asked, limit, nowMs), "application/json", headers);
    return true;
}

void BinanceReplay::answer(QTcpSocket *socket, int status, const QByteArray &body,
                           const QByteArray &contentType, const QList<QByteArray> &extraHeaders)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) +
                      "\r\nContent-Type: " + contentType +
                      "\r\nContent-Length: " + QByteArray::number(body.size()) +
                      "\r\nDate: " + httpDate(m_now()) + "\r\nConnection: keep-alive\r\n";
    for (const QByteArray &header : extraHeaders)
        head += header + "\r\n";
    // One write: a body sent apart from its head waits for the client's delayed acknowledgement.
    socket->write(head + "\r\n" + body);
}

void BinanceReplay::missingHandler(const QHttpServerRequest &, QTcpSocket *socket)
{
    answer(socket, 404, QByteArray(), "text/plain", {});
}
