#include "signals/journalreader.h"

#include "signals/journaldatabase.h"
#include "signals/journaltime.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariantList>

namespace {

constexpr char kColumns[] =
    "id, time_utc, direction, instrument, option, method, price, price_15m, price_1h, price_4h, "
    "instrument_index, decimals, pip";
constexpr char kNewestFirst[] = " ORDER BY time_utc DESC, id DESC";

// Per option: the signals, those whose price an hour later is known, those that went their way
// and the sums of the one-hour moves in percent and in pips (the same rule as
// signalmoves::moveOf), and the known moves without a pip. `move` is the price change signed
// for the direction; it is written out in each sum, a subquery would cost as much.
constexpr char kSummaryByOption[] =
    "SELECT option, COUNT(*), COUNT(%1), SUM(%1 > 0), SUM(%1 * 100.0 / price), SUM(%1 / pip), "
    "COUNT(%1) - COUNT(%1 / pip) FROM signals%2 GROUP BY option";
constexpr char kHourMove[] =
    "(CASE WHEN price > 0 THEN (price_1h - price) * (1 - 2 * (direction = 'SELL')) END)";

struct Where
{
    QString sql;
    QVariantList values;
};

Where whereOf(const JournalFilter &filter)
{
    QStringList terms;
    Where where;
    const auto add = [&](const char *term, const QVariant &value) {
        terms << QLatin1String(term);
        where.values << value;
    };
    if (!filter.instrument.isEmpty())
        add("instrument = ?", filter.instrument);
    if (filter.option != 0)
        add("option = ?", filter.option);
    if (!filter.direction.isEmpty())
        add("direction = ?", filter.direction);
    // Local days, from the start of the first to the start of the day after the last.
    if (filter.from.isValid())
        add("time_utc >= ?", journaltime::stored(filter.from.startOfDay()));
    if (filter.to.isValid())
        add("time_utc < ?", journaltime::stored(filter.to.addDays(1).startOfDay()));
    if (!terms.isEmpty())
        where.sql = QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND "));
    return where;
}

bool run(QSqlQuery &query, const QString &statement, const QVariantList &values)
{
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        return false;
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query.exec();
}

std::optional<double> optionalDouble(const QVariant &value)
{
    return value.isNull() ? std::nullopt : std::optional<double>(value.toDouble());
}

} // namespace

std::optional<signalmoves::Move> JournalRow::move(std::size_t horizon) const
{
    return signalmoves::moveOf(direction, price, later.at(horizon), pip);
}

void JournalTotals::Sums::add(const Sums &other)
{
    signals += other.signals;
    withOutcome += other.withOutcome;
    wentTheirWay += other.wentTheirWay;
    percent += other.percent;
    pips += other.pips;
    withoutPip += other.withoutPip;
}

OutcomeSummary JournalTotals::Sums::summary() const
{
    OutcomeSummary summary{signals, withOutcome, wentTheirWay, std::nullopt};
    if (withOutcome > 0)
        summary.meanMove =
            withoutPip == 0 ? signalmoves::Move{pips / withOutcome, signalmoves::Unit::Pips}
                            : signalmoves::Move{percent / withOutcome, signalmoves::Unit::Percent};
    return summary;
}

void JournalTotals::add(const JournalTotals &other)
{
    m_all.add(other.m_all);
    for (std::size_t option = 0; option < m_options.size(); ++option)
        m_options.at(option).add(other.m_options.at(option));
}

void JournalTotals::addOption(int option, const Sums &sums)
{
    m_all.add(sums);
    if (option >= 1 && option <= int(m_options.size()))
        m_options.at(option - 1).add(sums);
}

JournalSummary JournalTotals::summary() const
{
    JournalSummary summary;
    summary.all = m_all.summary();
    for (std::size_t option = 0; option < m_options.size(); ++option)
        summary.options.at(option) = m_options.at(option).summary();
    return summary;
}

std::optional<double> OutcomeSummary::share() const
{
    if (withOutcome == 0)
        return std::nullopt;
    return double(wentTheirWay) / double(withOutcome);
}

JournalReader::JournalReader(const JournalDatabase &database)
    : m_database(database)
{}

int JournalReader::count(const JournalFilter &filter) const
{
    if (!m_database.isOn())
        return 0;
    const Where where = whereOf(filter);
    QSqlQuery query(m_database.database());
    if (!run(query, QStringLiteral("SELECT COUNT(*) FROM signals") + where.sql, where.values) ||
        !query.next())
        return 0;
    return query.value(0).toInt();
}

bool JournalReader::isOn() const
{
    return m_database.isOn();
}

QList<JournalRow> JournalReader::rows(const JournalFilter &filter, int offset, int limit) const
{
    return readRows(filter, offset, limit).value_or(QList<JournalRow>());
}

std::optional<QList<JournalRow>> JournalReader::readRows(const JournalFilter &filter, int offset,
                                                         int limit) const
{
    if (!m_database.isOn())
        return std::nullopt;
    Where where = whereOf(filter);
    where.values << limit << offset;
    QSqlQuery query(m_database.database());
    if (!run(query,
             QStringLiteral("SELECT %1 FROM signals").arg(QLatin1String(kColumns)) + where.sql +
                 QLatin1String(kNewestFirst) + QStringLiteral(" LIMIT ? OFFSET ?"),
             where.values))
        return std::nullopt;
    QList<JournalRow> rows;
    rows.reserve(limit);
    while (query.next()) {
        JournalRow row;
        row.id = query.value(0).toLongLong();
        row.time = journaltime::parsed(query.value(1).toString());
        row.direction = query.value(2).toString();
        row.instrument = query.value(3).toString();
        row.option = query.value(4).toInt();
        row.method = query.value(5).toInt();
        row.price = optionalDouble(query.value(6));
        for (int horizon = 0; horizon < 3; ++horizon)
            row.later.at(horizon) = optionalDouble(query.value(7 + horizon));
        row.instrumentIndex = query.value(10).toInt();
        row.decimals = query.value(11).toInt();
        row.pip = optionalDouble(query.value(12));
        rows.append(row);
    }
    // A step that failed ends the rows as the last one does.
    if (query.lastError().isValid())
        return std::nullopt;
    return rows;
}

int JournalReader::positionOf(const JournalFilter &filter, qint64 id) const
{
    if (!m_database.isOn())
        return -1;
    Where where = whereOf(filter);
    const QString terms = where.sql.isEmpty() ? QStringLiteral(" WHERE ") : where.sql + " AND ";
    QSqlQuery query(m_database.database());
    where.values << id;
    if (!run(query, QStringLiteral("SELECT time_utc FROM signals") + terms + "id = ?",
             where.values) ||
        !query.next())
        return -1;
    const QString time = query.value(0).toString();
    where.values.removeLast();
    where.values << time << time << id;
    if (!run(query,
             QStringLiteral("SELECT COUNT(*) FROM signals") + terms +
                 "(time_utc > ? OR (time_utc = ? AND id > ?))",
             where.values) ||
        !query.next())
        return -1;
    return query.value(0).toInt();
}

JournalSummary JournalReader::summary(const JournalFilter &filter) const
{
    return totals(filter, 0, lastId()).summary();
}

JournalTotals JournalReader::totals(const JournalFilter &filter, qint64 afterId,
                                    qint64 upToId) const
{
    JournalTotals totals;
    if (!m_database.isOn())
        return totals;
    Where where = whereOf(filter);
    where.sql += where.sql.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ");
    where.sql += QStringLiteral("id > ? AND id <= ?");
    where.values << afterId << upToId;
    QSqlQuery query(m_database.database());
    if (!run(query, QString::fromLatin1(kSummaryByOption).arg(QLatin1String(kHourMove), where.sql),
             where.values))
        return totals;
    while (query.next())
        totals.addOption(query.value(0).toInt(),
                         {query.value(1).toInt(), query.value(2).toInt(), query.value(3).toInt(),
                          query.value(4).toDouble(), query.value(5).toDouble(),
                          query.value(6).toInt()});
    return totals;
}

qint64 JournalReader::lastId() const
{
    if (!m_database.isOn())
        return 0;
    QSqlQuery query(m_database.database());
    if (!query.exec(QStringLiteral("SELECT MAX(id) FROM signals")) || !query.next())
        return 0;
    return query.value(0).toLongLong();
}
