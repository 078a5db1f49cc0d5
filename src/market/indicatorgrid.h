#pragma once

#include <QString>

#include <array>

// Text colour of a grid cell as 0xRRGGBB, kept free of the widget layer.
using Rgb = quint32;

namespace rgb {
inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kWhite = 0xFFFFFF;
inline constexpr Rgb kBlue = 0x0000FF;
inline constexpr Rgb kRed = 0xFF0000;
inline constexpr Rgb kGrey = 0x808080;
} // namespace rgb

struct GridCell
{
    QString text;
    Rgb colour = rgb::kBlack;
    bool bold = false;
};

// The 25-row, 8-column indicator table: row 0 the timeframe captions (cell 0,0 the price), rows
// 2-13 the indicators, 14 their summary, 16-21 the moving averages, 22 their summary, 24 the
// overall summary; column c (1-7) is timeframe M1..D1. Two instances exist: the visible table of
// the selected instrument and the working grid the polling cycle evaluates. A fill never clears
// the grid: a cell no rule writes keeps what it had.
class IndicatorGrid final
{
public:
    static constexpr int kRows = 25;
    static constexpr int kColumns = 8;

    static constexpr int kPriceRow = 0; // the record's current price, in column 0
    static constexpr int kPriceColumn = 0;
    static constexpr int kIndicatorSummaryRow = 14;
    static constexpr int kMovingAverageSummaryRow = 22;
    static constexpr int kOverallSummaryRow = 24;

    const GridCell &cell(int row, int column) const { return m_cells.at(row).at(column); }
    GridCell &cell(int row, int column) { return m_cells.at(row).at(column); }
    QString text(int row, int column) const { return cell(row, column).text; }
    Rgb colour(int row, int column) const { return cell(row, column).colour; }

private:
    std::array<std::array<GridCell, kColumns>, kRows> m_cells{};
};
