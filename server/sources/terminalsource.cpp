#include "sources/terminalsource.h"

#include "market/csvfields.h"
#include "sources/httpoutcome.h"
#include "sources/terminalline.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

// How much of what precedes the read position is compared to notice a replaced file.
constexpr qsizetype kKeptBefore = 64;

bool isFileName(const QString &symbol)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._-]*$"));
    return name.match(symbol).hasMatch();
}

} // namespace

TerminalSource::TerminalSource(const QString &folder, int brokerOffsetHours)
    : m_folder(folder)
    , m_offsetMinutes(qint64(brokerOffsetHours) * 60)
{}

QString TerminalSource::describe(const QString &symbol) const
{
    return QStringLiteral("terminal %1.csv").arg(symbol);
}

QCoro::Task<SourceAnswer> TerminalSource::fetch(QString symbol, qint64 fromMinute, qint64 toMinute,
                                                bool)
{
    if (!isFileName(symbol))
        co_return failedAnswer(QStringLiteral("\"%1\" is not a file name").arg(symbol));
    const QDir folder(m_folder);
    if (!folder.exists()) {
        co_return failedAnswer(
            QStringLiteral("%1: no such folder").arg(QDir::toNativeSeparators(m_folder)));
    }
    const QString path = folder.filePath(symbol + QStringLiteral(".csv"));
    if (!QFile::exists(path))
        co_return failedAnswer(
            QStringLiteral("%1: no such file").arg(QDir::toNativeSeparators(path)));

    Followed &followed = m_files[symbol];
    // A second fetch of the same file while the first reads it has nothing to add.
    if (followed.reading)
        co_return SourceAnswer{};
    followed.reading = true;
    const QString complaint = co_await readNew(path, &followed, fromMinute);
    followed.reading = false;
    std::erase_if(followed.waiting,
                  [fromMinute](const Candle &candle) { return candle.minute < fromMinute; });
    if (!complaint.isEmpty())
        co_return failedAnswer(complaint);
    CandleRun run;
    std::vector<Candle> later;
    for (const Candle &candle : followed.waiting)
        (candle.minute < toMinute ? run.candles : later).push_back(candle);
    followed.waiting = std::move(later);
    SourceAnswer answer;
    if (!run.candles.empty())
        answer.runs.push_back(std::move(run));
    co_return answer;
}

QCoro::Task<QString> TerminalSource::readNew(QString path, Followed *followed, qint64 fromMinute)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        co_return QStringLiteral("%1: cannot read the file: %2")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    }
    const qsizetype kept = followed->before.size();
    const bool unchanged = file.size() >= followed->position &&
                           file.seek(followed->position - kept) &&
                           file.read(kept) == followed->before;
    if (!unchanged) {
        followed->position = 0;
        followed->before.clear();
        followed->lines = 0;
        followed->waiting.clear();
        file.seek(0);
    }
    QString complaint;
    for (;;) {
        const QByteArray chunk = file.read(kChunkBytes);
        qsizetype end = chunk.lastIndexOf('\n') + 1;
        if (end == 0 && chunk.size() == kChunkBytes) {
            // No line is this long: skip it rather than wait for its end for ever.
            complaint = fileLineError(path, followed->lines + 1, QStringLiteral("line too long"));
            end = chunk.size();
        }
        if (end == 0)
            break;
        for (qsizetype start = 0; start < end;) {
            const qsizetype newline = chunk.indexOf('\n', start);
            const qsizetype stop = newline < 0 ? end : newline + 1;
            const TerminalLine line = parseTerminalLine(
                QByteArrayView(chunk).sliced(start, stop - start), followed->lines == 0);
            ++followed->lines;
            if (line.kind == TerminalLine::Kind::Malformed && complaint.isEmpty()) {
                complaint = fileLineError(path, followed->lines, line.error);
            } else if (line.kind == TerminalLine::Kind::Candle) {
                Candle candle = line.candle;
                candle.minute -= m_offsetMinutes;
                if (candle.minute >= fromMinute)
                    followed->waiting.push_back(candle);
            }
            start = stop;
        }
        followed->position += end;
        followed->before = (followed->before + chunk.left(end)).right(kKeptBefore);
        if (chunk.size() < kChunkBytes || !file.seek(followed->position))
            break;
        co_await m_waits.wait(std::chrono::milliseconds(0)); // the event loop's turn
    }
    co_return complaint;
}
