#include "market/indicatorgridfill.h"

#include "app/catalogue.h"
#include "market/instrumentrecord.h"
#include "market/markettexts.h"

#include <algorithm>
#include <array>

namespace {

using namespace recordlayout;

constexpr int kFirstIndicatorRow = 2;
constexpr int kFirstAverageRow = 16;

constexpr std::array<const char16_t *, kIndicatorCount> kIndicatorCaptions{u"RSI(14)",
                                                                           u"STOCH(9,6)",
                                                                           u"STOCHRSI(14)",
                                                                           u"MACD(12,26)",
                                                                           u"ADX(14)",
                                                                           u"Williams",
                                                                           u"CCI(14)",
                                                                           u"ATR(14)",
                                                                           u"Highs/Lows(14)",
                                                                           u"Ultimate Oscillator",
                                                                           u"ROC",
                                                                           u"Bull/Bear Power(13)"};
constexpr std::array<const char16_t *, kAverageCount> kAverageCaptions{u"MA5",  u"MA10",  u"MA20",
                                                                       u"MA50", u"MA100", u"MA200"};
constexpr std::array<const char16_t *, kTimeframes> kTimeframeCaptions{u"M1", u"M5", u"M15", u"M30",
                                                                       u"H1", u"H4", u"D1"};

void write(GridCell &cell, const QString &text, Rgb colour)
{
    cell.text = text;
    cell.colour = colour;
}

bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// Indicator states as the table shows them, matched against the lower-cased field.
void writeIndicatorState(GridCell &cell, QStringView field)
{
    struct State
    {
        QLatin1StringView lowerCase;
        QString shown;
        Rgb colour;
    };
    static const std::array<State, 7> states{{
        {QLatin1StringView("sell"), QStringLiteral("Sell"), rgb::kRed},
        {QLatin1StringView("buy"), QStringLiteral("Buy"), rgb::kBlue},
        {QLatin1StringView("neutral"), QStringLiteral("Neutral"), rgb::kBlack},
        {QLatin1StringView("oversold"), QStringLiteral("Oversold"), rgb::kBlack},
        {QLatin1StringView("overbought"), QStringLiteral("Overbought"), rgb::kBlack},
        {QLatin1StringView("less volatility"), QStringLiteral("Less Volatility"), rgb::kBlack},
        {QLatin1StringView("high volatility"), QStringLiteral("High Volatility"), rgb::kBlack},
    }};
    // For ASCII text a case-blind comparison is the comparison of the lower-cased text; other
    // text is lower-cased first, as some letters outside ASCII fold onto ASCII ones.
    const QString lowered = isAscii(field) ? QString() : field.toString().toLower();
    for (const State &state : states) {
        const bool same = lowered.isNull()
                              ? field.compare(state.lowerCase, Qt::CaseInsensitive) == 0
                              : lowered == state.lowerCase;
        if (same) {
            write(cell, state.shown, state.colour);
            return;
        }
    }
}

void writeMovingAverage(GridCell &cell, QStringView simple, QStringView exponential)
{
    QString composite;
    composite.reserve(12 + simple.size() + exponential.size());
    composite.append(u"SMPL:").append(simple).append(u"  EXP:").append(exponential);
    cell.text = composite;
    const bool simpleBuy = simple == u"Buy";
    const bool simpleSell = simple == u"Sell";
    const bool exponentialBuy = exponential == u"Buy";
    const bool exponentialSell = exponential == u"Sell";
    if (simpleBuy && exponentialBuy)
        write(cell, QStringLiteral("Buy"), rgb::kBlue);
    else if (simpleSell && exponentialSell)
        write(cell, QStringLiteral("Sell"), rgb::kRed);
    else if (simpleSell && exponentialBuy)
        write(cell, QStringLiteral("Sell"), rgb::kGrey);
    else if (simpleBuy && exponentialSell)
        write(cell, QStringLiteral("Buy"), rgb::kGrey);
}

struct SummaryColours
{
    Rgb strongBuy;
    Rgb strongSell;
    Rgb sell;
    Rgb buy;
    Rgb neutral;
};
constexpr SummaryColours kAllWhite{rgb::kWhite, rgb::kWhite, rgb::kWhite, rgb::kWhite, rgb::kWhite};
constexpr SummaryColours kVerdictColours{rgb::kBlue, rgb::kRed, rgb::kRed, rgb::kBlue, rgb::kBlack};

// Each test sees the result of the one before; the upper-case results are not matched again.
void applySummaryChain(GridCell &cell, const SummaryColours &colours)
{
    if (cell.text.contains(u"Strong Buy"))
        write(cell, QStringLiteral("STRONG BUY"), colours.strongBuy);
    if (cell.text.contains(u"Strong Sell"))
        write(cell, QStringLiteral("STRONG SELL"), colours.strongSell);
    if (cell.text.contains(u"Sell"))
        write(cell, QStringLiteral("SELL"), colours.sell);
    if (cell.text.contains(u"Buy"))
        write(cell, QStringLiteral("BUY"), colours.buy);
    if (cell.text.contains(u"Neutral"))
        write(cell, QStringLiteral("Neutral"), colours.neutral);
}

// The indicator summary turns only the exact one-word verdicts upper case.
void applyIndicatorSummaryChain(GridCell &cell)
{
    if (cell.text == u"Sell")
        write(cell, QStringLiteral("SELL"), rgb::kWhite);
    if (cell.text == u"Buy")
        write(cell, QStringLiteral("BUY"), rgb::kWhite);
    if (cell.text.contains(u"Strong Buy"))
        write(cell, QStringLiteral("STRONG BUY"), rgb::kWhite);
    if (cell.text.contains(u"Strong Sell"))
        write(cell, QStringLiteral("STRONG SELL"), rgb::kWhite);
    if (cell.text.contains(u"Neutral"))
        write(cell, QStringLiteral("Neutral"), rgb::kWhite);
}

// A summary the record does not give (a line or field that is missing) is no verdict: left as
// it was, the cell would offer the previous instrument's verdict to signal evaluation.
void writeSummary(GridCell &cell, const InstrumentRecord &record, int line)
{
    cell.text = record.field(line, 1).value_or(QStringView()).toString();
}

} // namespace

void gridrazm(IndicatorGrid &grid)
{
    for (int k = 0; k < kIndicatorCount; ++k)
        grid.cell(kFirstIndicatorRow + k, 0).text = QString::fromUtf16(kIndicatorCaptions.at(k));
    for (int k = 0; k < kAverageCount; ++k)
        grid.cell(kFirstAverageRow + k, 0).text = QString::fromUtf16(kAverageCaptions.at(k));
    grid.cell(IndicatorGrid::kIndicatorSummaryRow, 0).text = QStringLiteral("Summary indicators:");
    grid.cell(IndicatorGrid::kMovingAverageSummaryRow, 0).text = QStringLiteral("Summary MA:");
    grid.cell(IndicatorGrid::kOverallSummaryRow, 0).text = QStringLiteral("Summary:");
    grid.cell(IndicatorGrid::kOverallSummaryRow, 0).bold = true;

    for (int column = 0; column < IndicatorGrid::kColumns; ++column) {
        for (int row :
             {IndicatorGrid::kIndicatorSummaryRow, IndicatorGrid::kMovingAverageSummaryRow}) {
            grid.cell(row, column).bold = true;
            grid.cell(row, column).colour = rgb::kWhite;
        }
    }
    for (int column = 1; column < IndicatorGrid::kColumns; ++column) {
        GridCell &summary = grid.cell(IndicatorGrid::kOverallSummaryRow, column);
        summary.bold = true;
        summary.colour = rgb::kGrey;
        GridCell &heading = grid.cell(0, column);
        heading.text = QString::fromUtf16(kTimeframeCaptions.at(column - 1));
        heading.bold = true;
    }
}

bool loadInd(IndicatorGrid &grid, int key, const InstrumentRecord &record)
{
    // The M1 column stays blank for the cryptocurrencies and the two currency indices.
    const bool blankM1 = catalogue::hasBlankM1(key);
    const auto blankIfM1 = [&](int row, int column) {
        if (column == 1 && blankM1)
            grid.cell(row, column).colour = rgb::kWhite;
    };
    grid.cell(0, 1).colour = blankM1 ? rgb::kWhite : rgb::kBlack;

    for (int k = 0; k < kIndicatorCount; ++k) {
        const int row = kFirstIndicatorRow + k;
        for (int column = 1; column <= kTimeframes; ++column) {
            const std::optional<QStringView> state =
                record.field(blockLine(column - 1, kFirstIndicator + k), 2);
            if (column >= 2 && (!state || state->isEmpty()))
                return false;
            if (state)
                writeIndicatorState(grid.cell(row, column), *state);
            blankIfM1(row, column);
        }
    }

    for (int k = 0; k < kAverageCount; ++k) {
        const int row = kFirstAverageRow + k;
        for (int column = 1; column <= kTimeframes; ++column) {
            const int line = blockLine(column - 1, kFirstAverage + k);
            const std::optional<QStringView> simple = record.field(line, 2);
            const std::optional<QStringView> exponential = record.field(line, 4);
            if (simple && exponential)
                writeMovingAverage(grid.cell(row, column), *simple, *exponential);
            blankIfM1(row, column);
        }
    }

    for (int column = 1; column <= kTimeframes; ++column) {
        const int timeframe = column - 1;
        GridCell &averages = grid.cell(IndicatorGrid::kMovingAverageSummaryRow, column);
        writeSummary(averages, record, blockLine(timeframe, kAverageSummary));
        applySummaryChain(averages, kAllWhite);
    }
    for (int column = 1; column <= kTimeframes; ++column) {
        GridCell &indicators = grid.cell(IndicatorGrid::kIndicatorSummaryRow, column);
        writeSummary(indicators, record, blockLine(column - 1, kIndicatorSummary));
        applyIndicatorSummaryChain(indicators);
    }
    for (int column = 1; column <= kTimeframes; ++column) {
        GridCell &overall = grid.cell(IndicatorGrid::kOverallSummaryRow, column);
        writeSummary(overall, record, blockLine(column - 1, kOverallSummary));
        applySummaryChain(overall, kVerdictColours);
        blankIfM1(IndicatorGrid::kOverallSummaryRow, column);
    }

    // A record without a price line shows no price rather than the one shown before.
    write(grid.cell(IndicatorGrid::kPriceRow, IndicatorGrid::kPriceColumn),
          record.line(kPriceLine).value_or(QStringView()).toString(), rgb::kWhite);
    return true;
}

CaptionBarState captionAfterFill(const QString &pair, bool completed, const QString &price)
{
    if (!completed)
        return {QLatin1String(markettexts::kDataBeingUpdated), true};
    return {pair + QString::fromUtf16(markettexts::kCaptionSeparator) + price, false};
}
