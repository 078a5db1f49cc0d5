#include "recordbuilder.h"

#include "market/instrumentrecord.h"

using namespace recordlayout;

RecordBuilder::RecordBuilder()
{
    for (int t = 0; t < kTimeframes; ++t) {
        QStringList block(kBlockLines, QStringLiteral("Info;-"));
        block[0] = QStringLiteral("Timeframe;%1").arg(t);
        block[kOverallSummary] = QStringLiteral("Summary;Strong Buy");
        for (int k = 0; k < kIndicatorCount; ++k)
            block[kFirstIndicator + k] = QStringLiteral("Indicator %1;55.2;Buy").arg(k);
        block[kIndicatorSummary] = QStringLiteral("Summary indicators;Buy");
        for (int k = 0; k < kAverageCount; ++k)
            block[kFirstAverage + k] = QStringLiteral("MA%1;1.0910;Buy;1.0911;Buy").arg(k);
        block[kAverageSummary] = QStringLiteral("Summary MA;Strong Sell");
        m_lines << block;
    }
    m_lines << QStringLiteral("1.0914") << QStringLiteral("Info;-") << QStringLiteral("Info;-");
    for (int t = 0; t < kTimeframes; ++t) {
        m_lines << QStringLiteral("1.0800") << QStringLiteral("1.0850") << QStringLiteral("1.0880")
                << QStringLiteral("1.0900") << QStringLiteral("1.0930") << QStringLiteral("1.0960")
                << QStringLiteral("1.1000") << QStringLiteral("Info;-");
    }
}

int RecordBuilder::indicatorLine(int timeframe, int indicator)
{
    return blockLine(timeframe, kFirstIndicator + indicator);
}

int RecordBuilder::averageLine(int timeframe, int average)
{
    return blockLine(timeframe, kFirstAverage + average);
}

int RecordBuilder::overallSummaryLine(int timeframe)
{
    return blockLine(timeframe, kOverallSummary);
}

int RecordBuilder::indicatorSummaryLine(int timeframe)
{
    return blockLine(timeframe, kIndicatorSummary);
}

int RecordBuilder::averageSummaryLine(int timeframe)
{
    return blockLine(timeframe, kAverageSummary);
}

int RecordBuilder::pivotLine(int timeframe, int levelFromS3)
{
    return kFirstPivotLine + kPivotStride * timeframe + levelFromS3;
}

RecordBuilder &RecordBuilder::setLine(int line, const QString &text)
{
    m_lines[line] = text;
    return *this;
}

RecordBuilder &RecordBuilder::setField(int line, int field, const QString &value)
{
    QStringList fields = m_lines.at(line).split(u';');
    while (fields.size() <= field)
        fields << QString();
    fields[field] = value;
    m_lines[line] = fields.join(u';');
    return *this;
}

RecordBuilder &RecordBuilder::setEveryTimeframe(int offset, int field, const QString &value)
{
    for (int t = 0; t < kTimeframes; ++t)
        setField(blockLine(t, offset), field, value);
    return *this;
}

RecordBuilder &RecordBuilder::setPrice(const QString &price)
{
    return setLine(kPriceLine, price);
}

RecordBuilder &RecordBuilder::setPivots(int timeframe, const QStringList &levels)
{
    for (int level = 0; level < levels.size(); ++level)
        setLine(pivotLine(timeframe, level), levels.at(level));
    return *this;
}

RecordBuilder &RecordBuilder::truncate(int lineCount)
{
    m_lines = m_lines.first(lineCount);
    return *this;
}
