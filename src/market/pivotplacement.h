#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

class InstrumentRecord;

// The pivot levels of one timeframe column, as its widgets show them: the level texts, the current
// price and the tops of the markers (twips inside the column), the highest price nearest the top.
struct PivotColumnState
{
    enum Level
    {
        R3,
        R2,
        R1,
        P,
        S1,
        S2,
        S3
    };
    static constexpr int kLevelCount = 7;
    static constexpr int kScaleBottom = 4350; // top of the S3 marker; R3 stays at 0
    static constexpr std::array<int, kLevelCount> kInitialTops{0,    630,  1230,        2190,
                                                               2790, 3420, kScaleBottom};

    std::array<QString, kLevelCount> levelTexts;
    QString priceCaption;
    std::array<int, kLevelCount> levelTops = kInitialTops;
    int priceTop = kScaleBottom;

    friend bool operator==(const PivotColumnState &, const PivotColumnState &) = default;
};

// Columns for M5 to D1; the record's M1 levels are not shown.
struct PivotPanelState
{
    static constexpr int kColumns = 6;
    std::array<PivotColumnState, kColumns> columns;

    // Column 1 to 6 shows timeframe block 1 to 6 of the record.
    PivotColumnState &column(int column) { return columns.at(column - 1); }
    const PivotColumnState &column(int column) const { return columns.at(column - 1); }

    friend bool operator==(const PivotPanelState &, const PivotPanelState &) = default;
};

// A price text as a number: "," thousands separators are dropped, "." is the decimal point, an
// optional sign leads; anything else is not a number.
std::optional<double> readPrice(QStringView text);

// Writes the levels and price of every column from the record and places the markers between R3
// at the top and S3 at the bottom in proportion to their prices. A marker whose price does not
// read as a number keeps its place, and so does every marker of a column whose S3 and R3 are
// equal or unreadable; nothing is clamped, so a price above R3 gets a negative top.
PivotPanelState placePivots(PivotPanelState panel, const InstrumentRecord &record);
