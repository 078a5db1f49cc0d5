#pragma once

#include "signals/deliverymessage.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>

// One signal on its way to one target, with the moment of its next attempt.
struct PendingSend
{
    OutgoingSignal signal;
    int target = 0;   // 1-3
    int failures = 0; // attempts that failed so far
    QDateTime due;    // UTC

    friend bool operator==(const PendingSend &, const PendingSend &) = default;
};

// The sends not yet made, kept in table "delivery_queue" of the database it is handed (created
// when missing), so that a restart neither loses one nor makes one twice. A send is known by its
// signal's id and its target. A database that is not open, or a write that fails, keeps nothing:
// sending goes on from memory.
class DeliveryQueue final
{
public:
    explicit DeliveryQueue(QSqlDatabase database);
    Q_DISABLE_COPY_MOVE(DeliveryQueue)

    // Whether sends are kept across a restart.
    bool isKept() const { return m_kept; }

    // Every kept send, oldest signal first.
    QList<PendingSend> load() const;
    void add(const PendingSend &send);
    void update(const PendingSend &send); // failures and due
    void remove(const PendingSend &send);

private:
    QSqlDatabase m_database;
    bool m_kept = false;
};
