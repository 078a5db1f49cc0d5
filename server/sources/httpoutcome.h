#pragma once

#include "sources/candlesource.h"
#include "sources/sourcehttp.h"

#include <QDateTime>

#include <chrono>
#include <optional>

// How long to keep away after a 429 that names no time of its own.
inline constexpr std::chrono::seconds kDefaultRetryAfter{30};

SourceAnswer failedAnswer(const QString &reason);
SourceAnswer blockedAnswer(const QString &reason);

// The wait a Retry-After header asks for: seconds ("120") or an HTTP date, counted from `now`;
// kDefaultRetryAfter when it is missing or unreadable, at most a day.
std::chrono::seconds retryAfter(const QByteArray &value, const QDateTime &now);

// The answer of a source whose request brought nothing to read: a network error, a timeout or an
// error status (429 rate limited, 451 blocked, any other failed). Nothing for a 2xx status.
std::optional<SourceAnswer> unsuccessfulAnswer(const HttpAnswer &http);
