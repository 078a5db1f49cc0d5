#include "documents/instrumentrecord.h"

#include "documents/numberformat.h"
#include "market/minutes.h"

namespace {

using namespace recordlayout;

// The record's text, written a line at a time straight into one string.
class RecordText
{
public:
    RecordText() { m_text.reserve(8192); }

    // One line of fields separated by ";". The views must live until the call returns.
    void line(std::initializer_list<QStringView> fields)
    {
        if (m_lines++ > 0)
            m_text += QLatin1Char('\n');
        bool first = true;
        for (QStringView field : fields) {
            if (!first)
                m_text += QLatin1Char(';');
            first = false;
            m_text += field;
        }
    }
    int lineCount() const { return m_lines; }
    QString text() const { return m_text; }

private:
    QString m_text;
    int m_lines = 0;
};

QString tally(const char *what, int count)
{
    return QLatin1String(what) + QString::number(count);
}

void writeTally(RecordText &out, QStringView title, const VoteTally &votes)
{
    out.line({title, tally("Buy ", votes.buy), tally("Sell ", votes.sell),
              tally("Neutral ", votes.neutral)});
}

void writeCandle(RecordText &out, QStringView title, const Candle &candle, int decimals)
{
    out.line({title, minuteText(candle.minute), fixedNumber(candle.open, decimals),
              fixedNumber(candle.high, decimals), fixedNumber(candle.low, decimals),
              fixedNumber(candle.close, decimals)});
}

QString score(double value)
{
    return fixedNumber(value, 3);
}

// A block whose timeframe lacks history, or an instrument without working data: the names stay,
// every value the program reads is empty, so that it shows that data is missing rather than
// anything invented.
void writeEmptyBlock(RecordText &out, const TimeframeReading &reading, bool dataMissing)
{
    out.line({u"Timeframe", timeframeName(reading.timeframe),
              dataMissing ? QStringLiteral("data missing")
                          : QStringLiteral("not enough history: %1 of %2 candles")
                                .arg(reading.candleCount)
                                .arg(kMinimumCandles)});
    out.line({u"Summary", u"", u""});
    out.line({u"Indicators", u"", u"", u""});
    out.line({u"Indicator", u"Value", u"Action"});
    for (int k = 0; k < kIndicatorCount; ++k)
        out.line({indicatorName(static_cast<Indicator>(k)), u"", u""});
    out.line({u"Candle", u"", u"", u"", u"", u""});
    out.line({u"Previous candle", u"", u"", u"", u"", u""});
    out.line({u"History", QStringLiteral("%1 candles").arg(reading.candleCount)});
    out.line({u"Summary indicators", u"", u""});
    for (int period : kAveragePeriods)
        out.line({QStringLiteral("MA%1").arg(period), u"", u"", u"", u""});
    out.line({u"Moving averages", u"", u"", u""});
    out.line({u"Close", u""});
    out.line({u"Summary MA", u"", u""});
}

void writeBlock(RecordText &out, const TimeframeReading &reading, int decimals, bool dataMissing)
{
    if (!reading.complete || dataMissing) {
        writeEmptyBlock(out, reading, dataMissing);
        return;
    }
    const VoteTally &indicators = reading.indicatorVotes;
    const VoteTally &averages = reading.averageVotes;
    out.line({u"Timeframe", timeframeName(reading.timeframe), minuteText(reading.current.minute)});
    out.line({u"Summary", summaryText(reading.overallSummary),
              score(combinedScore(indicators.sum(), indicators.count(), averages.sum(),
                                  averages.count()))});
    writeTally(out, u"Indicators", indicators);
    out.line({u"Indicator", u"Value", u"Action"});
    for (int k = 0; k < kIndicatorCount; ++k) {
        const IndicatorReading &indicator = reading.indicators[size_t(k)];
        const QString name = indicatorName(static_cast<Indicator>(k));
        const QString value = fixedNumber(indicator.value, indicator.decimals);
        if (indicator.hasDetail) {
            out.line({name, value, verdictText(indicator.verdict),
                      fixedNumber(indicator.detail, indicator.decimals)});
        } else {
            out.line({name, value, verdictText(indicator.verdict)});
        }
    }
    writeCandle(out, u"Candle", reading.current, decimals);
    writeCandle(out, u"Previous candle", reading.previous, decimals);
    out.line({u"History", QStringLiteral("%1 candles").arg(reading.candleCount)});
    out.line({u"Summary indicators", summaryText(reading.indicatorSummary),
              score(double(indicators.sum()) / indicators.count())});
    for (const AverageReading &average : reading.averages) {
        out.line({QStringLiteral("MA%1").arg(average.period), fixedNumber(average.simple, decimals),
                  verdictText(average.simpleVerdict), fixedNumber(average.exponential, decimals),
                  verdictText(average.exponentialVerdict)});
    }
    writeTally(out, u"Moving averages", averages);
    out.line({u"Close", fixedNumber(reading.current.close, decimals)});
    out.line({u"Summary MA", summaryText(reading.averageSummary),
              score(double(averages.sum()) / averages.count())});
}

// Pivot levels carry no thousands separator: the program reads them by dropping the point.
void writePivots(RecordText &out, const TimeframeReading &reading, int decimals, bool dataMissing)
{
    const QString name = timeframeName(reading.timeframe);
    if (!reading.complete || dataMissing) {
        for (int level = 0; level < 7; ++level)
            out.line({});
        out.line({u"Pivot points", name, dataMissing ? u"data missing" : u"not enough history"});
        return;
    }
    const PivotLevels &p = reading.pivots;
    for (double level : {p.s3, p.s2, p.s1, p.p, p.r1, p.r2, p.r3})
        out.line({fixedNumber(level, decimals)});
    out.line({u"Pivot points", name, u"classic",
              QString(QStringLiteral("from the candle of ") + minuteText(reading.current.minute))});
}

} // namespace

QString instrumentRecord(const InstrumentSnapshot &snapshot)
{
    const bool missing = snapshot.dataMissing;
    RecordText out;
    for (const TimeframeReading &reading : snapshot.readings)
        writeBlock(out, reading, snapshot.decimals, missing);
    out.line({snapshot.latest && !missing ? priceText(snapshot.latest->close, snapshot.decimals)
                                          : QString()});
    out.line({u"Instrument", snapshot.serverCode, snapshot.name});
    std::optional<qint64> updated = snapshot.updated;
    if (!updated && snapshot.latest)
        updated = snapshot.latest->minute + 1;
    const QString updatedText =
        updated ? QString(minuteText(*updated) + QStringLiteral(" GMT")) : QString();
    if (snapshot.feed.isEmpty())
        out.line({u"Updated", updatedText, snapshot.source});
    else
        out.line({u"Updated", updatedText, snapshot.source, snapshot.feed});
    for (const TimeframeReading &reading : snapshot.readings)
        writePivots(out, reading, snapshot.decimals, missing);
    Q_ASSERT(out.lineCount() == kLineCount);
    return out.text();
}
