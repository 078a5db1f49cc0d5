#pragma once

#include "market/indicatorgrid.h"

#include <QString>

class InstrumentRecord;

// Sizes of the visible table's skeleton, in twips.
namespace gridskeleton {

inline constexpr int kTop = 210;
inline constexpr int kHeight = 5005;
inline constexpr int kRowHeight = 210;        // rows 0 to 21
inline constexpr int kDefaultRowHeight = 240; // rows 23 and 24
inline constexpr int kCaptionColumnWidth = 1800;
inline constexpr int kTimeframeColumnWidth = 1600;

// Rows 14 and 22 carry the part summaries for signal evaluation and are never seen.
constexpr int rowHeight(int row)
{
    if (row == IndicatorGrid::kIndicatorSummaryRow ||
        row == IndicatorGrid::kMovingAverageSummaryRow)
        return 0;
    return row <= 21 ? kRowHeight : kDefaultRowHeight;
}

constexpr int columnWidth(int column)
{
    return column == 0 ? kCaptionColumnWidth : kTimeframeColumnWidth;
}

} // namespace gridskeleton

// Writes the skeleton of the visible table: row captions, timeframe headings and the bold and
// white cells of the summary rows.
void gridrazm(IndicatorGrid &grid);

// Fills a grid from an instrument's record; key is the navigator index. Nothing is cleared: a
// cell no rule writes keeps its text and colour. The summaries are always written, empty where
// the record does not give them, so that only this record's verdicts can raise a signal. Returns
// false when the fill stopped at a missing or empty indicator state of M5 to D1; the cells not
// reached then keep what they had, the price cell included.
bool loadInd(IndicatorGrid &grid, int key, const InstrumentRecord &record);

// What the caption bar and the data-missing panel show after a fill of the visible table for the
// instrument named pair: its name and price, or the data-missing notice.
struct CaptionBarState
{
    QString caption;
    bool dataMissing = false;

    friend bool operator==(const CaptionBarState &, const CaptionBarState &) = default;
};
CaptionBarState captionAfterFill(const QString &pair, bool completed, const QString &price);
