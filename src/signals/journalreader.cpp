#include "signals/journalreader.h"

#include "signals/journaldatabase.h"
#include "signals/journaltime.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariantList>

namespace {

constexpr char kColumns[] =
    "id, time_utc, direction, instrument, option, method, price, price_15m, price_1h, price_4h, "
    "instrument_index, decimals, pip";
constexpr char kNewestFirst[] = " ORDER BY time_utc DESC, id DESC";

// The one-hour move of each signal, signed for its direction, and whether it is known; the
// same rule as signalmoves::moveOf.
constexpr char kHourMoves[] =
    "SELECT option, pip, price, price_1h IS NOT NULL AND price > 0 AS known, "
    "(CASE direction WHEN 'SELL' THEN -1.0 ELSE 1.0 END) * (price_1h - price) AS change "
    "FROM signals";
constexpr char kSummaryByOption[] =
    "SELECT option, COUNT(*), SUM(known), SUM(known AND change > 0), "
    "SUM(CASE WHEN known THEN change * 100.0 / price END), "
    "SUM(CASE WHEN known THEN change / pip END), SUM(known AND pip IS NULL) "
    "FROM (%1) GROUP BY option";

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

// Sums of one group of signals, as the summary query gives them.
struct Sums
{
    int signals = 0;
    int known = 0;
    int went = 0;
    double percent = 0;
    double pips = 0;
    int withoutPip = 0;

    void add(const Sums &other)
    {
        signals += other.signals;
        known += other.known;
        went += other.went;
        percent += other.percent;
        pips += other.pips;
        withoutPip += other.withoutPip;
    }

    OutcomeSummary summary() const
    {
        OutcomeSummary summary{signals, known, went, std::nullopt};
        if (known > 0)
            summary.meanMove = withoutPip == 0
                                   ? signalmoves::Move{pips / known, signalmoves::Unit::Pips}
                                   : signalmoves::Move{percent / known, signalmoves::Unit::Percent};
        return summary;
    }
};

} // namespace

std::optional<signalmoves::Move> JournalRow::move(std::size_t horizon) const
{
    return signalmoves::moveOf(direction, price, later.at(horizon), pip);
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

QList<JournalRow> JournalReader::rows(const JournalFilter &filter, int offset, int limit) const
{
    QList<JournalRow> rows;
    if (!m_database.isOn())
        return rows;
    Where where = whereOf(filter);
    where.values << limit << offset;
    QSqlQuery query(m_database.database());
    if (!run(query,
             QStringLiteral("SELECT %1 FROM signals").arg(QLatin1String(kColumns)) + where.sql +
                 QLatin1String(kNewestFirst) + QStringLiteral(" LIMIT ? OFFSET ?"),
             where.values))
        return rows;
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
    JournalSummary summary;
    if (!m_database.isOn())
        return summary;
    const Where where = whereOf(filter);
    QSqlQuery query(m_database.database());
    if (!run(query,
             QString::fromLatin1(kSummaryByOption).arg(QLatin1String(kHourMoves) + where.sql),
             where.values))
        return summary;
    Sums all;
    while (query.next()) {
        const Sums sums{query.value(1).toInt(),    query.value(2).toInt(),
                        query.value(3).toInt(),    query.value(4).toDouble(),
                        query.value(5).toDouble(), query.value(6).toInt()};
        all.add(sums);
        const int option = query.value(0).toInt();
        if (option >= 1 && option <= int(summary.options.size()))
            summary.options.at(option - 1) = sums.summary();
    }
    summary.all = all.summary();
    return summary;
}
