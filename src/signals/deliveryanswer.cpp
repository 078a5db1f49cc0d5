#include "signals/deliveryanswer.h"

#include "signals/deliverytexts.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <cmath>

namespace deliveryanswer {

namespace {

using std::chrono::milliseconds;

constexpr int kTooManyRequests = 429;
constexpr qsizetype kFirstLineLimit = 300;

QJsonObject bodyObject(const HttpAnswer &answer)
{
    return QJsonDocument::fromJson(answer.body).object();
}

std::optional<milliseconds> fromSeconds(const QJsonValue &value)
{
    if (!value.isDouble() || !std::isfinite(value.toDouble()) || value.toDouble() < 0)
        return std::nullopt;
    return milliseconds(std::llround(std::ceil(value.toDouble() * 1000.0)));
}

std::optional<milliseconds> fromHeader(const QByteArray &header, const QDateTime &now)
{
    const QByteArray text = header.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool isNumber = false;
    const double seconds = text.toDouble(&isNumber);
    if (isNumber)
        return fromSeconds(QJsonValue(seconds));
    // An HTTP date, "Wed, 21 Oct 2015 07:28:00 GMT".
    const QDateTime date = QLocale::c().toDateTime(QString::fromLatin1(text).chopped(4),
                                                   QStringLiteral("ddd, dd MMM yyyy HH:mm:ss"));
    if (!date.isValid() || !text.endsWith(" GMT"))
        return std::nullopt;
    const QDateTime utc(date.date(), date.time(), Qt::UTC);
    return milliseconds(std::max<qint64>(0, now.msecsTo(utc)));
}

} // namespace

bool isDelivered(const HttpAnswer &answer, DeliveryTarget::Kind kind)
{
    if (answer.status < 200 || answer.status > 299)
        return false;
    if (kind != DeliveryTarget::Kind::Telegram)
        return true;
    const QJsonObject body = bodyObject(answer);
    return !body.contains(QLatin1String("ok")) || body.value(QLatin1String("ok")).toBool(true);
}

std::optional<milliseconds> retryAfter(const HttpAnswer &answer, const QDateTime &now)
{
    if (answer.status != kTooManyRequests)
        return std::nullopt;
    const QJsonObject body = bodyObject(answer);
    const QJsonValue parameters =
        body.value(QLatin1String("parameters")).toObject().value(QLatin1String("retry_after"));
    if (const auto wait = fromSeconds(parameters))
        return wait;
    if (const auto wait = fromHeader(answer.retryAfter, now))
        return wait;
    return fromSeconds(body.value(QLatin1String("retry_after")));
}

QString summary(const HttpAnswer &answer)
{
    if (answer.status == 0)
        return QString::fromLatin1(deliverytexts::kError).arg(answer.error);
    QString text = QString::fromLatin1(deliverytexts::kAnswer)
                       .arg(answer.status)
                       .arg(QString::fromUtf8(answer.reason))
                       .trimmed();
    const QString body = QString::fromUtf8(answer.body);
    const QString firstLine = body.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (!firstLine.isEmpty())
        text += QStringLiteral(": ") + firstLine.left(kFirstLineLimit);
    return text;
}

} // namespace deliveryanswer
