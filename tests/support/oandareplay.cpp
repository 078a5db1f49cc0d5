#include "oandareplay.h"

#include "replaymarket.h"

#include <QDateTime>
#include <QHttpServerRequest>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

namespace {

std::optional<qint64> minuteOfTime(const QString &text)
{
    bool isNumber = false;
    const double seconds = text.toDouble(&isNumber);
    if (isNumber)
        return qint64(seconds) / 60;
    const QDateTime moment = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!moment.isValid())
        return std::nullopt;
    return moment.toSecsSinceEpoch() / 60;
}

// As many candles as the service gives when a request names no end.
constexpr int kDefaultCount = 500;

int stepOf(const QString &granularity)
{
    if (granularity == QLatin1String("M1"))
        return 1;
    if (granularity == QLatin1String("M15"))
        return 15;
    if (granularity == QLatin1String("H1"))
        return 60;
    return 0;
}

} // namespace

OandaReplay::OandaReplay(const QString &token)
    : m_token("Bearer " + token.toUtf8())
{
    m_server.start();
    m_server.setResponder([this](const QHttpServerRequest &request) { return respond(request); });
}

void OandaReplay::setCandles(const QString &instrument, const std::vector<Candle> &minutes,
                             int decimals)
{
    m_series.insert(instrument, Series{minutes, decimals});
}

void OandaReplay::failNext(const TestHttpServer::Route &route, int count)
{
    for (int i = 0; i < count; ++i)
        m_failures << route;
}

void OandaReplay::answerNext(int count)
{
    for (int i = 0; i < count; ++i)
        m_failures << std::nullopt;
}

TestHttpServer::Route OandaReplay::error(int status, const QString &message)
{
    TestHttpServer::Route route;
    route.status = status;
    route.contentType = "application/json";
    route.body = QJsonDocument(QJsonObject{{QStringLiteral("errorMessage"), message}})
                     .toJson(QJsonDocument::Compact);
    return route;
}

std::optional<TestHttpServer::Route> OandaReplay::respond(const QHttpServerRequest &request)
{
    m_authorizations << request.value("Authorization");
    if (!m_failures.isEmpty()) {
        if (std::optional<TestHttpServer::Route> failure = m_failures.takeFirst())
            return failure;
    }
    if (request.value("Authorization") != m_token)
        return error(401, QStringLiteral("Insufficient authorization to perform request."));
    // v3 / instruments / INSTRUMENT / candles
    const QStringList parts = request.url().path().mid(1).split(QLatin1Char('/'));
    if (parts.size() != 4 || parts[0] != QLatin1String("v3") ||
        parts[1] != QLatin1String("instruments") || parts[3] != QLatin1String("candles"))
        return error(404, QStringLiteral("Resource not found"));
    if (!m_series.contains(parts[2]))
        return error(400, QStringLiteral("Invalid value specified for 'instrument'"));
    const QUrlQuery query = request.query();
    if (query.queryItemValue(QStringLiteral("price")) != QLatin1String("M"))
        return error(400, QStringLiteral("Invalid value specified for 'price'"));
    const int step = stepOf(query.queryItemValue(QStringLiteral("granularity")));
    const std::optional<qint64> from = minuteOfTime(query.queryItemValue(QStringLiteral("from")));
    const bool hasTo = query.hasQueryItem(QStringLiteral("to"));
    const std::optional<qint64> to = minuteOfTime(query.queryItemValue(QStringLiteral("to")));
    bool countIsNumber = false;
    const int count = query.hasQueryItem(QStringLiteral("count"))
                          ? query.queryItemValue(QStringLiteral("count")).toInt(&countIsNumber)
                          : kDefaultCount;
    if (step == 0)
        return error(400, QStringLiteral("Invalid value specified for 'granularity'"));
    if (!from || (hasTo && (!to || *to < *from)))
        return error(400, QStringLiteral("Invalid value specified for 'from' or 'to'"));
    if (hasTo && *to > m_now)
        return error(400,
                     QStringLiteral("Invalid value specified for 'to'. Time is in the future"));
    if (hasTo && query.hasQueryItem(QStringLiteral("count")))
        return error(400, QStringLiteral("Invalid value specified for 'count'"));
    if ((hasTo ? (*to - *from) / step : count) > 5000 ||
        (query.hasQueryItem(QStringLiteral("count")) && (!countIsNumber || count < 1)))
        return error(400, QStringLiteral("Maximum value for 'count' exceeded"));

    const Series &series = m_series[parts[2]];
    std::vector<Candle> candles = within(aggregated(within(series.minutes, 0, m_now + 1), step),
                                         *from, hasTo ? *to + 1 : m_now + 1);
    if (!hasTo && candles.size() > size_t(count))
        candles.resize(size_t(count));
    QJsonArray list;
    for (const Candle &candle : candles) {
        const bool forming = candle.minute + step > m_now || candle.minute >= m_incompleteFrom;
        const QDateTime time = QDateTime::fromSecsSinceEpoch(candle.minute * 60, QTimeZone::utc());
        auto price = [&series](double value) {
            return QString::number(value, 'f', series.decimals);
        };
        list << QJsonObject{
            {QStringLiteral("complete"), !forming},
            {QStringLiteral("volume"), 42},
            {QStringLiteral("time"),
             m_unixTimes ? QStringLiteral("%1.000000000").arg(candle.minute * 60)
                         : time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.000000000Z"))},
            {QStringLiteral("mid"), QJsonObject{{QStringLiteral("o"), price(candle.open)},
                                                {QStringLiteral("h"), price(candle.high)},
                                                {QStringLiteral("l"), price(candle.low)},
                                                {QStringLiteral("c"), price(candle.close)}}}};
    }
    TestHttpServer::Route route;
    route.contentType = "application/json";
    route.body = QJsonDocument(QJsonObject{{QStringLiteral("instrument"), parts[2]},
                                           {QStringLiteral("granularity"),
                                            query.queryItemValue(QStringLiteral("granularity"))},
                                           {QStringLiteral("candles"), list}})
                     .toJson(QJsonDocument::Compact);
    return route;
}
