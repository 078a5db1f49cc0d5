#pragma once

#include <QAbstractHttpServer>
#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QUrlQuery>

#include <functional>

// binance's klines endpoint on 127.0.0.1, replaying its documented format from the replay path:
// GET /api/v3/klines?symbol=&interval=1m|15m|1h&startTime=&endTime=&limit= answers arrays
// [openTime, "open", "high", "low", "close", "volume", closeTime, ...] oldest first, at most
// `limit` (500 unless asked, 1000 at most), the bar of the present still forming, with Date and
// X-MBX-USED-WEIGHT-1M headers (2 a request). It can be told to misbehave as binance does.
class BinanceReplay final : public QAbstractHttpServer
{
    Q_OBJECT
public:
    enum class Fault
    {
        None,
        RateLimited,   // 429 with Retry-After
        Banned,        // 418 with Retry-After
        RegionBlocked, // 451
        ServerError,   // 502 with an HTML page
        Truncated,     // 200 with the JSON cut in half
        Garbage,       // 200 with an HTML page
        Outage,        // the connection dropped without an answer
    };

    struct Request
    {
        QString symbol;
        QString interval;
        qint64 startTime = 0;
        qint64 endTime = 0;
    };

    // `now` is the replay's present: what has closed, what forms, the Date header.
    explicit BinanceReplay(std::function<QDateTime()> now, QObject *parent = nullptr);

    quint16 start();
    QString baseAddress() const; // "http://127.0.0.1:<port>"

    // The next `count` klines requests (every one with -1) meet the fault.
    void setFault(Fault fault, int count = -1, int retryAfterSeconds = 30);
    // The weight header reports this instead of what was used (-1: what was used).
    void setReportedWeight(int weight) { m_reportedWeight = weight; }
    // Symbols binance does not list: 400 {"code":-1121,"msg":"Invalid symbol."}.
    void setUnknownSymbols(const QStringList &symbols) { m_unknown = symbols; }

    QList<Request> requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    QByteArray klines(const Request &request, int limit, qint64 nowMs) const;
    void answer(QTcpSocket *socket, int status, const QByteArray &body,
                const QByteArray &contentType, const QList<QByteArray> &extraHeaders);

    std::function<QDateTime()> m_now;
    Fault m_fault = Fault::None;
    int m_faultCount = 0;
    int m_retryAfter = 30;
    int m_reportedWeight = -1;
    qint64 m_weightMinute = -1;
    int m_usedWeight = 0;
    QStringList m_unknown;
    QList<Request> m_requests;
};
