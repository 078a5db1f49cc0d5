#pragma once

#include "signals/deliverymessage.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>

#include <functional>

class QSqlError;

// One signal on its way to one target, with the moment of its next attempt.
struct PendingSend
{
    OutgoingSignal signal;
    int target = 0;   // 1-3
    int failures = 0; // attempts that failed so far
    QDateTime due;    // UTC

    friend bool operator==(const PendingSend &, const PendingSend &) = default;
};

// The sends not yet made, kept in table "delivery_queue" of the journal's file it is handed (the
// journal's schema makes the table), so that a restart neither loses one nor makes one twice. A
// send is known by its signal's id and its target. Until a database is attached, with one that is
// not open, and for a write that fails, nothing is kept: sending goes on from memory.
class DeliveryQueue final
{
public:
    // Told of every write that fails (the journal's file turns itself off when it must).
    using WriteFailed = std::function<void(const QSqlError &error)>;

    DeliveryQueue() = default;
    explicit DeliveryQueue(QSqlDatabase database, WriteFailed failed = {});
    Q_DISABLE_COPY_MOVE(DeliveryQueue)

    // Keeps the sends in this database from now on.
    void attach(QSqlDatabase database, WriteFailed failed = {});

    // Whether sends are kept across a restart.
    bool isKept() const { return m_kept; }

    // Every kept send, oldest signal first.
    QList<PendingSend> load() const;
    void add(const PendingSend &send);
    void update(const PendingSend &send); // failures and due
    void remove(const PendingSend &send);

private:
    void run(const char *statement, const QVariantList &values);

    QSqlDatabase m_database;
    WriteFailed m_failed;
    bool m_kept = false;
};
