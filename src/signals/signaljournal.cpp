#include "signals/signaljournal.h"

#include "market/pivotplacement.h"
#include "signals/journaldatabase.h"
#include "signals/journaltime.h"
#include "signals/signalmoves.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

// The columns of the outcomes, in the order of the horizons.
constexpr std::array<const char *, SignalJournal::kHorizons.size()> kOutcomeColumns{
    "price_15m", "price_1h", "price_4h"};

constexpr auto kLastMoment = SignalJournal::kHorizons.back() + SignalJournal::kOutcomeWindow;

QVariant nullable(const std::optional<double> &value)
{
    return value ? QVariant(*value) : QVariant(QMetaType::fromType<double>());
}

} // namespace

SignalJournal::SignalJournal(JournalDatabase &database, Clock clock, QObject *parent)
    : QObject(parent)
    , m_database(database)
    , m_clock(std::move(clock))
{}

void SignalJournal::start()
{
    removeExpired();
    loadAwaited();
}

void SignalJournal::receive(const DeliveredSignal &signal)
{
    if (!m_database.isOn())
        return;
    const int index = catalogue::indexOfSignalText(signal.signal.instrument);
    const std::optional<double> price = readPrice(signal.priceText);
    const int decimals = signalmoves::decimalsOf(signal.priceText);
    QSqlQuery insert(m_database.database());
    insert.prepare(QStringLiteral(
        "INSERT INTO signals (time_utc, direction, instrument, option, method, price, "
        "instrument_index, decimals, pip) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    insert.addBindValue(journaltime::stored(signal.time));
    insert.addBindValue(signal.signal.direction);
    insert.addBindValue(signal.signal.instrument);
    insert.addBindValue(signal.signal.option.toInt());
    insert.addBindValue(signal.method);
    insert.addBindValue(nullable(price));
    insert.addBindValue(index);
    insert.addBindValue(price ? QVariant(decimals) : QVariant(QMetaType::fromType<int>()));
    insert.addBindValue(nullable(signalmoves::pipSize(index, decimals)));
    if (!insert.exec()) {
        m_database.writeFailed(insert.lastError());
        return;
    }
    if (catalogue::isInstrument(index)) {
        Awaited awaited{insert.lastInsertId().toLongLong(), signal.time.toUTC(), {}};
        awaited.open.fill(true);
        m_awaited.at(index).append(awaited);
    }
    Q_EMIT changed();
}

void SignalJournal::observePrice(int index, double price)
{
    const QDateTime now = m_clock.now().toUTC();
    dropLapsed(now);
    if (!m_database.isOn() || index < 0 || index >= catalogue::kSlotCount)
        return;
    bool written = false;
    QList<Awaited> &awaited = m_awaited.at(index);
    for (Awaited &signal : awaited) {
        for (std::size_t horizon = 0; horizon < kHorizons.size(); ++horizon) {
            const QDateTime due = signal.time.addDuration(kHorizons.at(horizon));
            if (!signal.open.at(horizon) || now < due)
                continue;
            signal.open.at(horizon) = false;
            if (now <= due.addDuration(kOutcomeWindow))
                written = writeOutcome(signal.id, horizon, price) || written;
        }
    }
    awaited.removeIf([](const Awaited &signal) {
        return std::none_of(signal.open.begin(), signal.open.end(), [](bool open) { return open; });
    });
    if (written)
        Q_EMIT changed();
}

int SignalJournal::awaitedCount() const
{
    int count = 0;
    for (const QList<Awaited> &awaited : m_awaited)
        count += int(awaited.size());
    return count;
}

void SignalJournal::removeExpired()
{
    if (!m_database.isOn())
        return;
    QSqlQuery remove(m_database.database());
    remove.prepare(QStringLiteral("DELETE FROM signals WHERE time_utc < ?"));
    remove.addBindValue(journaltime::stored(m_clock.now().toUTC().addDays(-kRetentionDays)));
    if (!remove.exec())
        m_database.writeFailed(remove.lastError());
}

void SignalJournal::loadAwaited()
{
    if (!m_database.isOn())
        return;
    QSqlQuery query(m_database.database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral(
        "SELECT id, instrument_index, time_utc, price_15m IS NULL, price_1h IS NULL, "
        "price_4h IS NULL FROM signals WHERE time_utc >= ? AND "
        "(price_15m IS NULL OR price_1h IS NULL OR price_4h IS NULL)"));
    query.addBindValue(journaltime::stored(m_clock.now().addDuration(-kLastMoment)));
    if (!query.exec())
        return;
    while (query.next()) {
        const int index = query.value(1).toInt();
        if (!catalogue::isInstrument(index))
            continue;
        Awaited awaited{
            query.value(0).toLongLong(), journaltime::parsed(query.value(2).toString()), {}};
        for (std::size_t horizon = 0; horizon < kHorizons.size(); ++horizon)
            awaited.open.at(horizon) = query.value(3 + int(horizon)).toBool();
        if (awaited.time.isValid())
            m_awaited.at(index).append(awaited);
    }
}

bool SignalJournal::writeOutcome(qint64 id, std::size_t horizon, double price)
{
    QSqlQuery update(m_database.database());
    update.prepare(QStringLiteral("UPDATE signals SET %1 = ? WHERE id = ?")
                       .arg(QLatin1String(kOutcomeColumns.at(horizon))));
    update.addBindValue(price);
    update.addBindValue(id);
    if (update.exec())
        return true;
    m_database.writeFailed(update.lastError());
    return false;
}

void SignalJournal::dropLapsed(const QDateTime &now)
{
    // An instrument switched off never sees its outcomes: they lapse with the last moment.
    const QDateTime cutoff = now.addDuration(-kLastMoment);
    for (QList<Awaited> &awaited : m_awaited)
        awaited.removeIf([&cutoff](const Awaited &signal) { return signal.time < cutoff; });
}
