#include "market/indicatorgridfill.h"
#include "market/instrumentrecord.h"
#include "market/marketview.h"
#include "recordbuilder.h"
#include "signals/signalcheck.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// What every cell holds before a fill, so that a cell the fill leaves alone is recognisable.
constexpr Rgb kOldColour = 0x00AA00;
const QString kOldText = QStringLiteral("old");

IndicatorGrid oldGrid()
{
    IndicatorGrid grid;
    for (int row = 0; row < IndicatorGrid::kRows; ++row) {
        for (int column = 0; column < IndicatorGrid::kColumns; ++column)
            grid.cell(row, column) = GridCell{kOldText, kOldColour, false};
    }
    return grid;
}

constexpr int kEurUsd = 14;
constexpr int kEthereum = 29;
constexpr int kPolkadot = 35;
constexpr int kDollarIndex = 60;

} // namespace

class TestIndicatorGridFill final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cells_data();
    void cells();
    void stopRule_data();
    void stopRule();
    void summariesTheRecordDoesNotGiveAreNoVerdict_data();
    void summariesTheRecordDoesNotGiveAreNoVerdict();
    void skeleton();
    void captionBar();
};

void TestIndicatorGridFill::cells_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Rgb>("colour");

    const auto indicator = [](const QString &state) {
        return RecordBuilder().setField(RecordBuilder::indicatorLine(2, 3), 2, state).text();
    };
    // Indicator (row 5 = fourth indicator) in M15 (column 3).
    QTest::newRow("state in upper case")
        << indicator("BUY") << kEurUsd << 5 << 3 << "Buy" << rgb::kBlue;
    QTest::newRow("sell") << indicator("sell") << kEurUsd << 5 << 3 << "Sell" << rgb::kRed;
    QTest::newRow("neutral") << indicator("Neutral") << kEurUsd << 5 << 3 << "Neutral"
                             << rgb::kBlack;
    QTest::newRow("oversold") << indicator("OverSold") << kEurUsd << 5 << 3 << "Oversold"
                              << rgb::kBlack;
    QTest::newRow("overbought") << indicator("overbought") << kEurUsd << 5 << 3 << "Overbought"
                                << rgb::kBlack;
    QTest::newRow("less volatility")
        << indicator("Less volatility") << kEurUsd << 5 << 3 << "Less Volatility" << rgb::kBlack;
    QTest::newRow("high volatility")
        << indicator("HIGH VOLATILITY") << kEurUsd << 5 << 3 << "High Volatility" << rgb::kBlack;
    QTest::newRow("state with a trailing space is left alone")
        << indicator("BUY ") << kEurUsd << 5 << 3 << kOldText << kOldColour;
    QTest::newRow("unknown state is left alone")
        << indicator("Strong") << kEurUsd << 5 << 3 << kOldText << kOldColour;

    const auto average = [](const QString &simple, const QString &exponential) {
        const int line = RecordBuilder::averageLine(4, 2); // MA20 of H1
        return RecordBuilder().setField(line, 2, simple).setField(line, 4, exponential).text();
    };
    QTest::newRow("averages both buy")
        << average("Buy", "Buy") << kEurUsd << 18 << 5 << "Buy" << rgb::kBlue;
    QTest::newRow("averages both sell")
        << average("Sell", "Sell") << kEurUsd << 18 << 5 << "Sell" << rgb::kRed;
    QTest::newRow("simple sells, exponential buys")
        << average("Sell", "Buy") << kEurUsd << 18 << 5 << "Sell" << rgb::kGrey;
    QTest::newRow("simple buys, exponential sells")
        << average("Buy", "Sell") << kEurUsd << 18 << 5 << "Buy" << rgb::kGrey;
    QTest::newRow("composite text keeps the colour")
        << average("Neutral", "Buy") << kEurUsd << 18 << 5 << "SMPL:Neutral  EXP:Buy" << kOldColour;
    QTest::newRow("averages compare exactly")
        << average("buy", "buy") << kEurUsd << 18 << 5 << "SMPL:buy  EXP:buy" << kOldColour;

    const auto overall = [](const QString &summary) {
        return RecordBuilder().setField(RecordBuilder::overallSummaryLine(6), 1, summary).text();
    };
    QTest::newRow("strong sell is not turned into sell")
        << overall("Strong Sell") << kEurUsd << 24 << 7 << "STRONG SELL" << rgb::kRed;
    QTest::newRow("strong buy") << overall("Strong Buy") << kEurUsd << 24 << 7 << "STRONG BUY"
                                << rgb::kBlue;
    QTest::newRow("sell") << overall("Sell") << kEurUsd << 24 << 7 << "SELL" << rgb::kRed;
    QTest::newRow("buy within a text")
        << overall("Buy now") << kEurUsd << 24 << 7 << "BUY" << rgb::kBlue;
    QTest::newRow("neutral stays mixed case")
        << overall("Neutral") << kEurUsd << 24 << 7 << "Neutral" << rgb::kBlack;
    QTest::newRow("summary outside the words keeps the colour")
        << overall("Wait") << kEurUsd << 24 << 7 << "Wait" << kOldColour;
    QTest::newRow("upper-case summary is not matched")
        << overall("STRONG SELL") << kEurUsd << 24 << 7 << "STRONG SELL" << kOldColour;

    const auto indicatorSummary = [](const QString &summary) {
        return RecordBuilder().setField(RecordBuilder::indicatorSummaryLine(1), 1, summary).text();
    };
    QTest::newRow("indicator summary strong buy")
        << indicatorSummary("Strong Buy") << kEurUsd << 14 << 2 << "STRONG BUY" << rgb::kWhite;
    QTest::newRow("indicator summary exactly buy")
        << indicatorSummary("Buy") << kEurUsd << 14 << 2 << "BUY" << rgb::kWhite;
    QTest::newRow("indicator summary exactly sell")
        << indicatorSummary("Sell") << kEurUsd << 14 << 2 << "SELL" << rgb::kWhite;
    QTest::newRow("indicator summary longer text with buy stays")
        << indicatorSummary("Buy now") << kEurUsd << 14 << 2 << "Buy now" << kOldColour;
    QTest::newRow("indicator summary strong sell")
        << indicatorSummary("Strong Sell") << kEurUsd << 14 << 2 << "STRONG SELL" << rgb::kWhite;

    const QString averages =
        RecordBuilder().setField(RecordBuilder::averageSummaryLine(3), 1, "Buy").text();
    QTest::newRow("average summary") << averages << kEurUsd << 22 << 4 << "BUY" << rgb::kWhite;
    QTest::newRow("average summary strong sell")
        << averages << kEurUsd << 22 << 1 << "STRONG SELL" << rgb::kWhite;

    const QString complete = RecordBuilder().text();
    for (int key : {kPolkadot, kDollarIndex}) {
        QTest::addRow("M1 heading blank for %d", key)
            << complete << key << 0 << 1 << kOldText << rgb::kWhite;
        QTest::addRow("M1 indicator blank for %d", key)
            << complete << key << 2 << 1 << "Buy" << rgb::kWhite;
        QTest::addRow("M1 average blank for %d", key)
            << complete << key << 21 << 1 << "Buy" << rgb::kWhite;
        QTest::addRow("M1 summary blank for %d", key)
            << complete << key << 24 << 1 << "STRONG BUY" << rgb::kWhite;
        QTest::addRow("M1 part summary written for %d", key)
            << complete << key << 22 << 1 << "STRONG SELL" << rgb::kWhite;
        QTest::addRow("M5 shown for %d", key) << complete << key << 2 << 2 << "Buy" << rgb::kBlue;
    }
    QTest::newRow("M1 heading shown for a currency pair")
        << complete << kEurUsd << 0 << 1 << kOldText << rgb::kBlack;
    QTest::newRow("M1 shown for a currency pair")
        << complete << kEurUsd << 24 << 1 << "STRONG BUY" << rgb::kBlue;
    QTest::newRow("price cell") << RecordBuilder().setPrice("1,234.5").text() << kEthereum << 0 << 0
                                << "1,234.5" << rgb::kWhite;
    QTest::newRow("record without a price line shows no old price")
        << RecordBuilder().truncate(203).text() << kEurUsd << 0 << 0 << "" << rgb::kWhite;
    QTest::newRow("short M1 line is left alone and the fill goes on")
        << RecordBuilder().setLine(RecordBuilder::indicatorLine(0, 0), "RSI;50").text() << kEurUsd
        << 2 << 1 << kOldText << kOldColour;
}

void TestIndicatorGridFill::cells()
{
    QFETCH(QString, record);
    QFETCH(int, key);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(Rgb, colour);

    IndicatorGrid grid = oldGrid();
    QVERIFY(loadInd(grid, key, InstrumentRecord(record)));
    QCOMPARE(grid.text(row, column), text);
    QCOMPARE(QString::number(grid.colour(row, column), 16), QString::number(colour, 16));
}

void TestIndicatorGridFill::stopRule_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<int>("lastWrittenColumn"); // of row 2; -1 when not even M1 was written

    QTest::newRow("M5 line with two fields stops after the M1 cell")
        << RecordBuilder().setLine(RecordBuilder::indicatorLine(1, 0), "RSI;50").text() << 1;
    QTest::newRow("empty D1 state")
        << RecordBuilder().setField(RecordBuilder::indicatorLine(6, 0), 2, "").text() << 6;
    QTest::newRow("empty record") << QString() << -1;
    QTest::newRow("record cut inside M15")
        << RecordBuilder().truncate(RecordBuilder::indicatorLine(2, 0)).text() << 2;
}

void TestIndicatorGridFill::stopRule()
{
    QFETCH(QString, record);
    QFETCH(int, lastWrittenColumn);

    IndicatorGrid grid = oldGrid();
    QVERIFY(!loadInd(grid, kEurUsd, InstrumentRecord(record)));
    for (int column = 1; column < IndicatorGrid::kColumns; ++column)
        QCOMPARE(grid.text(2, column), column <= lastWrittenColumn ? "Buy" : kOldText);
    for (int row : {0, 3, 14, 16, 22, 24})
        QCOMPARE(grid.text(row, 0), kOldText);
    QCOMPARE(grid.text(IndicatorGrid::kOverallSummaryRow, 3), kOldText);
    QCOMPARE(grid.colour(0, 1), rgb::kBlack); // the heading colour comes first
}

void TestIndicatorGridFill::summariesTheRecordDoesNotGiveAreNoVerdict_data()
{
    using namespace recordlayout;
    QTest::addColumn<QString>("record");
    QTest::addColumn<QStringList>("overall"); // row 24 afterwards, M1..D1
    QTest::addColumn<QStringList>("parts");   // rows 14 and 22 afterwards

    const auto allSummaries = [](RecordBuilder builder, const QString &summary) {
        for (int offset : {kOverallSummary, kIndicatorSummary, kAverageSummary})
            builder.setEveryTimeframe(offset, 1, summary);
        return builder;
    };
    const QStringList strongSell(7, QStringLiteral("STRONG SELL"));
    QStringList sellButD1 = strongSell;
    sellButD1.last() = QString();
    // Lines 190 to 202 hold the D1 block's indicator and average summaries.
    QTest::newRow("record cut at line 190")
        << allSummaries(RecordBuilder(), "Strong Sell").truncate(190).text() << strongSell
        << sellButD1;
    RecordBuilder withoutValues;
    for (int t = 0; t < kTimeframes; ++t) {
        withoutValues.setLine(blockLine(t, kOverallSummary), QStringLiteral("Summary"));
        withoutValues.setLine(blockLine(t, kIndicatorSummary),
                              QStringLiteral("Summary indicators"));
        withoutValues.setLine(blockLine(t, kAverageSummary), QStringLiteral("Summary MA"));
    }
    QTest::newRow("summary lines without a value")
        << withoutValues.text() << QStringList(7, QString()) << QStringList(7, QString());
}

void TestIndicatorGridFill::summariesTheRecordDoesNotGiveAreNoVerdict()
{
    using namespace recordlayout;
    QFETCH(QString, record);
    QFETCH(QStringList, overall);
    QFETCH(QStringList, parts);

    // The working grid was last filled for an instrument with "Strong Buy" everywhere.
    RecordBuilder previous;
    for (int offset : {kOverallSummary, kIndicatorSummary, kAverageSummary})
        previous.setEveryTimeframe(offset, 1, QStringLiteral("Strong Buy"));
    IndicatorGrid grid;
    QVERIFY(loadInd(grid, kEurUsd, InstrumentRecord(previous.text())));
    QVERIFY(loadInd(grid, kEurUsd, InstrumentRecord(record)));

    for (int column = 1; column < IndicatorGrid::kColumns; ++column) {
        QCOMPARE(grid.text(IndicatorGrid::kOverallSummaryRow, column), overall.at(column - 1));
        QCOMPARE(grid.text(IndicatorGrid::kIndicatorSummaryRow, column), parts.at(column - 1));
        QCOMPARE(grid.text(IndicatorGrid::kMovingAverageSummaryRow, column), parts.at(column - 1));
    }
    // So no BUY is raised for this instrument from the other one's verdicts, on any basis.
    signalconfig::Config config = signalconfig::defaults();
    for (int option = 1; option <= signalconfig::kOptionCount; ++option) {
        config.basis[option - 1] = option - 1;
        config.codes[option - 1][signalconfig::Buy].fill(signalconfig::BuyOrStrongBuy);
    }
    const SignalCheck check =
        checkSignal(SummaryRows::of(grid), config, {}, {}, QStringLiteral("EUR/USD"), QTime(10, 0));
    for (const Signal &signal : check.raised)
        QCOMPARE(signal.direction, QStringLiteral("SELL"));
}

void TestIndicatorGridFill::skeleton()
{
    IndicatorGrid grid;
    gridrazm(grid);
    QCOMPARE(grid.text(2, 0), QStringLiteral("RSI(14)"));
    QCOMPARE(grid.text(13, 0), QStringLiteral("Bull/Bear Power(13)"));
    QCOMPARE(grid.text(21, 0), QStringLiteral("MA200"));
    QCOMPARE(grid.text(24, 0), QStringLiteral("Summary:"));
    QVERIFY(grid.cell(24, 0).bold);
    QCOMPARE(grid.text(0, 3), QStringLiteral("M15"));
    QVERIFY(grid.cell(0, 3).bold);
    for (int column = 0; column < IndicatorGrid::kColumns; ++column) {
        QCOMPARE(grid.colour(14, column), rgb::kWhite);
        QCOMPARE(grid.colour(22, column), rgb::kWhite);
    }
    QCOMPARE(grid.colour(24, 7), rgb::kGrey);
    // Rows 0 to 21 are 210 twips high but for the hidden summaries 14 and 22; rows 23 and 24
    // keep one default height, and all of it fits the grid's 5005 twips, the overall summary
    // included.
    int total = 0;
    for (int row = 0; row < IndicatorGrid::kRows; ++row) {
        const int expected = row == 14 || row == 22 ? 0 : 210;
        if (row <= 22)
            QCOMPARE(gridskeleton::rowHeight(row), expected);
        total += gridskeleton::rowHeight(row);
    }
    QVERIFY(gridskeleton::rowHeight(24) > 0);
    QCOMPARE(gridskeleton::rowHeight(23), gridskeleton::rowHeight(24));
    QVERIFY2(total <= 5005, qPrintable(QString::number(total)));
}

void TestIndicatorGridFill::captionBar()
{
    MarketView view;
    QSignalSpy captions(&view, &MarketView::captionChanged);
    const QString record = RecordBuilder().text();

    // The working grid leaves the caption bar alone.
    IndicatorGrid working;
    QVERIFY(view.loadInd(working, kEurUsd, record, QString()));
    QCOMPARE(captions.count(), 0);

    QVERIFY(view.loadInd(view.visibleGrid(), kEurUsd, record, QStringLiteral("EUR/USD")));
    QCOMPARE(view.caption(), QStringLiteral("EUR/USD \u2013 1.0914"));
    QVERIFY(!view.isDataMissingVisible());

    QVERIFY(!view.loadInd(view.visibleGrid(), kEurUsd, QString(), QStringLiteral("EUR/USD")));
    QCOMPARE(view.caption(), QStringLiteral("Data is being updated. Try it in a minute."));
    QVERIFY(view.isDataMissingVisible());
    QCOMPARE(view.visibleGrid().text(0, 0), QStringLiteral("1.0914")); // not reached

    // A stopped fill of the working grid does not touch the data-missing panel either.
    view.loadInd(view.visibleGrid(), kEurUsd, record, QStringLiteral("EUR/USD"));
    QVERIFY(!view.loadInd(working, kEurUsd, QString(), QString()));
    QVERIFY(!view.isDataMissingVisible());
}

QTEST_GUILESS_MAIN(TestIndicatorGridFill)
#include "tst_indicatorgridfill.moc"
