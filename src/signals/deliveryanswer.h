#pragma once

#include "signals/deliverytarget.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <chrono>
#include <optional>

// What came back from one POST: the status and the start of the body, or why nothing did.
struct HttpAnswer
{
    int status = 0; // 0: no HTTP answer
    QByteArray reason;
    QByteArray body;       // at most the first kBodyCap bytes
    QByteArray retryAfter; // the Retry-After header
    QString error;         // set when no answer came, or the transfer broke off

    static constexpr qsizetype kBodyCap = 64 * 1024;
};

namespace deliveryanswer {

// The send arrived: a 2xx status, and for Telegram an answer that does not say "ok": false.
bool isDelivered(const HttpAnswer &answer, DeliveryTarget::Kind kind);

// How long a 429 asks to wait: Telegram's parameters.retry_after, else the Retry-After header
// (seconds or an HTTP date), else Discord's retry_after in the body. Nothing when none says.
std::optional<std::chrono::milliseconds> retryAfter(const HttpAnswer &answer, const QDateTime &now);

// "HTTP 200 OK: {"ok":true,...}" (the first line of the body), or "Error: ..." when no answer
// came; not yet redacted.
QString summary(const HttpAnswer &answer);

} // namespace deliveryanswer
