#include "documents/numberformat.h"
#include "market/candlebook.h"
#include "market/pivots.h"
#include "market/streamingindicators.h"
#include "market/timeframereading.h"
#include "market/windowindicators.h"

#include <QTest>
#include <QTimeZone>

#include <cmath>
#include <vector>

// Every indicator against values worked out by hand on short series (short periods, so that the
// arithmetic can be followed in the comments).
class TestServerIndicators final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void averagesSeedWithTheSimpleAverage();
    void rsi();
    void averageTrueRange();
    void directionalIndex();
    void windowIndicators();
    void ultimateOscillator();
    void flatMarketVotesNeither_data();
    void flatMarketVotesNeither();
    void classicPivots();
    void numbers_data();
    void numbers();
    void roundedValuesAreWrittenExactly();
    void aggregation();
};

namespace {

Candle candle(double high, double low, double close, qint64 minute = 0)
{
    return Candle{minute, close, high, low, close};
}

// H, L, C of a short series used by several cases.
const std::vector<Candle> kSeries{candle(10, 8, 9), candle(11, 9, 10), candle(12, 10, 11),
                                  candle(11.5, 9, 9.5), candle(12, 10, 11.5)};

} // namespace

void TestServerIndicators::averagesSeedWithTheSimpleAverage()
{
    Ema ema(3);
    WilderAverage wilder(3);
    const std::vector<double> values{1, 2, 3, 4, 5, 6};
    std::vector<double> emaValues;
    std::vector<double> wilderValues;
    for (double value : values) {
        ema.add(value);
        wilder.add(value);
        if (ema.ready()) {
            emaValues.push_back(ema.value());
            wilderValues.push_back(wilder.value());
        }
    }
    // Seed (1+2+3)/3 = 2. EMA: alpha 0.5, so 3, 4, 5. Wilder: (2*2+4)/3 = 8/3, (2*8/3+5)/3 = 31/9,
    // (2*31/9+6)/3 = 116/27.
    QCOMPARE(emaValues, (std::vector<double>{2, 3, 4, 5}));
    QCOMPARE(wilderValues.size(), size_t(4));
    QCOMPARE(wilderValues[0], 2.0);
    QCOMPARE(wilderValues[1], 8.0 / 3);
    QCOMPARE(wilderValues[2], 31.0 / 9);
    QCOMPARE(wilderValues[3], 116.0 / 27);
}

void TestServerIndicators::rsi()
{
    // Changes +1, +1, -1: gain 2/3, loss 1/3, RS 2, RSI 66.667. Then +2: gain (2*2/3+2)/3 = 10/9,
    // loss (2*1/3)/3 = 2/9, RS 5, RSI 83.333.
    Rsi rsi(3);
    for (double close : {10.0, 11.0, 12.0})
        rsi.add(close);
    QVERIFY(!rsi.ready());
    rsi.add(11);
    QVERIFY(rsi.ready());
    QCOMPARE(rsi.value(), 100.0 - 100.0 / 3);
    rsi.add(13);
    QCOMPARE(rsi.value(), 100.0 - 100.0 / 6);

    Rsi rising(3);
    Rsi flat(3);
    for (double close : {1.0, 2.0, 3.0, 4.0}) {
        rising.add(close);
        flat.add(5);
    }
    QCOMPARE(rising.value(), 100.0);
    QCOMPARE(flat.value(), 50.0);
}

void TestServerIndicators::averageTrueRange()
{
    // True ranges 2, 2, 2 (seed 2); then H 14 L 11 after C 11: 3, ATR (2*2+3)/3 = 7/3; then
    // H 13.5 L 12.5 after C 13: 1, ATR (2*7/3+1)/3 = 17/9.
    Atr atr(3);
    for (const Candle &c : {candle(10, 8, 9), candle(11, 9, 10.5), candle(12, 10, 11)})
        atr.add(c);
    QVERIFY(atr.ready());
    QCOMPARE(atr.value(), 2.0);
    atr.add(candle(14, 11, 13));
    QCOMPARE(atr.value(), 7.0 / 3);
    atr.add(candle(13.5, 12.5, 13));
    QCOMPARE(atr.value(), 17.0 / 9);
}

void TestServerIndicators::directionalIndex()
{
    // Period 2 over kSeries. Moves: +DM 1, 1, 0, 0.5; -DM 0, 0, 1, 0; TR 2, 2, 2.5, 2.5.
    // After two: TR 2, +DM 1, -DM 0: +DI 50, -DI 0, DX 100. Then TR 2.25, +DM 0.5, -DM 0.5:
    // DX 0, ADX seeded (100+0)/2 = 50. Then TR 2.375, +DM 0.5, -DM 0.25: +DI 21.053,
    // -DI 10.526, DX 33.333, ADX (50+33.333)/2 = 41.667.
    Adx adx(2);
    for (size_t i = 0; i < 4; ++i)
        adx.add(kSeries[i]);
    QVERIFY(adx.ready());
    QCOMPARE(adx.value(), 50.0);
    adx.add(kSeries[4]);
    QCOMPARE(roundedTo(adx.plusDi(), 3), 21.053);
    QCOMPARE(roundedTo(adx.minusDi(), 3), 10.526);
    QCOMPARE(roundedTo(adx.value(), 3), 41.667);
}

void TestServerIndicators::windowIndicators()
{
    const std::span<const Candle> series(kSeries);
    // Last three: H 12, 11.5, 12; L 10, 9, 10; C 11, 9.5, 11.5.
    QCOMPARE(roundedTo(simpleAverage(series, 3), 4), 10.6667);
    QCOMPARE(roundedTo(stochasticK(series, 3), 3), 83.333);  // (11.5-9)/(12-9)
    QCOMPARE(roundedTo(williamsR(series, 3), 3), -16.667);   // -(12-11.5)/(12-9)
    QCOMPARE(stochasticD(series, 2, 2), 50.0);               // (83.333 + 16.667) / 2
    QCOMPARE(roundedTo(rateOfChange(series, 2), 4), 4.5455); // (11.5-11)/11
    // Typical prices 11, 10, 11.1667; mean 10.7222; mean deviation 0.48148.
    QCOMPARE(roundedTo(commodityChannelIndex(series, 3), 3), 61.538);
    // Highs and lows of c2, c3 (12, 9) against c0, c1 (11, 8): ((12-11) + (9-8)) / 2.
    QCOMPARE(highsLows(series.first(4), 2), 1.0);
    QCOMPARE(highsLows(series, 2), 0.0);
    const std::vector<Candle> still(4, candle(5, 5, 5));
    QCOMPARE(stochasticK(still, 3), 50.0);
    QCOMPARE(williamsR(still, 3), -50.0);
    QCOMPARE(commodityChannelIndex(still, 3), 0.0);
}

void TestServerIndicators::ultimateOscillator()
{
    // Range 9-11 throughout. Closing mid-range: pressure 1 of range 2. Closing at the top: 2 of 2.
    std::vector<Candle> candles(22, candle(11, 9, 10));
    QCOMPARE(::ultimateOscillator(std::vector<Candle>(29, candle(11, 9, 10))), 50.0);
    // The last seven close at the top: A7 = 1, A14 = 21/28, A28 = 35/56;
    // UO = 100 (4 + 1.5 + 0.625) / 7 = 87.5.
    for (int i = 0; i < 7; ++i)
        candles.push_back(candle(11, 9, 11));
    QCOMPARE(::ultimateOscillator(candles), 87.5);
}

void TestServerIndicators::flatMarketVotesNeither_data()
{
    QTest::addColumn<double>("price");
    QTest::addColumn<int>("decimals");
    // Whether the rounding shows depends on the price's last bits: these show it in the mean
    // deviation of CCI or in the range of RSI.
    QTest::newRow("1.0") << 1.0 << 5;
    QTest::newRow("1.0742") << 1.0742 << 5;
    QTest::newRow("1.4452") << 1.4452 << 5;
    QTest::newRow("50000") << 50000.0 << 2;
    QTest::newRow("55565") << 55565.0 << 2;
    QTest::newRow("0.00001") << 0.00001 << 8;
    QTest::newRow("0.000011113") << 0.000011113 << 8;
    QTest::newRow("0.000011484") << 0.000011484 << 8;
}

void TestServerIndicators::flatMarketVotesNeither()
{
    QFETCH(double, price);
    QFETCH(int, decimals);
    // A market that swung for 220 minutes and then stood still for 30: RSI still has gains and
    // losses to average, but nothing in the last 14 candles moved.
    TimeframeSeries series(Timeframe::M1);
    qint64 minute = 0;
    for (; minute < 220; ++minute) {
        const double close = price * (1.0 + 0.01 * std::sin(double(minute) / 7.0));
        series.add(Candle{minute, close, close * 1.001, close * 0.999, close});
    }
    for (; minute < 250; ++minute)
        series.add(Candle{minute, price, price, price, price});

    const TimeframeReading reading = readTimeframe(series, minute, decimals);
    QVERIFY(reading.complete);
    const IndicatorReading &cci = reading.indicators[int(Indicator::Cci)];
    const IndicatorReading &stochasticRsi = reading.indicators[int(Indicator::StochasticRsi)];
    QCOMPARE(cci.value, 0.0);
    QCOMPARE(cci.verdict, Verdict::Neutral);
    QCOMPARE(stochasticRsi.value, 50.0);
    QCOMPARE(stochasticRsi.verdict, Verdict::Neutral);
}

void TestServerIndicators::classicPivots()
{
    const PivotLevels levels = ::classicPivots(1.30, 1.20, 1.25);
    const std::vector<double> got{levels.s3, levels.s2, levels.s1, levels.p,
                                  levels.r1, levels.r2, levels.r3};
    const std::vector<double> expected{1.10, 1.15, 1.20, 1.25, 1.30, 1.35, 1.40};
    for (size_t i = 0; i < got.size(); ++i)
        QCOMPARE(roundedTo(got[i], 10), expected[i]);
}

void TestServerIndicators::numbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("plain");
    QTest::newRow("forex") << 1.08765 << 5 << "1.08765"
                           << "1.08765";
    QTest::newRow("three integer digits") << 150.5 << 3 << "150.500"
                                          << "150.500";
    QTest::newRow("four integer digits") << 1234.5 << 2 << "1,234.50"
                                         << "1234.50";
    QTest::newRow("rounding up to four digits") << 999.999 << 2 << "1,000.00"
                                                << "1000.00";
    QTest::newRow("millions") << 1234567.891 << 1 << "1,234,567.9"
                              << "1234567.9";
    QTest::newRow("small coin") << 0.000023 << 8 << "0.00002300"
                                << "0.00002300";
    QTest::newRow("no decimals") << 38500.0 << 0 << "38,500"
                                 << "38500";
    QTest::newRow("negative zero") << -0.00001 << 3 << "0.000"
                                   << "0.000";
    QTest::newRow("negative") << -1234.5 << 1 << "-1,234.5"
                              << "-1234.5";
}

void TestServerIndicators::numbers()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, price);
    QFETCH(QString, plain);
    QCOMPARE(priceText(value, decimals), price);
    QCOMPARE(fixedNumber(value, decimals), plain);
}

void TestServerIndicators::roundedValuesAreWrittenExactly()
{
    // Verdicts are taken from rounded values; the text written must read back as the same value.
    double value = 0.000123456789;
    for (int i = 0; i < 2000; ++i) {
        value = value * 1.37 + 0.011 * (i % 7) - (value > 1e6 ? value * 0.999 : 0);
        for (int decimals = 0; decimals <= 9; ++decimals) {
            const double rounded = roundedTo(value, decimals);
            QCOMPARE(fixedNumber(rounded, decimals).toDouble(), rounded);
            QVERIFY(std::abs(rounded - value) <=
                    0.5 * std::pow(10.0, -decimals) + std::abs(value) * 1e-15);
        }
    }
    QCOMPARE(roundedTo(55.0004, 3), 55.0);
    QCOMPARE(roundedTo(-0.0004, 3), 0.0);
}

void TestServerIndicators::aggregation()
{
    // 2024-05-14 is a Tuesday; minute candles from 21:55 to 22:04 GMT cross the day's end.
    const qint64 start =
        QDateTime(QDate(2024, 5, 14), QTime(21, 55), QTimeZone::utc()).toSecsSinceEpoch() / 60;
    CandleBook book;
    for (int i = 0; i < 10; ++i)
        book.add(Candle{start + i, 100.0 + i, 100.5 + i, 99.0 + i, 100.25 + i});

    const TimeframeSeries &m5 = book.series(Timeframe::M5);
    QCOMPARE(m5.count(), qint64(2));
    const Candle first = m5.candles()[0];
    QCOMPARE(first.minute, start);
    QCOMPARE(first.open, 100.0);
    QCOMPARE(first.high, 104.5);
    QCOMPARE(first.low, 99.0);
    QCOMPARE(first.close, 104.25);
    // The day turns at 22:00 GMT: the D1 candle holding 21:55 started the day before.
    const TimeframeSeries &d1 = book.series(Timeframe::D1);
    QCOMPARE(d1.count(), qint64(2));
    QCOMPARE(d1.candles()[1].minute, start + 5);
    QCOMPARE(book.series(Timeframe::H4).candles()[1].minute, start + 5);

    // At 22:05 the second M5 candle (22:00-22:04) is complete; at 22:04 it is still forming.
    QCOMPARE(m5.completed(start + 10).size(), size_t(2));
    QCOMPARE(m5.completed(start + 9).size(), size_t(1));
    QCOMPARE(book.series(Timeframe::M1).completed(start + 10).size(), size_t(10));
    QCOMPARE(book.latest()->close, 109.25);

    // Coarse steps reach only the timeframes at least as long.
    CandleBook coarse;
    coarse.add(Candle{start - 5, 1, 2, 0.5, 1.5}, 15);
    QCOMPARE(coarse.series(Timeframe::M5).count(), qint64(0));
    QCOMPARE(coarse.series(Timeframe::M15).count(), qint64(1));
}

QTEST_GUILESS_MAIN(TestServerIndicators)
#include "tst_serverindicators.moc"
