#include "market/csvcandles.h"

#include "market/csvfields.h"
#include "market/market.h"
#include "market/minutes.h"
#include "market/timeframe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// Prices of more decimals than this are taken, but published with this many.
constexpr int kMostDecimals = 8;

int decimalsOf(const QString &field)
{
    const qsizetype point = field.indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : std::min(kMostDecimals, int(field.size() - point - 1));
}

// Whether the file's first line is the header that announces a length column.
bool carriesLengths(const QByteArray &content)
{
    const QString first = QString::fromUtf8(content.left(content.indexOf('\n'))).trimmed();
    if (first.isEmpty() || first[0].isDigit())
        return false;
    const QStringList fields = csvFields(first, csvSeparator(first));
    return fields.size() >= 6 &&
           fields[5].compare(QLatin1String("minutes"), Qt::CaseInsensitive) == 0;
}

} // namespace

int decimalsNeeded(double price)
{
    for (int decimals = 0; decimals < kMostDecimals; ++decimals) {
        const double scale = std::pow(10.0, decimals);
        const double scaled = price * scale;
        if (std::abs(scaled - std::round(scaled)) <= 1e-9 * std::max(1.0, std::abs(scaled)))
            return decimals;
    }
    return kMostDecimals;
}

QByteArray candleLine(const Candle &candle, int lengthMinutes)
{
    QByteArray line = minuteText(candle.minute).toLatin1();
    for (double price : {candle.open, candle.high, candle.low, candle.close})
        line += ',' + QByteArray::number(price, 'f', decimalsNeeded(price));
    line += ',' + QByteArray::number(lengthMinutes);
    return line;
}

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
    const bool withLengths = carriesLengths(content);
    std::vector<Candle> &candles = result.candles;
    qint64 previousEnd = 0;
    *error = parseTimedCsv(path, content, [&](const QStringList &fields) -> QString {
        const qsizetype needed = withLengths ? 6 : 5;
        if (fields.size() < needed) {
            return withLengths
                       ? QStringLiteral(
                             "expected time,open,high,low,close,minutes but found %1 field(s)")
                             .arg(fields.size())
                       : QStringLiteral("expected time,open,high,low,close but found %1 field(s)")
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
            const std::optional<double> price = positivePrice(fields[i + 1]);
            if (!price)
                return QStringLiteral("\"%1\" is not a positive price").arg(fields[i + 1]);
            *prices[i] = *price;
            result.decimals = std::max(result.decimals, decimalsOf(fields[i + 1]));
        }
        if (candle.high < std::max({candle.open, candle.close, candle.low}) ||
            candle.low > std::min(candle.open, candle.close))
            return QStringLiteral(
                "the high must be the highest and the low the lowest of the prices");
        int length = 1;
        if (withLengths) {
            bool ok = false;
            length = fields[5].toInt(&ok);
            if (!ok || !fillsItsBucket(candle.minute, length))
                return QStringLiteral("\"%1\" is not the length of a timeframe's candle opening at "
                                      "%2 (1, 5, 15, 30, 60, 240 or 1440 minutes)")
                    .arg(fields[5], fields[0]);
        }
        if (!candles.empty() && candle.minute < previousEnd)
            return QStringLiteral("%1 does not come after the time of the line before")
                .arg(fields[0]);
        candles.push_back(candle);
        if (withLengths)
            result.lengths.push_back(length);
        previousEnd = candle.minute + length;
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
