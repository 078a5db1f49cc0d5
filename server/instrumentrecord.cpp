#include "instrumentrecord.h"

#include "minutes.h"
#include "numberformat.h"

#include <QStringList>

namespace {

using namespace recordlayout;

const QChar kSeparator = QLatin1Char(';');

QString joined(std::initializer_list<QString> fields)
{
    QStringList list(fields);
    return list.join(kSeparator);
}

QString tallyText(const QString &title, const VoteTally &tally)
{
    return joined({title, QStringLiteral("Buy %1").arg(tally.buy),
                   QStringLiteral("Sell %1").arg(tally.sell),
                   QStringLiteral("Neutral %1").arg(tally.neutral)});
}

QString candleText(const QString &title, const Candle &candle, int decimals)
{
    return joined({title, minuteText(candle.minute), fixedNumber(candle.open, decimals),
                   fixedNumber(candle.high, decimals), fixedNumber(candle.low, decimals),
                   fixedNumber(candle.close, decimals)});
}

QString scoreText(double score)
{
    return fixedNumber(score, 3);
}

// A block whose timeframe lacks history: the names stay, every value the program reads is
// empty, so that it shows that data is missing rather than anything invented.
void writeEmptyBlock(QStringList &lines, const TimeframeReading &reading)
{
    const QString name = timeframeName(reading.timeframe);
    lines << joined({QStringLiteral("Timeframe"), name,
                     QStringLiteral("not enough history: %1 of %2 candles")
                         .arg(reading.candleCount)
                         .arg(kMinimumCandles)})
          << QStringLiteral("Summary;;") << QStringLiteral("Indicators;;;")
          << QStringLiteral("Indicator;Value;Action");
    for (int k = 0; k < kIndicatorCount; ++k)
        lines << indicatorName(static_cast<Indicator>(k)) + QStringLiteral(";;");
    lines << QStringLiteral("Candle;;;;;") << QStringLiteral("Previous candle;;;;;")
          << QStringLiteral("History;%1 candles").arg(reading.candleCount)
          << QStringLiteral("Summary indicators;;");
    for (int period : kAveragePeriods)
        lines << QStringLiteral("MA%1;;;;").arg(period);
    lines << QStringLiteral("Moving averages;;;") << QStringLiteral("Close;")
          << QStringLiteral("Summary MA;;");
}

void writeBlock(QStringList &lines, const TimeframeReading &reading, int decimals)
{
    if (!reading.complete) {
        writeEmptyBlock(lines, reading);
        return;
    }
    const VoteTally &indicators = reading.indicatorVotes;
    const VoteTally &averages = reading.averageVotes;
    lines << joined({QStringLiteral("Timeframe"), timeframeName(reading.timeframe),
                     minuteText(reading.current.minute)})
          << joined({QStringLiteral("Summary"), summaryText(reading.overallSummary),
                     scoreText(combinedScore(indicators.sum(), indicators.count(), averages.sum(),
                                             averages.count()))})
          << tallyText(QStringLiteral("Indicators"), indicators)
          << QStringLiteral("Indicator;Value;Action");
    for (int k = 0; k < kIndicatorCount; ++k) {
        const IndicatorReading &indicator = reading.indicators[k];
        QString line = joined({indicatorName(static_cast<Indicator>(k)),
                               fixedNumber(indicator.value, indicator.decimals),
                               verdictText(indicator.verdict)});
        if (indicator.hasDetail)
            line += kSeparator + fixedNumber(indicator.detail, indicator.decimals);
        lines << line;
    }
    lines << candleText(QStringLiteral("Candle"), reading.current, decimals)
          << candleText(QStringLiteral("Previous candle"), reading.previous, decimals)
          << QStringLiteral("History;%1 candles").arg(reading.candleCount)
          << joined({QStringLiteral("Summary indicators"), summaryText(reading.indicatorSummary),
                     scoreText(double(indicators.sum()) / indicators.count())});
    for (const AverageReading &average : reading.averages) {
        lines << joined({QStringLiteral("MA%1").arg(average.period),
                         fixedNumber(average.simple, decimals), verdictText(average.simpleVerdict),
                         fixedNumber(average.exponential, decimals),
                         verdictText(average.exponentialVerdict)});
    }
    lines << tallyText(QStringLiteral("Moving averages"), averages)
          << joined({QStringLiteral("Close"), fixedNumber(reading.current.close, decimals)})
          << joined({QStringLiteral("Summary MA"), summaryText(reading.averageSummary),
                     scoreText(double(averages.sum()) / averages.count())});
}

// Pivot levels carry no thousands separator: the program reads them by dropping the point.
void writePivots(QStringList &lines, const TimeframeReading &reading, int decimals)
{
    const QString name = timeframeName(reading.timeframe);
    if (!reading.complete) {
        for (int level = 0; level < 7; ++level)
            lines << QString();
        lines << joined(
            {QStringLiteral("Pivot points"), name, QStringLiteral("not enough history")});
        return;
    }
    const PivotLevels &p = reading.pivots;
    for (double level : {p.s3, p.s2, p.s1, p.p, p.r1, p.r2, p.r3})
        lines << fixedNumber(level, decimals);
    lines << joined({QStringLiteral("Pivot points"), name, QStringLiteral("classic"),
                     QStringLiteral("from the candle of ") + minuteText(reading.current.minute)});
}

} // namespace

QString instrumentRecord(const InstrumentSnapshot &snapshot)
{
    QStringList lines;
    lines.reserve(kLineCount);
    for (const TimeframeReading &reading : snapshot.readings)
        writeBlock(lines, reading, snapshot.decimals);
    lines << (snapshot.latest ? priceText(snapshot.latest->close, snapshot.decimals) : QString());
    lines << joined({QStringLiteral("Instrument"), snapshot.serverCode, snapshot.name});
    lines << joined({QStringLiteral("Updated"),
                     snapshot.latest
                         ? minuteText(snapshot.latest->minute + 1) + QStringLiteral(" GMT")
                         : QString(),
                     snapshot.source});
    for (const TimeframeReading &reading : snapshot.readings)
        writePivots(lines, reading, snapshot.decimals);
    Q_ASSERT(lines.size() == kLineCount);
    return lines.join(QLatin1Char('\n'));
}
