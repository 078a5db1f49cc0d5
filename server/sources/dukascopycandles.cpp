#include "sources/dukascopycandles.h"

#include "market/minutes.h"
#include "market/timeframe.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <cmath>
#include <optional>

namespace {

// Whole numbers beyond this are no longer exact in a double.
constexpr double kLargestExact = 9007199254740992.0; // 2^53

std::optional<qint64> wholeNumber(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::floor(number) != number || std::fabs(number) > kLargestExact)
        return std::nullopt;
    return qint64(number);
}

std::optional<double> positiveNumber(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number <= 0)
        return std::nullopt;
    return number;
}

// Turns units into a price. A multiplier that is a power of ten (the usual case) divides by the
// exact power instead, so that 108125 units of 0.00001 give the double nearest 1.08125.
class PriceScale
{
public:
    explicit PriceScale(double multiplier)
        : m_multiplier(multiplier)
    {
        for (int digits = 0; digits <= 12; ++digits) {
            const double power = std::pow(10.0, digits);
            if (std::fabs(multiplier * power - 1.0) < 1e-9) {
                m_divisor = power;
                break;
            }
        }
    }

    double price(qint64 units) const
    {
        return m_divisor > 0 ? double(units) / m_divisor : double(units) * m_multiplier;
    }
    std::optional<qint64> units(double price) const
    {
        const double units = std::round(price / m_multiplier);
        if (!std::isfinite(units) || units > kLargestExact)
            return std::nullopt;
        return qint64(units);
    }

private:
    double m_multiplier;
    double m_divisor = 0;
};

} // namespace

ParsedCandles parseDukascopyCandles(const QByteArray &body, int stepMinutes)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return ParsedCandles::failure(QStringLiteral("not JSON: %1").arg(parseError.errorString()));
    if (!document.isObject())
        return ParsedCandles::failure(QStringLiteral("not a JSON object"));
    const QJsonObject object = document.object();

    static constexpr std::array<QLatin1StringView, 5> kSeries{
        QLatin1StringView("times"), QLatin1StringView("opens"), QLatin1StringView("highs"),
        QLatin1StringView("lows"), QLatin1StringView("closes")};
    std::array<QJsonArray, 5> series;
    for (size_t i = 0; i < kSeries.size(); ++i) {
        const QJsonValue value = object.value(kSeries[i]);
        if (!value.isArray())
            return ParsedCandles::failure(QStringLiteral("no array \"%1\"").arg(kSeries[i]));
        series[i] = value.toArray();
        if (series[i].size() != series[0].size()) {
            return ParsedCandles::failure(
                QStringLiteral("\"%1\" and \"times\" differ in length").arg(kSeries[i]));
        }
    }
    const QJsonValue volumes = object.value(QLatin1StringView("volumes"));
    if (!volumes.isUndefined() &&
        (!volumes.isArray() || volumes.toArray().size() != series[0].size()))
        return ParsedCandles::failure(QStringLiteral("\"volumes\" and \"times\" differ in length"));
    if (series[0].isEmpty())
        return {};

    const std::optional<qint64> timestamp =
        wholeNumber(object.value(QLatin1StringView("timestamp")));
    const std::optional<qint64> shift = wholeNumber(object.value(QLatin1StringView("shift")));
    const std::optional<double> multiplier =
        positiveNumber(object.value(QLatin1StringView("multiplier")));
    if (!timestamp || *timestamp % 60000 != 0)
        return ParsedCandles::failure(QStringLiteral("no \"timestamp\" on a whole minute"));
    if (!shift || *shift != qint64(stepMinutes) * 60000) {
        return ParsedCandles::failure(
            QStringLiteral("\"shift\" is not %1 ms").arg(qint64(stepMinutes) * 60000));
    }
    if (!multiplier)
        return ParsedCandles::failure(QStringLiteral("no positive \"multiplier\""));
    const PriceScale scale(*multiplier);

    static constexpr std::array<QLatin1StringView, 4> kStarts{
        QLatin1StringView("open"), QLatin1StringView("high"), QLatin1StringView("low"),
        QLatin1StringView("close")};
    std::array<qint64, 4> units{};
    for (size_t i = 0; i < kStarts.size(); ++i) {
        const std::optional<double> start = positiveNumber(object.value(kStarts[i]));
        const std::optional<qint64> startUnits = start ? scale.units(*start) : std::nullopt;
        if (!startUnits)
            return ParsedCandles::failure(QStringLiteral("no positive \"%1\"").arg(kStarts[i]));
        units[i] = *startUnits;
    }

    ParsedCandles parsed;
    parsed.candles.reserve(size_t(series[0].size()));
    qint64 minute = *timestamp / 60000;
    for (qsizetype i = 0; i < series[0].size(); ++i) {
        const std::optional<qint64> steps = wholeNumber(series[0][i]);
        if (!steps || *steps < (i == 0 ? 0 : 1) || *steps > kMinutesPerDay * 366)
            return ParsedCandles::failure(QStringLiteral("times[%1] is not a step forward").arg(i));
        minute += *steps * stepMinutes;
        for (size_t s = 0; s < units.size(); ++s) {
            const std::optional<qint64> delta = wholeNumber(series[s + 1][i]);
            if (!delta || std::fabs(double(units[s]) + double(*delta)) > kLargestExact) {
                return ParsedCandles::failure(
                    QStringLiteral("%1[%2] is not a whole number of units")
                        .arg(kSeries[s + 1])
                        .arg(i));
            }
            units[s] += *delta;
        }
        const Candle candle{minute, scale.price(units[0]), scale.price(units[1]),
                            scale.price(units[2]), scale.price(units[3])};
        if (floorMod(minute, stepMinutes) != 0 || !isConsistent(candle)) {
            return ParsedCandles::failure(
                QStringLiteral("the candle of %1 does not add up").arg(minuteText(minute)));
        }
        parsed.candles.push_back(candle);
    }
    return parsed;
}
