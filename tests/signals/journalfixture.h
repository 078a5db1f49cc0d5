#pragma once

#include <QDateTime>

class QSqlDatabase;

// Journal rows for tests and benchmarks, written straight into the table `signals`.
namespace journalfixture {

// Six signals around midnight of 14 May 2024 (UTC), ids 1-6 in time order:
//  1 2024-05-13T20:30Z BUY  EUR/USD     option 1  1.10000  15 min 1.10050, 1 h 1.10100, 4 h 1.09900
//  2 2024-05-13T21:30Z SELL EUR/USD     option 2  1.10000  1 h 1.10200
//  3 2024-05-14T08:00Z BUY  Gold        option 1  2000.00  1 h 2010.00
//  4 2024-05-14T09:00Z SELL Gold        option 3  2000.00  1 h 1990.00
//  5 2024-05-14T10:00Z BUY  USD/JPY     option 1  150.000  nothing later
//  6 2024-05-15T10:00Z SELL Oil, "Urals" option 2  71.20   1 h 71.20 (a name of no instrument)
// All under method 1; currency pairs carry their pip.
bool addSamples(const QSqlDatabase &database);

// `count` signals of rotating instruments, options and directions, one every `spacing`
// seconds back from `newest`, every one with its three later prices.
bool addMany(const QSqlDatabase &database, int count, const QDateTime &newest, int spacing);

} // namespace journalfixture
