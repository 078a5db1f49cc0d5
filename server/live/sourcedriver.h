#pragma once

#include "sources/candlesource.h"

#include "app/clock.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <QCoroTask>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

// What a source's driver needs from the market it feeds.
class CandleSink
{
public:
    struct Request
    {
        qint64 fromMinute = 0;
        bool warmUp = false;
    };

    virtual ~CandleSink() = default;
    // Where the next request for the instrument in `slot` starts: after its last candle.
    virtual Request nextRequest(int slot, qint64 toMinute) const = 0;
    // An answer (candles, or a failure) for [fromMinute, toMinute).
    virtual void deliver(int slot, const SourceAnswer &answer, qint64 fromMinute,
                         qint64 toMinute) = 0;
    // The source refuses this address (`reason`), or serves it again (empty).
    virtual void setBlocked(int slot, const QString &reason) = 0;
    // Of these slots, the stale ones: "crypto-btc since 10:02".
    virtual QStringList staleOf(const QList<int> &slots) const = 0;
};

// An instrument a source feeds.
struct Subscription
{
    int slot = 0;
    QString code;   // the server code, for the log
    QString symbol; // the instrument at the source
};

// Runs one source on its own schedule: a round of requests a little after every minute closes
// (the source's pollDelay()), a few at a time, every instrument asked from its last candle, so
// that an outage or a sleeping machine is backfilled on the next round. It honours a source's
// request to back off, leaves a source that blocks this address alone for a while, and logs
// one line whenever the source's state changes (never one per request). A slow or failing
// source delays nobody else: each has its own driver.
class SourceDriver final : public QObject
{
    Q_OBJECT
public:
    struct Timing
    {
        int concurrency = 4;                        // requests in flight at once
        std::chrono::seconds blockedRetry{15 * 60}; // a region block is tried again after this
    };
    using Log = std::function<void(const QString &)>;

    SourceDriver(std::unique_ptr<CandleSource> source, QList<Subscription> subscriptions,
                 CandleSink &sink, Clock clock, Log log, Timing timing, QObject *parent = nullptr);
    ~SourceDriver() override;
    Q_DISABLE_COPY_MOVE(SourceDriver)

    const CandleSource &source() const { return *m_source; }
    const QList<Subscription> &subscriptions() const { return m_subscriptions; }
    // The state as last logged: "live", "backing off 30 s (HTTP 429)", "region blocked (...)".
    QString state() const { return m_state; }

    // The first round at once, then one after every minute.
    void start();
    // One round now; nothing while a round runs, while backing off or after stop().
    QCoro::Task<> poll();
    // No further requests; a round in flight ends at its next answer.
    void stop();
    // Staleness changes with the minute as well as with answers.
    void refreshState();

private:
    struct Round;
    QCoro::Task<> work(Round &round);
    void conclude(const Round &round, const QDateTime &started);
    void schedule();
    void setState(const QString &state);

    std::unique_ptr<CandleSource> m_source;
    QList<Subscription> m_subscriptions;
    CandleSink &m_sink;
    Clock m_clock;
    Log m_log;
    Timing m_timing;
    QTimer m_timer;
    std::optional<QCoro::Task<>> m_round;
    bool m_busy = false;
    bool m_started = false;
    bool m_stopped = false;
    bool m_live = false; // a round has been answered and nothing holds the source back
    QDateTime m_quietUntil;
    QStringList m_failing; // instruments whose last request failed
    QString m_state;
};
