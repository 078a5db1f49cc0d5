#pragma once

#include "market/candle.h"
#include "testhttpserver.h"

#include <QHash>
#include <QList>

#include <limits>
#include <vector>

// OANDA's v20 candles endpoint on 127.0.0.1, replaying given minute series:
//   v3/instruments/{INSTRUMENT}/candles?price=M&granularity=M1|M15|H1&from=…&to=…|count=…
// with the rules the service documents: the bearer token must match (else 401), from and to are
// RFC 3339 or UNIX seconds, `to` must not lie in the future, a range of more than 5000 candles is
// refused (400), and both ends are included; without `to`, the `count` candles (500 unless
// asked) from `from` on, as far as the present, and `count` together with `to` is refused. The candle forming at the present, and any from
// setIncompleteFrom() on, are "complete": false. Failures are queued with failNext().
class OandaReplay
{
public:
    explicit OandaReplay(const QString &token);

    QString baseAddress() const { return m_server.baseAddress(); }
    TestHttpServer &server() { return m_server; }

    void setCandles(const QString &instrument, const std::vector<Candle> &minutes, int decimals);
    // The present: the minute now forming.
    void setNow(qint64 minute) { m_now = minute; }
    // Candles opening at or after this minute are not complete yet.
    void setIncompleteFrom(qint64 minute) { m_incompleteFrom = minute; }
    // Times in the answers as UNIX seconds, whatever the request asked for.
    void setUnixTimes(bool unix) { m_unixTimes = unix; }
    void failNext(const TestHttpServer::Route &route, int count = 1);
    // The next `count` requests, before the failures queued after this, are answered.
    void answerNext(int count);
    void clearFailures() { m_failures.clear(); }

    // Authorization headers seen, in order.
    QList<QByteArray> authorizations() const { return m_authorizations; }

    // An OANDA error answer: {"errorMessage": message} with the status.
    static TestHttpServer::Route error(int status, const QString &message);

private:
    std::optional<TestHttpServer::Route> respond(const QHttpServerRequest &request);

    struct Series
    {
        std::vector<Candle> minutes;
        int decimals = 5;
    };
    TestHttpServer m_server;
    QByteArray m_token;
    QHash<QString, Series> m_series;
    QList<std::optional<TestHttpServer::Route>> m_failures; // nothing: answer
    QList<QByteArray> m_authorizations;
    qint64 m_now = 0;
    qint64 m_incompleteFrom = std::numeric_limits<qint64>::max();
    bool m_unixTimes = false;
};
