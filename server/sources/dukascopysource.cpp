#include "sources/dukascopysource.h"

#include "market/minutes.h"
#include "market/timeframe.h"
#include "sources/dukascopycandles.h"
#include "sources/httpoutcome.h"
#include "sources/sourcehttp.h"

#include "app/version.h"

#include <QDate>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimeZone>
#include <QUrlQuery>

namespace {

qint64 monthStartOf(qint64 minute)
{
    const QDate date = momentOf(minute).date();
    return minuteOf(QDateTime(QDate(date.year(), date.month(), 1), QTime(0, 0), QTimeZone::utc()));
}

bool isCode(const QString &symbol)
{
    static const QRegularExpression code(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._-]*$"));
    return code.match(symbol).hasMatch();
}

} // namespace

qint64 DukascopySource::bucketEnd(Bucket bucket, qint64 start)
{
    return bucket == Bucket::Day ? start + kMinutesPerDay
                                 : monthStartOf(start + 31 * kMinutesPerDay);
}

DukascopySource::DukascopySource(const QUrl &base, SourceHttp &http, Pacing pacing)
    : m_base(base)
    , m_http(http)
    , m_pacer(pacing.burst, pacing.pause)
{}

QString DukascopySource::describe(const QString &symbol) const
{
    return QStringLiteral("dukascopy %1 (bid)").arg(symbol);
}

QCoro::Task<SourceAnswer> DukascopySource::fetch(QString symbol, qint64 fromMinute, qint64 toMinute,
                                                 bool warmUp)
{
    if (!isCode(symbol))
        co_return failedAnswer(
            QStringLiteral("\"%1\" is not a dukascopy instrument code").arg(symbol));
    forgetBefore(symbol, fromMinute);
    SourceAnswer answer;
    if (toMinute <= fromMinute)
        co_return answer;

    qint64 minutesFrom = fromMinute;
    const qint64 lastDay = floorDiv(toMinute - 1, kMinutesPerDay) * kMinutesPerDay;
    const qint64 minuteDaysStart = lastDay - (kWarmUpMinuteDays - 1) * kMinutesPerDay;
    if (warmUp && minuteDaysStart > fromMinute) {
        Fetched hours =
            co_await fetchRun(symbol, Bucket::Month, Range{fromMinute, minuteDaysStart}, toMinute);
        if (std::optional<SourceAnswer> failure = addRun(&answer, std::move(hours), 60))
            co_return *failure;
        minutesFrom = minuteDaysStart;
    }
    Fetched minutes =
        co_await fetchRun(symbol, Bucket::Day, Range{minutesFrom, toMinute}, toMinute);
    if (std::optional<SourceAnswer> failure = addRun(&answer, std::move(minutes), 1))
        co_return *failure;
    co_return answer;
}

std::optional<SourceAnswer> DukascopySource::addRun(SourceAnswer *answer, Fetched fetched,
                                                    int stepMinutes)
{
    if (fetched.failure)
        return fetched.failure;
    if (!fetched.candles.empty())
        answer->runs.push_back(CandleRun{stepMinutes, std::move(fetched.candles)});
    return std::nullopt;
}

QCoro::Task<DukascopySource::Fetched> DukascopySource::fetchRun(QString symbol, Bucket bucket,
                                                                Range range, qint64 now)
{
    Fetched run;
    qint64 start = bucket == Bucket::Day ? floorDiv(range.from, kMinutesPerDay) * kMinutesPerDay
                                         : monthStartOf(range.from);
    while (start < range.to) {
        Fetched part = co_await fetchBucket(symbol, bucket, start, now);
        if (part.failure)
            co_return part;
        for (const Candle &candle : part.candles) {
            if (candle.minute >= range.from && candle.minute < range.to)
                run.candles.push_back(candle);
        }
        start = bucketEnd(bucket, start);
    }
    co_return run;
}

QCoro::Task<DukascopySource::Fetched> DukascopySource::fetchBucket(QString symbol, Bucket bucket,
                                                                   qint64 start, qint64 now)
{
    const qint64 end = bucketEnd(bucket, start);
    const bool completed = end + kSettleMinutes <= now;
    const auto key = std::make_pair(bucket, start);
    if (const auto kept = m_kept.constFind(symbol); kept != m_kept.cend()) {
        if (const auto found = kept->find(key); found != kept->end())
            co_return Fetched{found->second.candles, std::nullopt};
    }

    QNetworkRequest request(bucketUrl(symbol, bucket, start, completed));
    request.setRawHeader("Accept", "application/json");
    request.setRawHeader("User-Agent", QByteArray("quentara-server/") + product::kVersion);
    // History is paced, so that a warm-up comes in bursts with pauses; the bucket in progress,
    // which a live minute asks each instrument for, is not, so no record waits for the pacing.
    if (completed)
        co_await m_pacer.turn();
    const HttpAnswer http = co_await m_http.get(request);
    if (std::optional<SourceAnswer> failure = unsuccessfulAnswer(http)) {
        // A refusal of the whole address, as a firewall in front of the service gives it.
        if (http.received && http.status == 403)
            failure = blockedAnswer(failure->reason);
        co_return Fetched{{}, std::move(failure)};
    }
    ParsedCandles parsed = parseDukascopyCandles(http.body, bucket == Bucket::Day ? 1 : 60);
    if (parsed.error.isEmpty() && !parsed.candles.empty() && parsed.candles.front().minute < start)
        parsed.error = QStringLiteral("candles before the time asked for");
    if (!parsed.error.isEmpty())
        co_return Fetched{{},
                          failedAnswer(QStringLiteral("unreadable answer (%1)").arg(parsed.error))};
    // A bucket in progress may be answered with what followed it too.
    std::erase_if(parsed.candles, [end](const Candle &candle) { return candle.minute >= end; });
    if (completed)
        m_kept[symbol].emplace(key, Kept{end, parsed.candles});
    co_return Fetched{std::move(parsed.candles), std::nullopt};
}

QUrl DukascopySource::bucketUrl(const QString &symbol, Bucket bucket, qint64 start,
                                bool completed) const
{
    const QDate date = momentOf(start).date();
    QString path = m_base.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    path +=
        QStringLiteral("/v1/candles/%1/%2/BID")
            .arg(bucket == Bucket::Day ? QStringLiteral("minute") : QStringLiteral("hour"), symbol);
    QUrl url = m_base;
    if (completed) {
        path += QStringLiteral("/%1/%2").arg(date.year()).arg(date.month());
        if (bucket == Bucket::Day)
            path += QStringLiteral("/%1").arg(date.day());
        url.setQuery(QString());
    } else {
        QUrlQuery query;
        query.addQueryItem(QStringLiteral("from"), QString::number(start * 60000));
        url.setQuery(query);
    }
    url.setPath(path);
    return url;
}

void DukascopySource::forgetBefore(const QString &symbol, qint64 minute)
{
    if (const auto kept = m_kept.find(symbol); kept != m_kept.end())
        std::erase_if(*kept, [minute](const auto &entry) { return entry.second.end <= minute; });
}
