#include "signals/remotedelivery.h"

#include "signals/deliveryanswer.h"
#include "signals/deliverypost.h"
#include "signals/deliverytexts.h"

#include <QPointer>
#include <QUuid>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

using std::chrono::milliseconds;

// A 429 that asks for no wait at all would have the target hammered.
constexpr milliseconds kLeastHold{1000};

bool isSame(const PendingSend &a, const PendingSend &b)
{
    return a.target == b.target && a.signal.id == b.signal.id;
}

// A line about a send: its signal, its target's number and kind; the text may ask for more.
QString about(const char *text, const PendingSend &send, const DeliveryTarget &target)
{
    return QString::fromLatin1(text).arg(send.signal.description(), QString::number(send.target),
                                         deliverytargets::kindText(target.kind));
}

void writeToStandardError(const QString &line)
{
    std::fputs(qUtf8Printable(line + QLatin1Char('\n')), stderr);
    std::fflush(stderr);
}

} // namespace

RemoteDelivery::RemoteDelivery(const SettingsStore &settings, QNetworkAccessManager &network,
                               DeliveryQueue &queue, Clock clock, Timings timings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_network(network)
    , m_queue(queue)
    , m_clock(std::move(clock))
    , m_timings(timings)
    , m_log(&writeToStandardError)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RemoteDelivery::sendDue);
}

void RemoteDelivery::resume()
{
    for (const PendingSend &kept : m_queue.load()) {
        if (std::none_of(m_pending.cbegin(), m_pending.cend(),
                         [&kept](const PendingSend &send) { return isSame(send, kept); }))
            m_pending << kept;
    }
    sendDue();
}

void RemoteDelivery::receive(const DeliveredSignal &delivered)
{
    const QDateTime now = m_clock.now().toUTC();
    OutgoingSignal outgoing = OutgoingSignal::of(delivered);
    outgoing.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    for (int target = 1; target <= deliverytargets::kCount; ++target) {
        if (!deliverytargets::read(m_settings, target).receives(delivered.signal.option))
            continue;
        const PendingSend send{outgoing, target, 0, now};
        m_pending << send;
        m_queue.add(send);
    }
    sendDue();
}

void RemoteDelivery::sendDue()
{
    const QDateTime now = m_clock.now().toUTC();
    for (int target = 1; target <= deliverytargets::kCount; ++target) {
        if (m_busy.at(target - 1) || isHeld(target, now))
            continue;
        // The target as it is now: switched off or changed since, its sends go or wait no more.
        const DeliveryTarget settings = deliverytargets::read(m_settings, target);
        for (qsizetype i = 0; i < m_pending.size(); ++i) {
            const PendingSend send = m_pending.at(i);
            if (send.target != target || send.due > now)
                continue;
            if (!settings.receives(QString::number(send.signal.option))) {
                drop(send);
            } else if (const QString problem = deliverytargets::targetProblem(settings);
                       !problem.isEmpty()) {
                m_log(about(deliverytexts::kRefused, send, settings).arg(problem));
                drop(send);
            } else if (send.signal.time.msecsTo(now) > m_timings.latest.count()) {
                m_log(about(deliverytexts::kDroppedLate, send, settings));
                drop(send);
            } else {
                m_busy[target - 1] = true;
                this->send(send);
                break;
            }
            --i; // the dropped send has left the list
        }
    }
    if (const std::optional<QDateTime> next = nextDue()) {
        const qint64 wait =
            std::clamp<qint64>(now.msecsTo(*next), 0, std::numeric_limits<int>::max());
        m_timer.start(static_cast<int>(wait));
    } else {
        m_timer.stop();
    }
}

std::optional<QDateTime> RemoteDelivery::nextDue() const
{
    std::optional<QDateTime> next;
    for (const PendingSend &send : m_pending) {
        if (m_busy.at(send.target - 1))
            continue; // the send under way calls again when it is answered
        QDateTime due = send.due;
        const QDateTime &held = m_heldUntil.at(send.target - 1);
        if (held.isValid() && held > due)
            due = held;
        if (!next || due < *next)
            next = due;
    }
    return next;
}

QCoro::Task<> RemoteDelivery::send(PendingSend send)
{
    QPointer<RemoteDelivery> self(this);
    const DeliveryTarget target = deliverytargets::read(m_settings, send.target);
    const HttpAnswer answer = co_await postDelivery(
        m_network, deliverymessage::requestFor(target, send.signal), m_timings.timeout, this);
    if (!self)
        co_return; // the program is ending: the send stays queued for the next start
    m_busy[send.target - 1] = false;
    settle(send, target, answer);
    Q_EMIT attemptFinished();
    if (self) // whoever heard it may have ended delivery
        sendDue();
}

void RemoteDelivery::settle(PendingSend send, const DeliveryTarget &target,
                            const HttpAnswer &answer)
{
    const QDateTime now = m_clock.now().toUTC();
    if (deliveryanswer::isDelivered(answer, target.kind)) {
        drop(send);
        return;
    }
    if (const std::optional<milliseconds> wait = deliveryanswer::retryAfter(answer, now)) {
        const milliseconds hold = std::clamp(*wait, kLeastHold, m_timings.latest);
        m_heldUntil[send.target - 1] = now.addMSecs(hold.count());
        send.due = m_heldUntil.at(send.target - 1);
    } else {
        ++send.failures;
        if (send.failures > qsizetype(m_timings.retries.size())) {
            m_log(about(deliverytexts::kDropped, send, target)
                      .arg(send.failures)
                      .arg(deliverymessage::redacted(deliveryanswer::summary(answer), target)));
            drop(send);
            return;
        }
        send.due = now.addMSecs(m_timings.retries.at(send.failures - 1).count());
    }
    for (PendingSend &pending : m_pending) {
        if (isSame(pending, send))
            pending = send;
    }
    m_queue.update(send);
}

void RemoteDelivery::drop(const PendingSend &send)
{
    m_pending.removeIf([&send](const PendingSend &pending) { return isSame(pending, send); });
    m_queue.remove(send);
}

bool RemoteDelivery::isHeld(int target, const QDateTime &now) const
{
    const QDateTime &held = m_heldUntil.at(target - 1);
    return held.isValid() && held > now;
}

QCoro::Task<RemoteDelivery::TestAnswer> RemoteDelivery::sendTest(DeliveryTarget target)
{
    if (const QString problem = deliverytargets::targetProblem(target); !problem.isEmpty())
        co_return TestAnswer{false, problem};
    const HttpAnswer answer = co_await postDelivery(
        m_network,
        deliverymessage::testRequestFor(target, QUuid::createUuid().toString(QUuid::WithoutBraces),
                                        m_clock.now()),
        m_timings.timeout, this);
    co_return TestAnswer{deliveryanswer::isDelivered(answer, target.kind),
                         deliverymessage::redacted(deliveryanswer::summary(answer), target)};
}
