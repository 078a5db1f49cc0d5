#include "documents/instrumentrecord.h"
#include "documents/numberformat.h"
#include "market/market.h"
#include "market/minutes.h"
#include "recordcheck.h"
#include "serverfixtures.h"

#include "app/catalogue.h"

#include <QTest>
#include <QTimeZone>

// Records parsed back line by line, at every position the program reads.
class TestServerRecord final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyInstrumentIsComplete();
    void positionsHoldTheReadings();
    void pricesAndLevels();
    void shortHistoryLeavesTimeframesEmpty();
    void noCandlesAtAll();
    void checkerCatchesFaults_data();
    void checkerCatchesFaults();

private:
    std::unique_ptr<Market> m_market;
};

namespace {

// Tuesday, in the middle of a forex session.
const qint64 kStart = gmtMinute(2024, 5, 14, 10, 6);

} // namespace

void TestServerRecord::initTestCase()
{
    m_market = std::make_unique<Market>(MarketSetup{}, kStart);
}

void TestServerRecord::everyInstrumentIsComplete()
{
    for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
        const QString record = instrumentRecord(m_market->snapshot(index));
        const QStringList faults = recordFaults(record);
        if (!faults.isEmpty())
            QFAIL(qPrintable(catalogue::serverCode(index) + QStringLiteral(": ") +
                             faults.join(QStringLiteral("; "))));
        QCOMPARE(record.count(QLatin1Char('\n')), recordlayout::kLineCount - 1);
        QVERIFY(!record.contains(QLatin1Char('\r')));
        QCOMPARE(recordField(record, 204, 1), catalogue::serverCode(index));
    }
}

void TestServerRecord::positionsHoldTheReadings()
{
    const InstrumentSnapshot snapshot =
        m_market->snapshot(instrumentIndex(QStringLiteral("eurusd")));
    const QString record = instrumentRecord(snapshot);
    for (int t = 0; t < kTimeframeCount; ++t) {
        const TimeframeReading &reading = snapshot.readings[size_t(t)];
        const int base = 29 * t;
        QCOMPARE(recordField(record, base, 1), timeframeName(Timeframe(t)));
        QCOMPARE(recordField(record, base + 1, 1), summaryText(reading.overallSummary));
        QCOMPARE(recordField(record, base + 19, 1), summaryText(reading.indicatorSummary));
        QCOMPARE(recordField(record, base + 28, 1), summaryText(reading.averageSummary));
        for (int k = 0; k < 12; ++k) {
            const IndicatorReading &indicator = reading.indicators[size_t(k)];
            QCOMPARE(recordField(record, base + 4 + k, 0), indicatorName(Indicator(k)));
            QCOMPARE(recordField(record, base + 4 + k, 1),
                     fixedNumber(indicator.value, indicator.decimals));
            QCOMPARE(recordField(record, base + 4 + k, 2), verdictText(indicator.verdict));
        }
        for (int k = 0; k < 6; ++k) {
            const AverageReading &average = reading.averages[size_t(k)];
            QCOMPARE(recordField(record, base + 20 + k, 0),
                     QStringLiteral("MA%1").arg(average.period));
            QCOMPARE(recordField(record, base + 20 + k, 1), fixedNumber(average.simple, 5));
            QCOMPARE(recordField(record, base + 20 + k, 2), verdictText(average.simpleVerdict));
            QCOMPARE(recordField(record, base + 20 + k, 3), fixedNumber(average.exponential, 5));
            QCOMPARE(recordField(record, base + 20 + k, 4),
                     verdictText(average.exponentialVerdict));
        }
        const PivotLevels &p = reading.pivots;
        const double levels[] = {p.s3, p.s2, p.s1, p.p, p.r1, p.r2, p.r3};
        for (int level = 0; level < 7; ++level)
            QCOMPARE(recordField(record, 206 + 8 * t + level, 0), fixedNumber(levels[level], 5));
        QCOMPARE(recordField(record, 213 + 8 * t, 1), timeframeName(Timeframe(t)));
    }
    // The latest minute is 10:05; M1 reads it, H1 reads 09:00-09:59, D1 the day that ended at
    // 22:00 the evening before.
    QCOMPARE(snapshot.latest->minute, kStart - 1);
    QCOMPARE(recordField(record, 16, 1), QStringLiteral("2024-05-14 10:05"));
    QCOMPARE(recordField(record, 29 * 4 + 16, 1), QStringLiteral("2024-05-14 09:00"));
    QCOMPARE(recordField(record, 29 * 6 + 16, 1), QStringLiteral("2024-05-12 22:00"));
    QCOMPARE(recordField(record, 203, 0), priceText(snapshot.latest->close, 5));
}

void TestServerRecord::pricesAndLevels()
{
    // Four integer digits: the price gets its separator, the levels never do.
    for (const char *code : {"gold", "crypto-btc", "dax", "crypto-shib", "usdjpy"}) {
        const InstrumentSnapshot snapshot =
            m_market->snapshot(instrumentIndex(QLatin1String(code)));
        const QString record = instrumentRecord(snapshot);
        const QString price = recordField(record, 203, 0);
        QCOMPARE(price.contains(QLatin1Char(',')), snapshot.latest->close >= 1000);
        QCOMPARE(price.section(QLatin1Char('.'), 1).size(), snapshot.decimals);
        for (int line = 206; line < 262; ++line)
            QVERIFY2(!recordField(record, line, 0).contains(QLatin1Char(',')), code);
    }
}

void TestServerRecord::shortHistoryLeavesTimeframesEmpty()
{
    // 300 minutes of real candles: M1 has its 200 candles, M5 only 60 and nothing else enough.
    CandleFile file;
    file.path = QStringLiteral("eurusd.csv");
    file.decimals = 5;
    for (int i = 0; i < 300; ++i) {
        const double price = 1.08 + 0.0001 * (i % 17) - 0.00005 * (i % 5);
        file.candles.push_back(
            Candle{kStart - 300 + i, price, price + 0.0002, price - 0.0002, price + 0.0001});
    }
    MarketSetup setup;
    setup.candleFiles.insert(QStringLiteral("eurusd"), file);
    const Market market(setup, kStart);
    const QString record =
        instrumentRecord(market.snapshot(instrumentIndex(QStringLiteral("eurusd"))));
    const QStringList faults = recordFaults(record, 0x01);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    QCOMPARE(recordField(record, 29, 2), QStringLiteral("not enough history: 60 of 200 candles"));
    // The program stops its fill at the first empty indicator of M5 .. D1: line 33, field 2.
    QCOMPARE(recordField(record, 33, 2), QString());
    QCOMPARE(recordField(record, 205, 2), QStringLiteral("eurusd.csv"));
    QVERIFY(!recordField(record, 203, 0).isEmpty());
}

void TestServerRecord::noCandlesAtAll()
{
    MarketSetup setup;
    setup.candleFiles.insert(QStringLiteral("gold"),
                             CandleFile{QStringLiteral("gold.csv"), {}, 2, {}});
    const Market market(setup, kStart);
    const QString record =
        instrumentRecord(market.snapshot(instrumentIndex(QStringLiteral("gold"))));
    QCOMPARE(record.count(QLatin1Char('\n')), recordlayout::kLineCount - 1);
    const QStringList faults = recordFaults(record, 0);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    QCOMPARE(recordField(record, 203, 0), QString());
}

void TestServerRecord::checkerCatchesFaults_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("replacement"); // "" cuts the record before the line
    // %1 becomes a summary other than the one the record holds.
    QTest::newRow("summary against its votes") << 1 << "Summary;%1;-1.000";
    QTest::newRow("unknown indicator state") << 33 << "RSI(14);50.000;Bye";
    QTest::newRow("average action in lower case") << 49 << "MA5;1.08000;buy;1.08000;Buy";
    QTest::newRow("indicator summary missing") << 48 << "Summary indicators";
    QTest::newRow("level with a separator") << 214 << "1,08000";
    QTest::newRow("level with other decimals") << 215 << "1.080";
    QTest::newRow("levels out of order") << 206 << "9.00000";
    QTest::newRow("price without decimals") << 203 << "1";
    QTest::newRow("record cut short") << 250 << "";
}

void TestServerRecord::checkerCatchesFaults()
{
    QFETCH(int, line);
    QFETCH(QString, replacement);
    QStringList lines =
        instrumentRecord(m_market->snapshot(instrumentIndex(QStringLiteral("eurusd"))))
            .split(QLatin1Char('\n'));
    const QString held = lines.value(line).section(QLatin1Char(';'), 1, 1);
    if (replacement.contains(QLatin1String("%1")))
        replacement =
            replacement.arg(held == QLatin1String("Strong Sell") ? QStringLiteral("Strong Buy")
                                                                 : QStringLiteral("Strong Sell"));
    if (replacement.isEmpty())
        lines = lines.mid(0, line);
    else
        lines[line] = replacement;
    QVERIFY(!recordFaults(lines.join(QLatin1Char('\n'))).isEmpty());
}

QTEST_GUILESS_MAIN(TestServerRecord)
#include "tst_serverrecord.moc"
