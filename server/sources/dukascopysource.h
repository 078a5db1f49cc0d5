#pragma once

#include "sources/candlesource.h"
#include "sources/requestpacer.h"

#include <QHash>
#include <QUrl>

#include <map>
#include <optional>
#include <utility>

class SourceHttp;

// Dukascopy's keyless candle service (forex pairs, metals, energy, indices, shares), bid side:
//   minute candles of a completed UTC day  GET {base}/v1/candles/minute/{CODE}/BID/{YYYY}/{M}/{D}
//   minute candles of the day in progress  GET {base}/v1/candles/minute/{CODE}/BID?from={day start,
//   ms} hour candles of a completed UTC month  GET {base}/v1/candles/hour/{CODE}/BID/{YYYY}/{M}
//   hour candles of the month in progress  GET {base}/v1/candles/hour/{CODE}/BID?from={month start,
//   ms}
// A warm-up takes hours for the far past and minutes for the last days, so that D1 is readable
// after about 20 requests instead of the 280 days of minutes it would otherwise take. Completed
// days and months are asked for once and kept until the caller has moved past them, and their
// requests are paced (bursts, then a pause); the bucket in progress is asked at once. The service
// is not documented and has changed before: an answer that does not add up fails the fetch, it
// never becomes prices. A fetch takes its `toMinute` for the present, the minute now forming:
// what ended before it by kSettleMinutes is completed.
class DukascopySource final : public CandleSource
{
public:
    // Days of minute candles in a warm-up, today's included: seven whole days hold a full
    // trading week, 200 candles of M30 with room to spare.
    static constexpr int kWarmUpMinuteDays = 8;
    // A day or month ended less than this ago may still be filling in at the source: it is
    // asked for in the form of a bucket in progress and not kept.
    static constexpr qint64 kSettleMinutes = 60;

    struct Pacing
    {
        int burst = 10;
        std::chrono::milliseconds pause{1000};
    };

    // `base`: the service's address, e.g. https://jetta.dukascopy.com
    DukascopySource(const QUrl &base, SourceHttp &http, Pacing pacing);
    DukascopySource(const QUrl &base, SourceHttp &http)
        : DukascopySource(base, http, Pacing{})
    {}
    Q_DISABLE_COPY_MOVE(DukascopySource)

    QString name() const override { return QStringLiteral("dukascopy"); }
    // "dukascopy EUR-USD (bid)"
    QString describe(const QString &symbol) const override;

    QCoro::Task<SourceAnswer> fetch(QString symbol, qint64 fromMinute, qint64 toMinute,
                                    bool warmUp) override;

private:
    // Minute candles by UTC day, or hour candles by UTC month.
    enum class Bucket
    {
        Day,
        Month,
    };
    struct Range
    {
        qint64 from;
        qint64 to;
    };

    // Candles, or the answer that stopped the fetch.
    struct Fetched
    {
        std::vector<Candle> candles;
        std::optional<SourceAnswer> failure;
    };

    // The candles of `symbol` that open in `range`, bucket by bucket; buckets that ended at
    // least kSettleMinutes before `now` are completed.
    QCoro::Task<Fetched> fetchRun(QString symbol, Bucket bucket, Range range, qint64 now);
    // The candles of one bucket, from what is kept or from the service.
    QCoro::Task<Fetched> fetchBucket(QString symbol, Bucket bucket, qint64 start, qint64 now);
    QUrl bucketUrl(const QString &symbol, Bucket bucket, qint64 start, bool completed) const;
    // The first minute after the bucket that starts at `start`.
    static qint64 bucketEnd(Bucket bucket, qint64 start);
    // Adds the fetched candles to `answer` as a run; the failure instead, if one stopped them.
    static std::optional<SourceAnswer> addRun(SourceAnswer *answer, Fetched fetched,
                                              int stepMinutes);
    void forgetBefore(const QString &symbol, qint64 minute);

    QUrl m_base;
    SourceHttp &m_http;
    RequestPacer m_pacer;
    struct Kept
    {
        qint64 end; // the first minute after the bucket
        std::vector<Candle> candles;
    };
    // Completed buckets by symbol, then by kind and start.
    QHash<QString, std::map<std::pair<Bucket, qint64>, Kept>> m_kept;
};
