#include "signals/deliveryqueue.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

constexpr char kSelect[] = "SELECT signal_id, target, time_utc, direction, instrument, symbol, "
                           "option, price_text, failures, due_utc FROM delivery_queue "
                           "ORDER BY time_utc, rowid";
constexpr char kInsert[] = "INSERT OR REPLACE INTO delivery_queue (signal_id, target, time_utc, "
                           "direction, instrument, symbol, option, price_text, failures, due_utc) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
constexpr char kUpdate[] =
    "UPDATE delivery_queue SET failures = ?, due_utc = ? WHERE signal_id = ? AND target = ?";
constexpr char kDelete[] = "DELETE FROM delivery_queue WHERE signal_id = ? AND target = ?";

// Milliseconds matter for due times: a 429 may ask for less than a second.
QString timeText(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QDateTime timeOf(const QVariant &text)
{
    QDateTime time = QDateTime::fromString(text.toString(), Qt::ISODateWithMs);
    return time.toUTC();
}

} // namespace

DeliveryQueue::DeliveryQueue(QSqlDatabase database, WriteFailed failed)
{
    attach(std::move(database), std::move(failed));
}

void DeliveryQueue::attach(QSqlDatabase database, WriteFailed failed)
{
    m_database = std::move(database);
    m_failed = std::move(failed);
    m_kept = m_database.isOpen();
}

void DeliveryQueue::run(const char *statement, const QVariantList &values)
{
    // A file turned off meanwhile has closed its connection: there is nothing to keep sends in.
    if (!m_kept || !m_database.isOpen())
        return;
    QSqlQuery query(m_database);
    bool done = query.prepare(QLatin1String(statement));
    for (const QVariant &value : values)
        query.addBindValue(value);
    done = done && query.exec();
    if (!done && m_failed)
        m_failed(query.lastError());
}

QList<PendingSend> DeliveryQueue::load() const
{
    QList<PendingSend> sends;
    if (!m_kept || !m_database.isOpen())
        return sends;
    QSqlQuery query(m_database);
    query.setForwardOnly(true);
    if (!query.exec(QLatin1String(kSelect)))
        return sends;
    while (query.next()) {
        PendingSend send;
        send.signal.id = query.value(0).toString();
        send.target = query.value(1).toInt();
        send.signal.time = timeOf(query.value(2));
        send.signal.direction = query.value(3).toString();
        send.signal.instrument = query.value(4).toString();
        send.signal.symbol = query.value(5).toString();
        send.signal.option = query.value(6).toInt();
        send.signal.priceText = query.value(7).toString();
        send.failures = query.value(8).toInt();
        send.due = timeOf(query.value(9));
        // A row no send of this program can have made is left alone.
        if (send.signal.time.isValid() && send.due.isValid() && send.target >= 1 &&
            send.target <= deliverytargets::kCount)
            sends << send;
    }
    return sends;
}

void DeliveryQueue::add(const PendingSend &send)
{
    const OutgoingSignal &signal = send.signal;
    run(kInsert,
        {signal.id, send.target, timeText(signal.time), signal.direction, signal.instrument,
         signal.symbol, signal.option, signal.priceText, send.failures, timeText(send.due)});
}

void DeliveryQueue::update(const PendingSend &send)
{
    run(kUpdate, {send.failures, timeText(send.due), send.signal.id, send.target});
}

void DeliveryQueue::remove(const PendingSend &send)
{
    run(kDelete, {send.signal.id, send.target});
}
