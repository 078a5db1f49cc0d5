#include "live/candlecache.h"

#include "market/market.h"
#include "market/minutes.h"
#include "market/timeframe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

constexpr char kInputsFolder[] = "inputs";

// The layout of a warm-up, coarse first: {days back, length of its candles}.
constexpr Market::HistoryStretch kKeep[] = {Market::kHistory[0], Market::kHistory[1],
                                            Market::kHistory[2]};

std::vector<TimedCandle> timedCandles(const CandleFile &file)
{
    std::vector<TimedCandle> candles;
    candles.reserve(file.candles.size());
    for (size_t i = 0; i < file.candles.size(); ++i)
        candles.push_back(TimedCandle{file.candles[i], file.lengthOf(i)});
    return candles;
}

CandleFile candleFile(const QString &path, const std::vector<TimedCandle> &candles, int decimals)
{
    CandleFile file;
    file.path = path;
    file.decimals = decimals;
    for (const TimedCandle &timed : candles) {
        file.candles.push_back(timed.candle);
        file.lengths.push_back(timed.minutes);
    }
    return file;
}

QByteArray fileText(const std::vector<TimedCandle> &candles)
{
    QByteArray text = QByteArray(kLengthHeader) + '\n';
    for (const TimedCandle &timed : candles)
        text += candleLine(timed.candle, timed.minutes) + '\n';
    return text;
}

QString writeWhole(const QString &path, const QByteArray &content)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        return QStringLiteral("%1: cannot write: %2")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    return QString();
}

// Merges the candles shorter than `minutes` that open before `before` into candles of that
// length; longer ones stay.
std::vector<TimedCandle> coarsen(const std::vector<TimedCandle> &candles, qint64 before,
                                 int minutes)
{
    const Timeframe timeframe = *timeframeOfLength(minutes);
    std::vector<TimedCandle> result;
    result.reserve(candles.size());
    for (const TimedCandle &timed : candles) {
        if (timed.minutes >= minutes || timed.candle.minute >= before) {
            result.push_back(timed);
            continue;
        }
        const qint64 bucket = bucketStart(timeframe, timed.candle.minute);
        if (!result.empty() && result.back().minutes == minutes &&
            result.back().candle.minute == bucket) {
            Candle &merged = result.back().candle;
            merged.high = std::max(merged.high, timed.candle.high);
            merged.low = std::min(merged.low, timed.candle.low);
            merged.close = timed.candle.close;
            continue;
        }
        Candle opened = timed.candle;
        opened.minute = bucket;
        result.push_back(TimedCandle{opened, minutes});
    }
    return result;
}

} // namespace

std::vector<TimedCandle> compactHistory(const std::vector<TimedCandle> &candles)
{
    if (candles.empty())
        return candles;
    const qint64 end = candles.back().candle.minute + candles.back().minutes;
    const auto cut = [end](qint64 daysBack, int step) {
        return floorDiv(end - daysBack * kMinutesPerDay, step) * step;
    };
    // kKeep: {315 days, hours}, {20 days, quarters}, {4 days, minutes}.
    const qint64 oldest = cut(kKeep[0].daysBack, kKeep[0].stepMinutes);
    const qint64 quartersFrom = cut(kKeep[1].daysBack, kKeep[0].stepMinutes);
    const qint64 minutesFrom = cut(kKeep[2].daysBack, kKeep[1].stepMinutes);
    // Rewritten only once something is well past its place, so that a file changes seldom.
    constexpr qint64 kMarginDays = 30;
    bool due =
        end - candles.front().candle.minute > (kKeep[0].daysBack + kMarginDays) * kMinutesPerDay;
    for (const TimedCandle &timed : candles) {
        const qint64 age = end - timed.candle.minute;
        const bool minuteTooOld =
            timed.minutes < kKeep[1].stepMinutes && age > 2 * kKeep[2].daysBack * kMinutesPerDay;
        const bool quarterTooOld =
            timed.minutes < kKeep[0].stepMinutes && age > 2 * kKeep[1].daysBack * kMinutesPerDay;
        if (minuteTooOld || quarterTooOld) {
            due = true;
            break;
        }
    }
    if (!due)
        return candles;
    std::vector<TimedCandle> kept;
    for (const TimedCandle &timed : candles) {
        if (timed.candle.minute >= oldest)
            kept.push_back(timed);
    }
    kept = coarsen(kept, quartersFrom, kKeep[0].stepMinutes);
    return coarsen(kept, minutesFrom, kKeep[1].stepMinutes);
}

CandleCache::CandleCache(QString folder)
    : m_folder(std::move(folder))
{}

QString CandleCache::prepare() const
{
    if (!QDir().mkpath(QDir(m_folder).filePath(QLatin1String(kInputsFolder))))
        return QStringLiteral("%1: cannot create the data folder")
            .arg(QDir::toNativeSeparators(m_folder));
    // A folder that exists but takes no files would lose every candle quietly.
    QSaveFile probe(QDir(m_folder).filePath(QStringLiteral(".quentara-write-test")));
    if (!probe.open(QIODevice::WriteOnly))
        return QStringLiteral("%1: cannot write to the data folder: %2")
            .arg(QDir::toNativeSeparators(m_folder), probe.errorString());
    probe.cancelWriting();
    return QString();
}

QString CandleCache::pathOf(const QString &code) const
{
    const bool instrument = instrumentIndex(code) >= 0;
    const QDir dir(instrument ? m_folder : QDir(m_folder).filePath(QLatin1String(kInputsFolder)));
    return dir.filePath(code + QStringLiteral(".csv"));
}

CandleCache::Load CandleCache::load(const QString &code) const
{
    Load result;
    const QString path = pathOf(code);
    result.file.path = path;
    QFile file(path);
    if (!file.exists())
        return result;
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("%1: cannot read: %2")
                           .arg(QDir::toNativeSeparators(path), file.errorString());
        return result;
    }
    const QByteArray content = file.readAll();
    file.close();
    QStringList notes;
    const bool cutOff = !content.isEmpty() && !content.endsWith('\n');
    if (cutOff) {
        // Only whole lines: what follows the last line end was being written when the server
        // stopped.
        const QString error = writeWhole(path, content.left(content.lastIndexOf('\n') + 1));
        if (!error.isEmpty()) {
            result.error = error;
            return result;
        }
        notes << QStringLiteral("an unfinished last line dropped");
    }
    QString error;
    std::optional<CandleFile> read = readCandleFile(path, &error);
    if (!read) {
        result.error = error;
        return result;
    }
    const bool headed = content.startsWith(kLengthHeader);
    const std::vector<TimedCandle> candles = timedCandles(*read);
    const std::vector<TimedCandle> compacted = compactHistory(candles);
    if (compacted != candles || (!headed && !candles.empty())) {
        error = writeWhole(path, fileText(compacted));
        if (!error.isEmpty()) {
            result.error = error;
            return result;
        }
        if (compacted != candles)
            notes << QStringLiteral("%1 candles compacted into %2")
                         .arg(candles.size())
                         .arg(compacted.size());
    }
    result.file = candleFile(path, compacted, read->decimals);
    result.note = notes.join(QStringLiteral(", "));
    return result;
}

QString CandleCache::append(const QString &code, const std::vector<TimedCandle> &candles) const
{
    if (candles.empty())
        return QString();
    const QString path = pathOf(code);
    QFile file(path);
    if (!file.open(QIODevice::Append))
        return QStringLiteral("%1: cannot write: %2")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    QByteArray text;
    if (file.size() == 0)
        text = QByteArray(kLengthHeader) + '\n';
    for (const TimedCandle &timed : candles)
        text += candleLine(timed.candle, timed.minutes) + '\n';
    // One write, so that a stop cuts at most the last line.
    if (file.write(text) != text.size())
        return QStringLiteral("%1: cannot write: %2")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    return QString();
}
