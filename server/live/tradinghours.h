#pragma once

#include <QString>

#include <optional>

// When an instrument trades, so that its source owes a candle for every minute:
// - the cryptocurrencies always;
// - currency pairs and the euro index in the forex week (Sunday 22:00 to Friday 22:00 GMT);
// - metals, energy and the dollar index in the forex week, but not from 20:00 to 23:00 GMT,
//   where their markets pause for an hour (earlier in summer, later in winter);
// - stock indices and shares on weekdays in their exchange's regular session, taken as the GMT
//   hours that lie inside it in summer and in winter alike: Paris, Frankfurt, Madrid and London
//   08:00-15:30, New York 14:30-20:00, Tokyo 00:00-02:30 and 03:30-06:00, Hong Kong 01:30-04:00
//   and 05:00-08:00. An exchange holiday therefore looks like a feed gone stale.
// `code` is a server code, or "eursek" for the euro index's extra constituent.
bool tradesAt(const QString &code, qint64 minute);

// An instrument is stale when, since its last candle ended at `lastEnd`, five minutes in which
// it traded have passed without a candle (the minute that just closed, which a source may not
// have yet, not counted). Returns `lastEnd` then, for "stale since"; nothing while it is not.
inline constexpr int kStaleMinutes = 5;
std::optional<qint64> staleSince(const QString &code, qint64 lastEnd, qint64 now);
