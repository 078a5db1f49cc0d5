#pragma once

#include <QString>
#include <QStringList>

// Builds instrument data records for tests and benchmarks: a complete record by default (every
// indicator "Buy", averages "Buy"/"Buy", summaries "Strong Buy", "Buy" and "Strong Sell", price
// 1.0914, pivot levels around it), changed line by line or field by field.
class RecordBuilder
{
public:
    RecordBuilder();

    // Line numbers of the record layout.
    static int indicatorLine(int timeframe, int indicator);
    static int averageLine(int timeframe, int average);
    static int overallSummaryLine(int timeframe);
    static int indicatorSummaryLine(int timeframe);
    static int averageSummaryLine(int timeframe);
    static int pivotLine(int timeframe, int levelFromS3); // 0 = S3 ... 6 = R3

    RecordBuilder &setLine(int line, const QString &text);
    RecordBuilder &setField(int line, int field, const QString &value);
    // Same value in a field of the same line of every timeframe block.
    RecordBuilder &setEveryTimeframe(int offset, int field, const QString &value);
    RecordBuilder &setPrice(const QString &price);
    // S3, S2, S1, P, R1, R2, R3 of one timeframe.
    RecordBuilder &setPivots(int timeframe, const QStringList &levels);
    RecordBuilder &truncate(int lineCount);

    QString text() const { return m_lines.join(u'\n'); }

private:
    QStringList m_lines;
};
