#include "sources/binanceklines.h"

#include "market/csvfields.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>
#include <optional>

namespace {

constexpr qint64 kMsPerMinute = 60000;
constexpr int kRowFields = 7;
constexpr int kLongestMessage = 200;
// Times before 2000 or after 2200 are no market's (and keep the arithmetic far from overflow).
constexpr double kEarliestMs = 946684800000.0;
constexpr double kLatestMs = 7258118400000.0;

std::optional<qint64> timeField(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double ms = value.toDouble();
    if (!std::isfinite(ms) || ms != std::floor(ms) || ms < kEarliestMs || ms > kLatestMs)
        return std::nullopt;
    return qint64(ms);
}

std::optional<double> priceField(const QJsonValue &value)
{
    if (!value.isString())
        return std::nullopt;
    return decimalNumber(value.toString());
}

} // namespace

KlinesParse parseKlines(const QByteArray &body)
{
    KlinesParse result;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        result.error = QStringLiteral("not JSON (%1 at byte %2)")
                           .arg(parseError.errorString())
                           .arg(parseError.offset);
        return result;
    }
    if (!document.isArray()) {
        result.error = QStringLiteral("not an array of klines");
        return result;
    }
    const QJsonArray rows = document.array();
    result.rows.reserve(size_t(rows.size()));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QJsonArray fields = rows[i].toArray();
        std::optional<qint64> open;
        std::optional<qint64> close;
        if (rows[i].isArray() && fields.size() >= kRowFields) {
            open = timeField(fields[0]);
            close = timeField(fields[6]);
        }
        if (!open || !close || *open % kMsPerMinute != 0 || *close < *open) {
            result.rows.clear();
            result.error = QStringLiteral("kline %1 is not [openTime, open, high, low, close, "
                                          "volume, closeTime, ...] on a whole minute")
                               .arg(i + 1);
            return result;
        }
        KlineRow row;
        row.openMs = *open;
        row.closeMs = *close;
        row.candle.minute = *open / kMsPerMinute;
        double *prices[4] = {&row.candle.open, &row.candle.high, &row.candle.low,
                             &row.candle.close};
        for (int k = 0; k < 4; ++k) {
            const std::optional<double> price = priceField(fields[k + 1]);
            if (!price) {
                result.rows.clear();
                result.error =
                    QStringLiteral("kline %1 has a price that is not a number").arg(i + 1);
                return result;
            }
            *prices[k] = *price;
        }
        result.rows.push_back(row);
    }
    return result;
}

QString binanceErrorMessage(const QByteArray &body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (!document.isObject())
        return QString();
    QString message = document.object().value(QLatin1String("msg")).toString();
    message.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    return message.left(kLongestMessage);
}
