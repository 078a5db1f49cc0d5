#include "dukascopyreplay.h"

#include "replaymarket.h"

#include <QDate>
#include <QDateTime>
#include <QHttpServerRequest>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <cmath>

namespace {

qint64 minuteOfDate(const QDate &date)
{
    return QDateTime(date, QTime(0, 0), QTimeZone::utc()).toSecsSinceEpoch() / 60;
}

TestHttpServer::Route json(const QByteArray &body)
{
    TestHttpServer::Route route;
    route.body = body;
    route.contentType = "application/json";
    return route;
}

TestHttpServer::Route notFound()
{
    TestHttpServer::Route route = json(R"({"error":"not found"})");
    route.status = 404;
    return route;
}

} // namespace

DukascopyReplay::DukascopyReplay()
{
    m_server.start();
    m_server.setResponder([this](const QHttpServerRequest &request) { return respond(request); });
}

void DukascopyReplay::setCandles(const QString &code, const std::vector<Candle> &minutes,
                                 int decimals)
{
    setCandles(QStringList{code}, minutes, decimals);
}

void DukascopyReplay::setCandles(const QStringList &codes, const std::vector<Candle> &minutes,
                                 int decimals)
{
    const Series series{std::make_shared<const std::vector<Candle>>(minutes),
                        std::make_shared<const std::vector<Candle>>(aggregated(minutes, 60)),
                        decimals};
    for (const QString &code : codes)
        m_series.insert(code, series);
}

void DukascopyReplay::failNext(const TestHttpServer::Route &route, int count)
{
    for (int i = 0; i < count; ++i)
        m_failures << route;
}

void DukascopyReplay::answerNext(int count)
{
    for (int i = 0; i < count; ++i)
        m_failures << std::nullopt;
}

QByteArray DukascopyReplay::encode(const std::vector<Candle> &candles, int stepMinutes,
                                   int decimals)
{
    const double scale = std::pow(10.0, decimals);
    QJsonObject object;
    QJsonArray times, opens, highs, lows, closes, volumes;
    if (!candles.empty()) {
        const Candle &first = candles.front();
        object.insert(QStringLiteral("timestamp"), double(first.minute) * 60000);
        object.insert(QStringLiteral("multiplier"), 1 / scale);
        object.insert(QStringLiteral("shift"), double(stepMinutes) * 60000);
        object.insert(QStringLiteral("open"), first.open);
        object.insert(QStringLiteral("high"), first.high);
        object.insert(QStringLiteral("low"), first.low);
        object.insert(QStringLiteral("close"), first.close);
        const Candle *previous = &first;
        for (const Candle &candle : candles) {
            auto delta = [scale](double now, double before) {
                return double(std::llround(now * scale) - std::llround(before * scale));
            };
            times << double((candle.minute - previous->minute) / stepMinutes);
            opens << delta(candle.open, previous->open);
            highs << delta(candle.high, previous->high);
            lows << delta(candle.low, previous->low);
            closes << delta(candle.close, previous->close);
            volumes << 1.25;
            previous = &candle;
        }
    }
    object.insert(QStringLiteral("times"), times);
    object.insert(QStringLiteral("opens"), opens);
    object.insert(QStringLiteral("highs"), highs);
    object.insert(QStringLiteral("lows"), lows);
    object.insert(QStringLiteral("closes"), closes);
    object.insert(QStringLiteral("volumes"), volumes);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<TestHttpServer::Route> DukascopyReplay::respond(const QHttpServerRequest &request)
{
    if (!m_failures.isEmpty()) {
        if (std::optional<TestHttpServer::Route> failure = m_failures.takeFirst())
            return failure;
    }
    // v1 / candles / minute|hour / CODE / BID [/ YYYY / M [/ D]]
    const QStringList parts = request.url().path().mid(1).split(QLatin1Char('/'));
    if (parts.size() < 5 || parts[0] != QLatin1String("v1") ||
        parts[1] != QLatin1String("candles") || parts[4] != QLatin1String("BID") ||
        !m_series.contains(parts[3]))
        return notFound();
    const bool minutes = parts[2] == QLatin1String("minute");
    if (!minutes && parts[2] != QLatin1String("hour"))
        return notFound();
    const Series &series = m_series[parts[3]];
    qint64 start = 0;
    qint64 end = 0;
    if (parts.size() == 5) {
        bool ok = false;
        const qint64 fromMs =
            request.query().queryItemValue(QStringLiteral("from")).toLongLong(&ok);
        if (!ok)
            return notFound();
        start = fromMs / 60000;
        end = m_now + 1;
    } else if (parts.size() == (minutes ? 8 : 7)) {
        const QDate date(parts[5].toInt(), parts[6].toInt(), minutes ? parts[7].toInt() : 1);
        if (!date.isValid())
            return notFound();
        start = minuteOfDate(date);
        end = minutes ? start + 1440 : minuteOfDate(date.addMonths(1));
        end = std::min(end, m_now + 1);
    } else {
        return notFound();
    }
    const int step = minutes ? 1 : 60;
    return json(encode(within(minutes ? *series.minutes : *series.hours, start, end), step,
                       series.decimals));
}
