#include "signals/deliverymessage.h"

#include "app/catalogue.h"
#include "app/version.h"
#include "market/pivotplacement.h"
#include "signals/deliveredsignal.h"
#include "signals/deliverytexts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

namespace {

constexpr char16_t kLineSeparator[] = u" \u00b7 ";
constexpr char16_t kHidden[] = u"\u2022\u2022\u2022";

// One JSON value as text: written as the only element of an array, which is then unwrapped.
QByteArray jsonText(const QJsonValue &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

// A JSON object with its members in the given order, which QJsonObject would sort.
QByteArray orderedObject(const QList<QPair<const char *, QJsonValue>> &members)
{
    QByteArray json = "{";
    for (const auto &[name, value] : members) {
        if (json.size() > 1)
            json += ',';
        json += jsonText(QLatin1String(name)) + ':' + jsonText(value);
    }
    return json + '}';
}

QString isoTime(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODate);
}

QString telegramAddress(const DeliveryTarget &target)
{
    QString api = target.api.trimmed();
    while (api.endsWith(QLatin1Char('/')))
        api.chop(1);
    return api + QStringLiteral("/bot") + target.token.trimmed() + QStringLiteral("/sendMessage");
}

DeliveryRequest chatRequest(const DeliveryTarget &target, const QString &text)
{
    if (target.kind == DeliveryTarget::Kind::Telegram)
        return {
            QUrl(telegramAddress(target)), deliverymessage::telegramBody(target.chat, text), {}};
    return {QUrl(target.url.trimmed()), deliverymessage::discordBody(text), {}};
}

void replaceAll(QString &text, const QString &secret, const QString &replacement)
{
    if (!secret.isEmpty())
        text.replace(secret, replacement);
}

// Everything after the host, in the forms an error text may quote it.
void hideAfterHost(QString &text, const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return;
    const QString hidden = QStringLiteral("/") + QString::fromUtf16(kHidden);
    for (const QUrl::ComponentFormattingOptions form :
         {QUrl::ComponentFormattingOptions(QUrl::FullyEncoded),
          QUrl::ComponentFormattingOptions(QUrl::PrettyDecoded)}) {
        const QString full = url.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority | form);
        if (full.size() > 1)
            replaceAll(text, full, hidden);
    }
}

} // namespace

OutgoingSignal OutgoingSignal::of(const DeliveredSignal &delivered)
{
    const Signal &signal = delivered.signal;
    OutgoingSignal outgoing;
    outgoing.time = delivered.time.toUTC();
    outgoing.time.setTime(QTime(outgoing.time.time().hour(), outgoing.time.time().minute(),
                                outgoing.time.time().second()));
    outgoing.direction = signal.direction;
    outgoing.instrument = signal.instrument;
    outgoing.symbol = catalogue::exportSymbol(signal.instrument);
    outgoing.option = signal.option.toInt();
    outgoing.priceText = delivered.priceText.trimmed();
    return outgoing;
}

std::optional<double> OutgoingSignal::price() const
{
    return readPrice(priceText);
}

QString OutgoingSignal::description() const
{
    return direction + QLatin1Char(' ') + instrument + QStringLiteral(" option ") +
           QString::number(option);
}

namespace deliverymessage {

QByteArray webhookBody(const OutgoingSignal &signal)
{
    const std::optional<double> price = signal.price();
    return orderedObject({
        {"id", signal.id},
        {"time", isoTime(signal.time)},
        {"direction", signal.direction},
        {"instrument", signal.instrument},
        {"symbol", signal.symbol},
        {"option", signal.option},
        {"price", price ? QJsonValue(*price) : QJsonValue()},
    });
}

QString chatLine(const OutgoingSignal &signal)
{
    const QString separator = QString::fromUtf16(kLineSeparator);
    QStringList parts{signal.direction + QLatin1Char(' ') + signal.instrument,
                      QStringLiteral("option ") + QString::number(signal.option)};
    if (!signal.priceText.isEmpty())
        parts << signal.priceText;
    parts << signal.time.toLocalTime().toString(QStringLiteral("HH:mm"));
    return parts.join(separator);
}

QByteArray telegramBody(const QString &chat, const QString &text)
{
    const QString trimmed = chat.trimmed();
    bool isNumber = false;
    const qint64 number = trimmed.toLongLong(&isNumber);
    return orderedObject({
        {"chat_id", isNumber ? QJsonValue(number) : QJsonValue(trimmed)},
        {"text", text},
    });
}

QByteArray discordBody(const QString &text)
{
    return orderedObject({{"content", text}});
}

DeliveryRequest requestFor(const DeliveryTarget &target, const OutgoingSignal &signal)
{
    if (target.kind != DeliveryTarget::Kind::Webhook)
        return chatRequest(target, chatLine(signal));
    return {
        QUrl(target.url.trimmed()), webhookBody(signal), {{"Idempotency-Key", signal.id.toUtf8()}}};
}

DeliveryRequest testRequestFor(const DeliveryTarget &target, const QString &id,
                               const QDateTime &time)
{
    const QString text = QLatin1String(deliverytexts::kTestText);
    if (target.kind != DeliveryTarget::Kind::Webhook)
        return chatRequest(target, text);
    return {QUrl(target.url.trimmed()),
            orderedObject({{"id", id}, {"time", isoTime(time)}, {"test", true}, {"text", text}}),
            {{"Idempotency-Key", id.toUtf8()}}};
}

QString redacted(const QString &text, const DeliveryTarget &target)
{
    QString result = text;
    const QString token = target.token.trimmed();
    const QString hidden = QString::fromUtf16(kHidden);
    replaceAll(result, token, hidden);
    replaceAll(result, QString::fromLatin1(QUrl::toPercentEncoding(token)), hidden);
    hideAfterHost(result, QUrl(target.url.trimmed()));
    hideAfterHost(result, QUrl(target.api.trimmed()));
    return result;
}

} // namespace deliverymessage
