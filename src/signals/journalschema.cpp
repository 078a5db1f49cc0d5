#include "signals/journalschema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <array>
#include <span>

namespace journalschema {
namespace {

using Step = std::span<const char *const>;

// 1: the delivered signals, newest looked up by time, per instrument as well. price_15m,
// price_1h and price_4h stay NULL until the market has been seen then. instrument_index is the
// catalogue's (-1 for a name it does not know), decimals those of the price as the record wrote
// it, pip the size of one pip for currency pairs and NULL where moves are counted in percent.
constexpr std::array kSignals{
    "CREATE TABLE signals ("
    " id INTEGER PRIMARY KEY,"
    " time_utc TEXT NOT NULL,"
    " direction TEXT NOT NULL,"
    " instrument TEXT NOT NULL,"
    " option INTEGER NOT NULL,"
    " method INTEGER NOT NULL,"
    " price REAL,"
    " price_15m REAL,"
    " price_1h REAL,"
    " price_4h REAL,"
    " instrument_index INTEGER NOT NULL,"
    " decimals INTEGER,"
    " pip REAL)",
    "CREATE INDEX signals_by_time ON signals (time_utc)",
    "CREATE INDEX signals_by_instrument ON signals (instrument, time_utc)",
};

// 2: the sends remote delivery has still to make, one per signal and target, with the attempts
// that failed and when the next one is due (UTC, to the millisecond). Files of the first
// version may have the table already: remote delivery made it for itself then.
constexpr std::array kDeliveryQueue{
    "CREATE TABLE IF NOT EXISTS delivery_queue ("
    " signal_id TEXT NOT NULL,"
    " target INTEGER NOT NULL,"
    " time_utc TEXT NOT NULL,"
    " direction TEXT NOT NULL,"
    " instrument TEXT NOT NULL,"
    " symbol TEXT NOT NULL,"
    " option INTEGER NOT NULL,"
    " price_text TEXT NOT NULL,"
    " failures INTEGER NOT NULL,"
    " due_utc TEXT NOT NULL,"
    " PRIMARY KEY (signal_id, target))",
};

constexpr std::array<Step, 2> kSteps{Step(kSignals), Step(kDeliveryQueue)};

int versionOf(QSqlDatabase &database, QSqlError &error)
{
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        error = query.lastError();
        return -1;
    }
    return query.value(0).toInt();
}

bool run(QSqlDatabase &database, const QString &statement, QSqlError &error)
{
    QSqlQuery query(database);
    if (query.exec(statement))
        return true;
    error = query.lastError();
    return false;
}

} // namespace

int latestVersion()
{
    return int(kSteps.size());
}

bool upgrade(QSqlDatabase &database, QSqlError &error)
{
    if (!database.transaction()) {
        error = database.lastError();
        return false;
    }
    const int version = versionOf(database, error);
    bool done = version >= 0;
    for (int step = std::max(version, 0); done && step < latestVersion(); ++step) {
        for (const char *statement : kSteps.at(step)) {
            if (!(done = run(database, QLatin1String(statement), error)))
                break;
        }
    }
    // Written even when nothing was missing: a file that cannot be written shows it here, at
    // start-up, and not with the first signal.
    if (done)
        done =
            run(database,
                QStringLiteral("PRAGMA user_version = %1").arg(std::max(version, latestVersion())),
                error);
    if (done && database.commit())
        return true;
    if (done)
        error = database.lastError();
    database.rollback();
    return false;
}

} // namespace journalschema
