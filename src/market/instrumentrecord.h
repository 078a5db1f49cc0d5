#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// Where things sit in an instrument data record: lines separated by line feeds, fields by ";",
// nothing trimmed. Seven timeframe blocks of 29 lines (M1 to D1), then the price and the pivot
// levels.
namespace recordlayout {

inline constexpr int kTimeframes = 7;
inline constexpr int kBlockLines = 29;

// Offsets inside a timeframe block.
inline constexpr int kOverallSummary = 1;    // field 1
inline constexpr int kFirstIndicator = 4;    // twelve lines, field 2
inline constexpr int kIndicatorSummary = 19; // field 1
inline constexpr int kFirstAverage = 20;     // six lines, fields 2 (simple) and 4 (exponential)
inline constexpr int kAverageSummary = 28;   // field 1

inline constexpr int kIndicatorCount = 12;
inline constexpr int kAverageCount = 6;

inline constexpr int kPriceLine = 203;
// Pivot levels of timeframe t: S3, S2, S1, P, R1, R2, R3 on lines 206 + 8t to 212 + 8t.
inline constexpr int kFirstPivotLine = 206;
inline constexpr int kPivotStride = 8;
inline constexpr int kCompleteLineCount = 261;

constexpr int blockLine(int timeframe, int offset)
{
    return kBlockLines * timeframe + offset;
}

} // namespace recordlayout

// Read access to a record's lines and fields. Holds views into the text it was made from, which
// must outlive it.
class InstrumentRecord final
{
public:
    explicit InstrumentRecord(const QString &text);

    int lineCount() const { return static_cast<int>(m_lines.size()); }
    // nullopt when the record has no such line or the line no such field.
    std::optional<QStringView> line(int line) const;
    std::optional<QStringView> field(int line, int field) const;

private:
    QList<QStringView> m_lines;
};
