#include "live/sourcedriver.h"

#include "market/minutes.h"

#include <algorithm>

struct SourceDriver::Round
{
    qint64 toMinute = 0;
    qsizetype next = 0;
    int answered = 0;
    QStringList failed;
    QString failure;
    std::optional<std::chrono::seconds> retryAfter;
    QString limitReason;
    QString blocked;
    bool halted() const { return retryAfter.has_value() || !blocked.isEmpty(); }
};

SourceDriver::SourceDriver(std::unique_ptr<CandleSource> source, QList<Subscription> subscriptions,
                           CandleSink &sink, Clock clock, Log log, Timing timing, QObject *parent)
    : QObject(parent)
    , m_source(std::move(source))
    , m_subscriptions(std::move(subscriptions))
    , m_sink(sink)
    , m_clock(std::move(clock))
    , m_log(std::move(log))
    , m_timing(timing)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { m_round = poll(); });
}

SourceDriver::~SourceDriver()
{
    stop();
}

void SourceDriver::setState(const QString &state)
{
    if (state == m_state)
        return;
    m_state = state;
    m_log(m_source->name() + QStringLiteral(": ") + state);
}

void SourceDriver::start()
{
    m_started = true;
    setState(QStringLiteral("warming up %1 instrument(s)").arg(m_subscriptions.size()));
    m_round = poll();
}

void SourceDriver::stop()
{
    m_stopped = true;
    m_timer.stop();
}

void SourceDriver::schedule()
{
    if (!m_started || m_stopped)
        return;
    const QDateTime now = m_clock.now();
    const qint64 nowMs = now.toMSecsSinceEpoch();
    const qint64 delayMs = std::chrono::milliseconds(m_source->pollDelay()).count();
    qint64 dueMs = (floorDiv(nowMs - delayMs, 60000) + 1) * 60000 + delayMs;
    if (m_quietUntil.isValid())
        dueMs = std::max(dueMs, m_quietUntil.toMSecsSinceEpoch());
    m_timer.start(int(std::clamp<qint64>(dueMs - nowMs, 0, 24 * 3600 * 1000)));
}

QCoro::Task<> SourceDriver::poll()
{
    const QDateTime started = m_clock.now();
    if (m_busy || m_stopped || (m_quietUntil.isValid() && started < m_quietUntil)) {
        schedule();
        co_return;
    }
    m_busy = true;
    Round round;
    round.toMinute = minuteOf(started);
    const qsizetype workers =
        std::min<qsizetype>(std::max(1, m_timing.concurrency), m_subscriptions.size());
    std::vector<QCoro::Task<>> running;
    for (qsizetype i = 0; i < workers; ++i)
        running.push_back(work(round));
    for (QCoro::Task<> &worker : running)
        co_await worker;
    m_busy = false;
    if (m_stopped)
        co_return;
    conclude(round, started);
    schedule();
}

QCoro::Task<> SourceDriver::work(Round &round)
{
    while (!m_stopped && !round.halted() && round.next < m_subscriptions.size()) {
        const Subscription subscription = m_subscriptions[round.next++];
        const CandleSink::Request request = m_sink.nextRequest(subscription.slot, round.toMinute);
        if (request.fromMinute >= round.toMinute) {
            ++round.answered;
            continue;
        }
        const SourceAnswer answer = co_await m_source->fetch(
            subscription.symbol, request.fromMinute, round.toMinute, request.warmUp);
        if (m_stopped)
            co_return;
        switch (answer.outcome) {
        case SourceAnswer::Outcome::Candles:
            ++round.answered;
            m_sink.deliver(subscription.slot, answer, request.fromMinute, round.toMinute);
            break;
        case SourceAnswer::Outcome::Failed:
            round.failed << subscription.code;
            round.failure = answer.reason;
            m_sink.deliver(subscription.slot, answer, request.fromMinute, round.toMinute);
            break;
        case SourceAnswer::Outcome::RateLimited:
            round.retryAfter =
                std::max(answer.retryAfter, round.retryAfter.value_or(std::chrono::seconds(0)));
            round.limitReason = answer.reason;
            break;
        case SourceAnswer::Outcome::Blocked:
            round.blocked = answer.reason.isEmpty() ? QStringLiteral("refused") : answer.reason;
            break;
        }
    }
}

void SourceDriver::conclude(const Round &round, const QDateTime &started)
{
    if (!round.blocked.isEmpty()) {
        for (const Subscription &subscription : std::as_const(m_subscriptions))
            m_sink.setBlocked(subscription.slot, round.blocked);
        m_quietUntil = started.addSecs(m_timing.blockedRetry.count());
        m_live = false;
        setState(QStringLiteral("region blocked (%1), trying again in %2 min")
                     .arg(round.blocked)
                     .arg(m_timing.blockedRetry.count() / 60));
        return;
    }
    if (round.answered > 0) {
        for (const Subscription &subscription : std::as_const(m_subscriptions))
            m_sink.setBlocked(subscription.slot, QString());
    }
    m_failing = round.failed;
    if (round.retryAfter) {
        m_quietUntil = started.addSecs(round.retryAfter->count());
        m_live = false;
        setState(QStringLiteral("backing off %1 s (%2)")
                     .arg(round.retryAfter->count())
                     .arg(round.limitReason));
        return;
    }
    m_quietUntil = QDateTime();
    if (round.answered == 0 && !round.failed.isEmpty()) {
        m_live = false;
        setState(QStringLiteral("failing (%1)").arg(round.failure));
        return;
    }
    m_live = true;
    refreshState();
}

void SourceDriver::refreshState()
{
    if (!m_live)
        return;
    QList<int> slots;
    for (const Subscription &subscription : std::as_const(m_subscriptions))
        slots << subscription.slot;
    const QStringList stale = m_sink.staleOf(slots);
    if (!stale.isEmpty())
        setState(QStringLiteral("stale (%1)").arg(stale.join(QStringLiteral(", "))));
    else if (!m_failing.isEmpty())
        setState(
            QStringLiteral("live, no answer for %1").arg(m_failing.join(QStringLiteral(", "))));
    else
        setState(QStringLiteral("live"));
}
