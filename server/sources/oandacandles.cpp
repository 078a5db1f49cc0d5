#include "sources/oandacandles.h"

#include "market/minutes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <array>
#include <cmath>

namespace {

bool allZeros(QStringView digits)
{
    for (const QChar c : digits) {
        if (c != QLatin1Char('0'))
            return false;
    }
    return true;
}

bool allDigits(QStringView text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return !text.isEmpty();
}

// "1715681160.000000000"
std::optional<qint64> unixMinute(QStringView text)
{
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    const QStringView whole = point < 0 ? text : text.left(point);
    if (!allDigits(whole) || whole.size() > 12 ||
        (point >= 0 && (!allDigits(text.mid(point + 1)) || !allZeros(text.mid(point + 1)))))
        return std::nullopt;
    const qint64 seconds = whole.toLongLong();
    if (seconds % 60 != 0)
        return std::nullopt;
    return seconds / 60;
}

// "2024-05-14T10:06:00.000000000Z", "2024-05-14T12:06:00+02:00"
std::optional<qint64> rfc3339Minute(QStringView text)
{
    if (text.size() < 20)
        return std::nullopt;
    const std::optional<qint64> local = parseGmtMinute(text.left(19));
    QStringView rest = text.mid(19);
    if (!local || text[10] != QLatin1Char('T'))
        return std::nullopt;
    if (rest.startsWith(QLatin1Char('.'))) {
        qsizetype digits = 1;
        while (digits < rest.size() && rest[digits].isDigit())
            ++digits;
        if (digits == 1 || !allZeros(rest.mid(1, digits - 1)))
            return std::nullopt;
        rest = rest.mid(digits);
    }
    if (rest == QLatin1String("Z"))
        return local;
    if (rest.size() != 6 || (rest[0] != QLatin1Char('+') && rest[0] != QLatin1Char('-')) ||
        rest[3] != QLatin1Char(':') || !allDigits(rest.mid(1, 2)) || !allDigits(rest.mid(4, 2)))
        return std::nullopt;
    const qint64 offset = rest.mid(1, 2).toInt() * 60 + rest.mid(4, 2).toInt();
    return *local - (rest[0] == QLatin1Char('+') ? offset : -offset);
}

std::optional<double> priceOf(const QJsonValue &value)
{
    const QString text = value.toString();
    if (!value.isString() || text.isEmpty() || !text[0].isDigit())
        return std::nullopt;
    bool ok = false;
    const double price = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(price) || price <= 0)
        return std::nullopt;
    return price;
}

} // namespace

std::optional<qint64> parseOandaMinute(QStringView text)
{
    return text.contains(QLatin1Char('-')) ? rfc3339Minute(text) : unixMinute(text);
}

QString oandaErrorMessage(const QByteArray &body)
{
    return QJsonDocument::fromJson(body)
        .object()
        .value(QLatin1StringView("errorMessage"))
        .toString();
}

ParsedCandles parseOandaCandles(const QByteArray &body, int stepMinutes)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return ParsedCandles::failure(QStringLiteral("not JSON: %1").arg(parseError.errorString()));
    const QJsonValue list = document.object().value(QLatin1StringView("candles"));
    if (!list.isArray())
        return ParsedCandles::failure(QStringLiteral("no array \"candles\""));

    ParsedCandles parsed;
    const QJsonArray candles = list.toArray();
    for (qsizetype i = 0; i < candles.size(); ++i) {
        const QJsonObject entry = candles[i].toObject();
        const QJsonValue complete = entry.value(QLatin1StringView("complete"));
        if (!complete.isBool())
            return ParsedCandles::failure(QStringLiteral("candle %1 has no \"complete\"").arg(i));
        if (!complete.toBool())
            continue;
        const std::optional<qint64> minute =
            parseOandaMinute(entry.value(QLatin1StringView("time")).toString());
        if (!minute || floorMod(*minute, stepMinutes) != 0)
            return ParsedCandles::failure(
                QStringLiteral("candle %1 has no time on its step").arg(i));
        if (!parsed.candles.empty() && *minute <= parsed.candles.back().minute)
            return ParsedCandles::failure(QStringLiteral("candle %1 is out of order").arg(i));
        const QJsonObject mid = entry.value(QLatin1StringView("mid")).toObject();
        static constexpr std::array<QLatin1StringView, 4> kFields{
            QLatin1StringView("o"), QLatin1StringView("h"), QLatin1StringView("l"),
            QLatin1StringView("c")};
        std::array<double, 4> prices{};
        for (size_t f = 0; f < kFields.size(); ++f) {
            const std::optional<double> price = priceOf(mid.value(kFields[f]));
            if (!price) {
                return ParsedCandles::failure(
                    QStringLiteral("candle %1 has no positive mid \"%2\"").arg(i).arg(kFields[f]));
            }
            prices[f] = *price;
        }
        const Candle candle{*minute, prices[0], prices[1], prices[2], prices[3]};
        if (!isConsistent(candle))
            return ParsedCandles::failure(QStringLiteral("candle %1 does not add up").arg(i));
        parsed.candles.push_back(candle);
    }
    return parsed;
}
