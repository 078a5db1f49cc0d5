#include "market/instrumentrecord.h"
#include "market/marketview.h"
#include "market/pivotplacement.h"
#include "recordbuilder.h"

#include <QTest>

using Column = PivotColumnState;

class TestPivotPlacement final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void tops_data();
    void tops();
    void texts();
    void unplaceableColumnKeepsItsMarkers_data();
    void unplaceableColumnKeepsItsMarkers();
    void readPrice_data();
    void readPrice();
    void stoppedFillLeavesThePanel();
};

void TestPivotPlacement::tops_data()
{
    QTest::addColumn<QStringList>("levels"); // S3, S2, S1, P, R1, R2, R3
    QTest::addColumn<QString>("price");
    QTest::addColumn<QList<int>>("tops"); // R3, R2, R1, P, S1, S2, S3
    QTest::addColumn<int>("priceTop");

    QTest::newRow("pivot halfway between S3 and R3")
        << QStringList{"1.20000", "1.22000", "1.24000", "1.25000", "1.26000", "1.28000", "1.30000"}
        << "1.25000" << QList<int>{0, 870, 1740, 2175, 2610, 3480, 4350} << 2175;
    QTest::newRow("price above R3 is not clamped")
        << QStringList{"100", "110", "120", "130", "140", "150", "160"} << "190"
        << QList<int>{0, 725, 1450, 2175, 2900, 3625, 4350} << -2175;
    QTest::newRow("price below S3")
        << QStringList{"100", "110", "120", "130", "140", "150", "160"} << "70"
        << QList<int>{0, 725, 1450, 2175, 2900, 3625, 4350} << 6525;
    // Values of one timeframe with different numbers of decimals are read as numbers.
    QTest::newRow("mixed decimals")
        << QStringList{"1.2", "1.22", "1.24", "1.25", "1.26", "1.28", "1.3"} << "1.275"
        << QList<int>{0, 870, 1740, 2175, 2610, 3480, 4350} << 1088;
    QTest::newRow("thousands separators")
        << QStringList{"1,200.0", "1,220.0", "1,240.0", "1,250.0", "1,260.0", "1,280.0", "1,300.0"}
        << "1,234.5" << QList<int>{0, 870, 1740, 2175, 2610, 3480, 4350} << 2849;
    QTest::newRow("a level that is not a number keeps its marker")
        << QStringList{"1.20000", "n/a", "1.24000", "", "1.26000", "1.28000", "1.30000"}
        << "1.25000" << QList<int>{0, 870, 1740, 2190, 2610, 3420, 4350} << 2175;
}

void TestPivotPlacement::tops()
{
    QFETCH(QStringList, levels);
    QFETCH(QString, price);
    QFETCH(QList<int>, tops);
    QFETCH(int, priceTop);

    RecordBuilder builder;
    builder.setPrice(price);
    for (int t = 0; t < 7; ++t)
        builder.setPivots(t, levels);
    const QString text = builder.text();
    const PivotPanelState panel = placePivots(PivotPanelState(), InstrumentRecord(text));
    for (int column = 1; column <= PivotPanelState::kColumns; ++column) {
        const Column &placed = panel.column(column);
        QCOMPARE(QList<int>(placed.levelTops.begin(), placed.levelTops.end()), tops);
        QCOMPARE(placed.priceTop, priceTop);
    }
}

void TestPivotPlacement::texts()
{
    RecordBuilder builder;
    builder.setPrice("1,234.5");
    builder.setPivots(0, {"m1 s3", "m1 s2", "m1 s1", "m1 p", "m1 r1", "m1 r2", "m1 r3"});
    builder.setPivots(
        3, {"1,100.1", "1,150.2", "1,180.3", "1,200.4", "1,230.5", "1,260.6", "1,300.7"});
    const QString text = builder.text();
    const PivotPanelState panel = placePivots(PivotPanelState(), InstrumentRecord(text));

    // Column 3 shows timeframe block 3 (M30), verbatim; the price loses its separators.
    const Column &m30 = panel.column(3);
    QCOMPARE(m30.levelTexts.at(Column::R3), QStringLiteral("1,300.7"));
    QCOMPARE(m30.levelTexts.at(Column::P), QStringLiteral("1,200.4"));
    QCOMPARE(m30.levelTexts.at(Column::S3), QStringLiteral("1,100.1"));
    QCOMPARE(m30.priceCaption, QStringLiteral("1234.5"));
    QCOMPARE(panel.column(1).levelTexts.at(Column::R2), QStringLiteral("1.0960"));

    // The M1 levels are never shown.
    for (const Column &column : panel.columns) {
        for (const QString &level : column.levelTexts)
            QVERIFY2(!level.startsWith(u"m1"), qPrintable(level));
    }
}

void TestPivotPlacement::unplaceableColumnKeepsItsMarkers_data()
{
    QTest::addColumn<QString>("s3");
    QTest::addColumn<QString>("r3");
    QTest::newRow("S3 equals R3 (division by zero)") << "1.2500"
                                                     << "1.2500";
    QTest::newRow("S3 is not a number") << "-"
                                        << "1.3000";
    QTest::newRow("R3 is missing") << "1.2000"
                                   << "";
}

void TestPivotPlacement::unplaceableColumnKeepsItsMarkers()
{
    QFETCH(QString, s3);
    QFETCH(QString, r3);

    PivotPanelState before;
    Column &h1 = before.column(4);
    h1.levelTops = {0, 11, 22, 33, 44, 55, 4350};
    h1.priceTop = 66;

    RecordBuilder builder;
    builder.setPivots(4, {s3, "1.2100", "1.2200", "1.2500", "1.2600", "1.2700", r3});
    const QString text = builder.text();
    const PivotPanelState after = placePivots(before, InstrumentRecord(text));

    QCOMPARE(after.column(4).levelTops, h1.levelTops);
    QCOMPARE(after.column(4).priceTop, 66);
    QCOMPARE(after.column(4).levelTexts.at(Column::P), QStringLiteral("1.2500")); // still written
    QCOMPARE(after.column(4).levelTexts.at(Column::R3), r3);
    QVERIFY(after.column(5).levelTops != Column::kInitialTops); // the other columns are placed
}

void TestPivotPlacement::readPrice_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("decimal") << "1.0914" << true << 1.0914;
    QTest::newRow("thousands") << "12,345.25" << true << 12345.25;
    QTest::newRow("whole") << "3500" << true << 3500.0;
    QTest::newRow("negative") << "-0.5" << true << -0.5;
    QTest::newRow("more digits than read exactly")
        << "123,456,789,012,345,678,901.5" << true << 123456789012345678901.5;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("two points") << "1.2.3" << false << 0.0;
    QTest::newRow("exponent") << "1e3" << false << 0.0;
    QTest::newRow("blank inside") << "1 000" << false << 0.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
}

void TestPivotPlacement::readPrice()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const std::optional<double> read = ::readPrice(text);
    QCOMPARE(read.has_value(), valid);
    if (valid)
        QCOMPARE(*read, value);
}

void TestPivotPlacement::stoppedFillLeavesThePanel()
{
    MarketView view;
    view.choosePivotPoints();
    IndicatorGrid working;
    QVERIFY(view.loadInd(working, 14, RecordBuilder().text(), QString()));
    const PivotPanelState shown = view.pivots();
    QCOMPARE(shown.column(2).levelTexts.at(Column::P), QStringLiteral("1.0900"));

    view.setPivotPanelVisible(false);
    const QString cut = RecordBuilder().setPrice("9.99").truncate(100).text();
    QVERIFY(!view.loadInd(working, 14, cut, QString()));
    QCOMPARE(view.pivots(), shown);
    QVERIFY(!view.isPivotPanelVisible()); // visibility unchanged as well

    QVERIFY(view.loadInd(working, 14, RecordBuilder().setPrice("1.0950").text(), QString()));
    QVERIFY(view.isPivotPanelVisible());
    QCOMPARE(view.pivots().column(6).priceCaption, QStringLiteral("1.0950"));
}

QTEST_GUILESS_MAIN(TestPivotPlacement)
#include "tst_pivotplacement.moc"
