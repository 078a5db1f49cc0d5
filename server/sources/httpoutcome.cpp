#include "sources/httpoutcome.h"

#include "sources/httpdate.h"

#include <algorithm>

namespace {

constexpr std::chrono::seconds kLongestRetryAfter{24 * 3600};

} // namespace

SourceAnswer failedAnswer(const QString &reason)
{
    SourceAnswer answer;
    answer.outcome = SourceAnswer::Outcome::Failed;
    answer.reason = reason;
    return answer;
}

SourceAnswer blockedAnswer(const QString &reason)
{
    SourceAnswer answer;
    answer.outcome = SourceAnswer::Outcome::Blocked;
    answer.reason = reason;
    return answer;
}

std::chrono::seconds retryAfter(const QByteArray &value, const QDateTime &now)
{
    bool isNumber = false;
    const qint64 seconds = value.trimmed().toLongLong(&isNumber);
    std::chrono::seconds wait = kDefaultRetryAfter;
    if (isNumber && seconds >= 0) {
        wait = std::chrono::seconds(std::min<qint64>(seconds, kLongestRetryAfter.count()));
    } else if (const QDateTime until = httpDate(value); until.isValid()) {
        wait = std::chrono::seconds(
            std::clamp<qint64>(now.secsTo(until), 0, kLongestRetryAfter.count()));
    }
    return wait;
}

std::optional<SourceAnswer> unsuccessfulAnswer(const HttpAnswer &http)
{
    if (!http.received)
        return failedAnswer(http.error);
    if (http.status >= 200 && http.status < 300)
        return std::nullopt;
    const QString status = QStringLiteral("HTTP %1").arg(http.status);
    if (http.status == 429) {
        SourceAnswer answer;
        answer.outcome = SourceAnswer::Outcome::RateLimited;
        const QDateTime served = httpDate(http.header("Date"));
        answer.retryAfter = retryAfter(http.header("Retry-After"),
                                       served.isValid() ? served : QDateTime::currentDateTimeUtc());
        answer.reason = status;
        return answer;
    }
    if (http.status == 451)
        return blockedAnswer(status);
    return failedAnswer(status);
}
