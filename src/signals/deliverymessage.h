#pragma once

#include "signals/deliverytarget.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <optional>

struct DeliveredSignal;

// A delivered signal as remote targets receive it.
struct OutgoingSignal
{
    QString id;     // unique; also the webhook's Idempotency-Key
    QDateTime time; // UTC, whole seconds
    QString direction;
    QString instrument; // signal name, e.g. "EUR/USD"
    QString symbol;     // export symbol, e.g. "EURUSD"
    int option = 0;
    QString priceText; // the record's current price as it writes it

    // The delivered signal at the moment of its delivery; the id is left to the caller.
    static OutgoingSignal of(const DeliveredSignal &delivered);
    std::optional<double> price() const;
    // "BUY EUR/USD option 1", for messages about the send.
    QString description() const;

    friend bool operator==(const OutgoingSignal &, const OutgoingSignal &) = default;
};

// One HTTP POST with a JSON body.
struct DeliveryRequest
{
    QUrl url;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers; // besides Content-Type
};

namespace deliverymessage {

// {"id","time","direction","instrument","symbol","option","price"} in this order.
QByteArray webhookBody(const OutgoingSignal &signal);
// "BUY EUR/USD · option 1 · 1.08765 · 10:06", the time of day local.
QString chatLine(const OutgoingSignal &signal);
// Telegram's chat_id: a number when the chat is one, else the text ("@channel").
QByteArray telegramBody(const QString &chat, const QString &text);
QByteArray discordBody(const QString &text);

// What a target is sent for a signal.
DeliveryRequest requestFor(const DeliveryTarget &target, const OutgoingSignal &signal);
// What a target is sent to test it: a message that says it is a test and carries no direction,
// so that no bot reading the webhook can take it for a signal.
DeliveryRequest testRequestFor(const DeliveryTarget &target, const QString &id,
                               const QDateTime &time);

// The text with the target's secrets taken out: the Telegram token, and the path and query of
// its address (a Discord webhook's token is in its path), wherever they occur.
QString redacted(const QString &text, const DeliveryTarget &target);

} // namespace deliverymessage
