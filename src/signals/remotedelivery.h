#pragma once

#include "app/clock.h"
#include "signals/deliveredsignal.h"
#include "signals/deliveryanswer.h"
#include "signals/deliveryqueue.h"
#include "signals/deliverytarget.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <QCoroTask>

#include <array>
#include <chrono>
#include <functional>
#include <optional>

class QNetworkAccessManager;
class SettingsStore;

// Sends every delivered signal to each target in section "Delivery" that is on and takes the
// signal's option, in the background: one send at a time per target, targets side by side, all
// on the GUI thread without ever waiting on it. A failed send is tried again after each wait of
// the retry schedule and then dropped with one line on standard error; a 429 holds the target
// as long as it asks. Sends are kept in the queue until they are made, so those pending at Exit
// go out at the next start, unless their signal is by then over an hour old.
class RemoteDelivery final : public QObject, public SignalRecipient
{
    Q_OBJECT
public:
    struct Timings
    {
        std::chrono::milliseconds timeout{15000};
        std::array<std::chrono::milliseconds, 4> retries{
            std::chrono::seconds(5), std::chrono::seconds(30), std::chrono::minutes(2),
            std::chrono::minutes(10)};
        std::chrono::milliseconds latest{std::chrono::hours(1)}; // a signal older is not sent
    };
    // Where the lines about dropped sends go; standard error unless a test says otherwise.
    using Log = std::function<void(const QString &line)>;

    RemoteDelivery(const SettingsStore &settings, QNetworkAccessManager &network,
                   DeliveryQueue &queue, Clock clock, Timings timings, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(RemoteDelivery)

    void setLog(Log log) { m_log = std::move(log); }

    // Takes up the sends kept from the last run.
    void resume();
    // Queues the signal for every target that takes it and starts what can start.
    void receive(const DeliveredSignal &delivered) override;
    // Starts every due send whose target is free and not held by a 429; arms the timer for the
    // next one. Also what the timer calls.
    void sendDue();

    // One attempt to the target as given, outside the queue: whether it arrived, and the answer
    // or the error with the target's secrets taken out.
    struct TestAnswer
    {
        bool delivered = false;
        QString text;
    };
    QCoro::Task<TestAnswer> sendTest(DeliveryTarget target);

    QList<PendingSend> pending() const { return m_pending; }
    // When the next send is due, or nothing when none waits.
    std::optional<QDateTime> nextDue() const;

Q_SIGNALS:
    // An attempt has been answered (or has failed) and the queue updated.
    void attemptFinished();

private:
    QCoro::Task<> send(PendingSend send);
    // What becomes of a send after its answer.
    void settle(PendingSend send, const DeliveryTarget &target, const HttpAnswer &answer);
    void drop(const PendingSend &send);
    bool isHeld(int target, const QDateTime &now) const;

    const SettingsStore &m_settings;
    QNetworkAccessManager &m_network;
    DeliveryQueue &m_queue;
    Clock m_clock;
    Timings m_timings;
    Log m_log;
    QList<PendingSend> m_pending; // in the order the signals came
    std::array<bool, deliverytargets::kCount> m_busy{};
    std::array<QDateTime, deliverytargets::kCount> m_heldUntil{};
    QTimer m_timer;
};
