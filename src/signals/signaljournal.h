#pragma once

#include "app/catalogue.h"
#include "app/clock.h"
#include "market/priceobserver.h"
#include "signals/deliveredsignal.h"

#include <QDateTime>
#include <QList>
#include <QObject>

#include <array>
#include <chrono>

class JournalDatabase;

// The table `signals`: every delivered signal, with the price 15 minutes, 1 hour and 4 hours
// later, taken from the first record the polling cycle reads at or after that moment and
// within kOutcomeWindow of it; a moment without such a record stays NULL for good. The
// outcomes still awaited are kept in memory, so the polling path costs one write per outcome
// found and nothing else. Nothing here ever reaches delivery: a write that fails is told to the
// database, which tells the user.
class SignalJournal final : public QObject, public SignalRecipient, public PriceObserver
{
    Q_OBJECT
public:
    static constexpr int kRetentionDays = 365;
    static constexpr std::chrono::minutes kOutcomeWindow{5};
    static constexpr std::array<std::chrono::minutes, 3> kHorizons{
        std::chrono::minutes(15), std::chrono::hours(1), std::chrono::hours(4)};

    SignalJournal(JournalDatabase &database, Clock clock, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(SignalJournal)

    // Start-up, once the database is open: removes the signals older than kRetentionDays and
    // takes up the outcomes still awaited from before.
    void start();

    void receive(const DeliveredSignal &signal) override;
    void observePrice(int index, double price) override;

    // Signals whose outcomes are still awaited.
    int awaitedCount() const;

Q_SIGNALS:
    // A signal was added or an outcome filled in.
    void changed();

private:
    struct Awaited
    {
        qint64 id = 0;
        QDateTime time; // UTC
        std::array<bool, kHorizons.size()> open{};
    };

    void removeExpired();
    void loadAwaited();
    bool writeOutcome(qint64 id, std::size_t horizon, double price);
    void dropLapsed(const QDateTime &now);

    JournalDatabase &m_database;
    Clock m_clock;
    std::array<QList<Awaited>, catalogue::kSlotCount> m_awaited;
};
