#include "market/csvcandles.h"

#include "market/csvfields.h"
#include "market/market.h"
#include "market/minutes.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

// Prices of more decimals than this are taken, but published with this many.
constexpr int kMostDecimals = 8;

std::optional<double> priceField(const QString &field)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(field, &ok);
    if (!ok || !std::isfinite(value) || value <= 0)
        return std::nullopt;
    return value;
}

int decimalsOf(const QString &field)
{
    const qsizetype point = field.indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : std::min(kMostDecimals, int(field.size() - point - 1));
}

} // namespace

std::optional<CandleFile> readCandleFile(const QString &path, QString *error)
{
    const std::optional<QByteArray> content = readInputFile(path, error);
    return content ? parseCandleFile(path, *content, error) : std::nullopt;
}

std::optional<CandleFile> parseCandleFile(const QString &path, const QByteArray &content,
                                          QString *error)
{
    CandleFile result;
    result.path = path;
    std::vector<Candle> &candles = result.candles;
    *error = parseTimedCsv(path, content, [&](const QStringList &fields) -> QString {
        if (fields.size() < 5) {
            return QStringLiteral("expected time,open,high,low,close but found %1 field(s)")
                .arg(fields.size());
        }
        const std::optional<qint64> minute = parseGmtMinute(fields[0]);
        if (!minute) {
            return QStringLiteral("\"%1\" is not a time on a whole minute such as 2024-05-14 10:06")
                .arg(fields[0]);
        }
        Candle candle;
        candle.minute = *minute;
        double *prices[4] = {&candle.open, &candle.high, &candle.low, &candle.close};
        for (int i = 0; i < 4; ++i) {
            const std::optional<double> price = priceField(fields[i + 1]);
            if (!price)
                return QStringLiteral("\"%1\" is not a positive price").arg(fields[i + 1]);
            *prices[i] = *price;
            result.decimals = std::max(result.decimals, decimalsOf(fields[i + 1]));
        }
        if (candle.high < std::max({candle.open, candle.close, candle.low}) ||
            candle.low > std::min(candle.open, candle.close))
            return QStringLiteral(
                "the high must be the highest and the low the lowest of the prices");
        if (!candles.empty() && candle.minute <= candles.back().minute)
            return QStringLiteral("%1 does not come after the time of the line before")
                .arg(fields[0]);
        candles.push_back(candle);
        return QString();
    });
    if (!error->isEmpty())
        return std::nullopt;
    return result;
}

CandleFolder readCandleFolder(const QString &folder)
{
    CandleFolder result;
    const QDir dir(folder);
    if (!dir.exists()) {
        result.error = QStringLiteral("%1: no such folder").arg(QDir::toNativeSeparators(folder));
        return result;
    }
    const QFileInfoList entries =
        dir.entryInfoList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString code = entry.completeBaseName();
        if (instrumentIndex(code) < 0) {
            result.error = QStringLiteral("%1: no instrument has the server code \"%2\"")
                               .arg(QDir::toNativeSeparators(entry.filePath()), code);
            return result;
        }
        QString error;
        std::optional<CandleFile> file = readCandleFile(entry.filePath(), &error);
        if (!file) {
            result.error = error;
            return result;
        }
        result.files.insert(code, std::move(*file));
    }
    return result;
}
