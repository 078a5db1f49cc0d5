#pragma once

#include "market/candle.h"
#include "testhttpserver.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <memory>
#include <vector>

// Dukascopy's candle service on 127.0.0.1, replaying given minute series in its format:
//   v1/candles/minute/{CODE}/BID/{YYYY}/{M}/{D}    minutes of a UTC day
//   v1/candles/minute/{CODE}/BID?from={ms}         minutes of the day starting there, so far
//   v1/candles/hour/{CODE}/BID/{YYYY}/{M}          hours of a UTC month
//   v1/candles/hour/{CODE}/BID?from={ms}           hours of the month starting there, so far
// "So far" runs to the replay's present, the candle forming at `now` included, as the service
// shows it. Unknown codes and paths get 404. Failures are queued with failNext().
class DukascopyReplay
{
public:
    DukascopyReplay();

    QString baseAddress() const { return m_server.baseAddress(); }
    TestHttpServer &server() { return m_server; }

    // Prices are on the grid of 10^-decimals, which is also the answers' multiplier.
    void setCandles(const QString &code, const std::vector<Candle> &minutes, int decimals);
    // The same series for every one of `codes`, held once (a bench replays dozens of them).
    void setCandles(const QStringList &codes, const std::vector<Candle> &minutes, int decimals);
    void setNow(qint64 minute) { m_now = minute; }
    // The next `count` requests get `route` instead of their answer.
    void failNext(const TestHttpServer::Route &route, int count = 1);
    // The next `count` requests, before the failures queued after this, are answered.
    void answerNext(int count);
    void clearFailures() { m_failures.clear(); }

    // The service's JSON for these candles of `stepMinutes`, delta-encoded from the first.
    static QByteArray encode(const std::vector<Candle> &candles, int stepMinutes, int decimals);

private:
    std::optional<TestHttpServer::Route> respond(const QHttpServerRequest &request);

    struct Series
    {
        std::shared_ptr<const std::vector<Candle>> minutes;
        std::shared_ptr<const std::vector<Candle>> hours;
        int decimals = 5;
    };
    TestHttpServer m_server;
    QHash<QString, Series> m_series;
    QList<std::optional<TestHttpServer::Route>> m_failures; // nothing: answer
    qint64 m_now = 0;
};
