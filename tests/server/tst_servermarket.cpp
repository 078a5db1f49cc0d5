#include "documents/instrumentrecord.h"
#include "market/csvcandles.h"
#include "market/market.h"
#include "market/minutes.h"
#include "market/timeframereading.h"
#include "market/tradingsession.h"
#include "serverfixtures.h"
#include "sim/marketprofiles.h"
#include "sim/marketsimulator.h"
#include "sim/marketswing.h"

#include "app/catalogue.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <cmath>

// The market the documents are computed from: sessions, simulation, CSV candles.
class TestServerMarket final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sessions_data();
    void sessions();
    void bucketsStartAtTheNewYorkClose_data();
    void bucketsStartAtTheNewYorkClose();
    void everyInstrumentHasAProfile();
    void simulationIsSeededAndKeepsTheWeekend();
    void historyIsReadyAtOnce_data();
    void historyIsReadyAtOnce();
    void volatilityMatchesTheProfiles();
    void swingStepsOfAnyLength_data();
    void swingStepsOfAnyLength();
    void sameSetupSameMarket();
    void candleFileForms();
    void candleFileFaults_data();
    void candleFileFaults();
    void candleFolder();
    void fileCandlesWaitForTheirMinute();
};

namespace {

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    return writeTestFile(dir.filePath(name), content);
}

} // namespace

void TestServerMarket::sessions_data()
{
    QTest::addColumn<qint64>("minute");
    QTest::addColumn<bool>("open");
    // 2024-05-17 is a Friday.
    QTest::newRow("Friday 21:59") << gmtMinute(2024, 5, 17, 21, 59) << true;
    QTest::newRow("Friday 22:00") << gmtMinute(2024, 5, 17, 22, 0) << false;
    QTest::newRow("Saturday noon") << gmtMinute(2024, 5, 18, 12, 0) << false;
    QTest::newRow("Sunday 21:59") << gmtMinute(2024, 5, 19, 21, 59) << false;
    QTest::newRow("Sunday 22:00") << gmtMinute(2024, 5, 19, 22, 0) << true;
    QTest::newRow("Monday 00:00") << gmtMinute(2024, 5, 20, 0, 0) << true;
    QTest::newRow("Wednesday 23:59") << gmtMinute(2024, 5, 15, 23, 59) << true;
}

void TestServerMarket::sessions()
{
    QFETCH(qint64, minute);
    QFETCH(bool, open);
    QCOMPARE(forexOpen(minute), open);
    QCOMPARE(tradingFlagText(minute).section(QLatin1Char(';'), 0, 0),
             open ? QStringLiteral("yes") : QStringLiteral("no"));
}

void TestServerMarket::bucketsStartAtTheNewYorkClose_data()
{
    QTest::addColumn<int>("timeframe");
    QTest::addColumn<qint64>("minute");
    QTest::addColumn<qint64>("start");
    QTest::newRow("M5") << int(Timeframe::M5) << gmtMinute(2024, 5, 14, 10, 7)
                        << gmtMinute(2024, 5, 14, 10, 5);
    QTest::newRow("M30") << int(Timeframe::M30) << gmtMinute(2024, 5, 14, 10, 59)
                         << gmtMinute(2024, 5, 14, 10, 30);
    QTest::newRow("H1") << int(Timeframe::H1) << gmtMinute(2024, 5, 14, 10, 0)
                        << gmtMinute(2024, 5, 14, 10, 0);
    QTest::newRow("H4 after midnight")
        << int(Timeframe::H4) << gmtMinute(2024, 5, 14, 1, 0) << gmtMinute(2024, 5, 13, 22, 0);
    QTest::newRow("H4 morning") << int(Timeframe::H4) << gmtMinute(2024, 5, 14, 9, 0)
                                << gmtMinute(2024, 5, 14, 6, 0);
    QTest::newRow("D1 before the close")
        << int(Timeframe::D1) << gmtMinute(2024, 5, 14, 21, 59) << gmtMinute(2024, 5, 13, 22, 0);
    QTest::newRow("D1 at the close")
        << int(Timeframe::D1) << gmtMinute(2024, 5, 14, 22, 0) << gmtMinute(2024, 5, 14, 22, 0);
}

void TestServerMarket::bucketsStartAtTheNewYorkClose()
{
    QFETCH(int, timeframe);
    QFETCH(qint64, minute);
    QFETCH(qint64, start);
    QCOMPARE(bucketStart(Timeframe(timeframe), minute), start);
}

void TestServerMarket::everyInstrumentHasAProfile()
{
    for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
        const MarketProfile *profile = marketProfile(catalogue::serverCode(index));
        QVERIFY2(profile, qPrintable(catalogue::serverCode(index)));
        QVERIFY(profile->price > 0 && profile->dailyVolatility > 0);
        // The profile's price is a quote of its own decimals.
        const double tick = std::pow(10.0, -profile->decimals);
        QVERIFY(std::abs(std::round(profile->price / tick) * tick - profile->price) < tick / 100);
    }
    QVERIFY(!marketProfile(QStringLiteral("nosuchcode")));
}

void TestServerMarket::simulationIsSeededAndKeepsTheWeekend()
{
    const MarketProfile &eurusd = *marketProfile(QStringLiteral("eurusd"));
    InstrumentSimulator first(eurusd, false, 7);
    InstrumentSimulator second(eurusd, false, 7);
    InstrumentSimulator other(eurusd, false, 8);
    const qint64 friday = gmtMinute(2024, 5, 17, 21, 0);
    bool differs = false;
    for (qint64 minute = friday; minute < friday + 60; ++minute) {
        const std::optional<Candle> a = first.step(minute);
        const std::optional<Candle> b = second.step(minute);
        const std::optional<Candle> c = other.step(minute);
        QVERIFY(a && b && c);
        QCOMPARE(a->close, b->close);
        QVERIFY(a->high >= std::max(a->open, a->close) && a->low <= std::min(a->open, a->close));
        differs = differs || a->close != c->close;
    }
    QVERIFY(differs);
    QVERIFY(!first.step(gmtMinute(2024, 5, 18, 12, 0)));
    InstrumentSimulator bitcoin(*marketProfile(QStringLiteral("crypto-btc")), true, 7);
    QVERIFY(bitcoin.step(gmtMinute(2024, 5, 18, 12, 0)));
}

void TestServerMarket::historyIsReadyAtOnce_data()
{
    QTest::addColumn<qint64>("start");
    QTest::newRow("Tuesday") << gmtMinute(2024, 5, 14, 10, 6);
    QTest::newRow("just after the Sunday open") << gmtMinute(2024, 5, 19, 22, 5);
    QTest::newRow("Monday morning") << gmtMinute(2024, 5, 20, 0, 30);
    QTest::newRow("Saturday") << gmtMinute(2024, 5, 18, 12, 0);
}

void TestServerMarket::historyIsReadyAtOnce()
{
    QFETCH(qint64, start);
    const Market market(MarketSetup{}, start);
    for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
        const InstrumentSnapshot snapshot = market.snapshot(index);
        for (const TimeframeReading &reading : snapshot.readings) {
            QVERIFY2(reading.complete, qPrintable(QStringLiteral("%1 %2").arg(
                                           snapshot.serverCode, timeframeName(reading.timeframe))));
        }
    }
}

void TestServerMarket::volatilityMatchesTheProfiles()
{
    // Close-to-close daily returns of the simulated history against each profile's volatility.
    const Market market(MarketSetup{}, gmtMinute(2024, 5, 14, 10, 6));
    for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
        const std::span<const Candle> days = market.book(index).series(Timeframe::D1).candles();
        double squares = 0;
        for (size_t i = 1; i < days.size(); ++i)
            squares += std::pow(std::log(days[i].close / days[i - 1].close), 2);
        const double realized = std::sqrt(squares / double(days.size() - 1));
        const double ratio =
            realized / marketProfile(catalogue::serverCode(index))->dailyVolatility;
        QVERIFY2(ratio > 0.7 && ratio < 1.4,
                 qPrintable(QStringLiteral("%1: %2").arg(catalogue::serverCode(index)).arg(ratio)));
    }
}

void TestServerMarket::swingStepsOfAnyLength_data()
{
    // The step lengths of the simulated past and of the running market.
    QTest::addColumn<int>("stepMinutes");
    QTest::newRow("minutes") << 1;
    QTest::newRow("quarter hours") << 15;
    QTest::newRow("hours") << 60;
}

void TestServerMarket::swingStepsOfAnyLength()
{
    // Whatever the step, the swing keeps its size and changes over an hour as much as the
    // calibration of the daily volatility assumes.
    QFETCH(int, stepMinutes);
    constexpr double kSize = 18;
    MarketSwing swing(80, 0.3, kSize);
    RandomStream random(1, "swing");
    constexpr int kHours = 40000;
    double positionSquares = 0;
    double changeSquares = 0;
    double hourStart = 0;
    for (int hour = 0; hour < kHours; ++hour) {
        double position = 0;
        for (int minute = 0; minute < 60; minute += stepMinutes)
            position = swing.step(stepMinutes, 1.0, random);
        positionSquares += position * position;
        changeSquares += (position - hourStart) * (position - hourStart);
        hourStart = position;
    }
    const double size = std::sqrt(positionSquares / kHours);
    const double hourChange = std::sqrt(changeSquares / kHours);
    QVERIFY2(std::abs(size / kSize - 1) < 0.05, qPrintable(QString::number(size)));
    QVERIFY2(std::abs(hourChange / std::sqrt(swing.changeVariance(60)) - 1) < 0.05,
             qPrintable(QString::number(hourChange)));
}

void TestServerMarket::sameSetupSameMarket()
{
    const qint64 start = gmtMinute(2024, 5, 14, 10, 6);
    Market first(MarketSetup{}, start);
    Market second(MarketSetup{}, start);
    MarketSetup otherSeed;
    otherSeed.seed = 2;
    const Market third(otherSeed, start);
    first.advanceTo(start + 3);
    second.advanceTo(start + 3);
    const int eurusd = instrumentIndex(QStringLiteral("eurusd"));
    QCOMPARE(instrumentRecord(first.snapshot(eurusd)), instrumentRecord(second.snapshot(eurusd)));
    QVERIFY(instrumentRecord(first.snapshot(eurusd)) != instrumentRecord(third.snapshot(eurusd)));
    // New minutes reach the instruments that trade: all of them on a Tuesday.
    for (int index = 0; index < catalogue::kInstrumentCount; ++index)
        QVERIFY(first.takeChanged(index));
    first.advanceTo(start + 4);
    QVERIFY(first.takeChanged(eurusd));
    QVERIFY(!first.takeChanged(eurusd));
}

void TestServerMarket::candleFileForms()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("eurusd.csv"),
                                   "Time,Open,High,Low,Close,Volume\n"
                                   "2024-05-14 10:00,1.08000,1.08010,1.07990,1.08005,12\n"
                                   "\n"
                                   "2024-05-14T10:01:00Z,1.08005,1.08020,1.08000,1.08015\n"
                                   "2024.05.14,10:02,1.08015,1.08030,1.08010,1.080251,40\n"
                                   "2024.05.14\t10:03:00\t1.08025\t1.08040\t1.08020\t1.08030\n");
    QString error;
    const std::optional<CandleFile> file = readCandleFile(path, &error);
    QVERIFY2(file, qPrintable(error));
    QCOMPARE(file->candles.size(), size_t(4));
    QCOMPARE(file->candles[0].minute, gmtMinute(2024, 5, 14, 10, 0));
    QCOMPARE(file->candles[3].minute, gmtMinute(2024, 5, 14, 10, 3));
    QCOMPARE(file->candles[2].close, 1.080251);
    QCOMPARE(file->decimals, 6);
}

void TestServerMarket::candleFileFaults_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("what");
    const QByteArray good = "2024-05-14 10:00,1.08,1.09,1.07,1.085\n";
    QTest::newRow("too few fields") << good + "2024-05-14 10:01,1.08,1.09\n"
                                    << ":2:"
                                    << "found 3 field";
    QTest::newRow("not a time") << "time,open,high,low,close\n" + good + "yesterday,1,2,0.5,1\n"
                                << ":3:"
                                << "not a time";
    QTest::newRow("seconds") << good + "2024-05-14 10:01:30,1.08,1.09,1.07,1.085\n"
                             << ":2:"
                             << "whole minute";
    QTest::newRow("not a price") << good + "2024-05-14 10:01,1.08,abc,1.07,1.085\n"
                                 << ":2:"
                                 << "\"abc\"";
    QTest::newRow("negative price") << QByteArray("2024-05-14 10:00,-1,1.09,1.07,1.085\n") << ":1:"
                                    << "positive price";
    QTest::newRow("high below the close")
        << QByteArray("2024-05-14 10:00,1.08,1.08,1.07,1.085\n") << ":1:"
        << "the high";
    QTest::newRow("time going back") << good + "2024-05-14 09:59,1.08,1.09,1.07,1.085\n"
                                     << ":2:"
                                     << "does not come after";
    QTest::newRow("same time twice") << good + good << ":2:"
                                     << "does not come after";
}

void TestServerMarket::candleFileFaults()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, where);
    QFETCH(QString, what);
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("gold.csv"), content);
    QString error;
    QVERIFY(!readCandleFile(path, &error));
    QVERIFY2(error.startsWith(QDir::toNativeSeparators(path) + where), qPrintable(error));
    QVERIFY2(error.contains(what), qPrintable(error));
}

void TestServerMarket::candleFolder()
{
    QTemporaryDir dir;
    writeFile(dir, QStringLiteral("gold.csv"), "2024-05-14 10:00,2300.5,2301,2299,2300.75\n");
    writeFile(dir, QStringLiteral("notes.txt"), "not candles");
    CandleFolder folder = readCandleFolder(dir.path());
    QVERIFY2(folder.error.isEmpty(), qPrintable(folder.error));
    QCOMPARE(folder.files.keys(), QStringList{QStringLiteral("gold")});
    QCOMPARE(folder.files.value(QStringLiteral("gold")).decimals, 2);

    writeFile(dir, QStringLiteral("EURUSD.csv"), "2024-05-14 10:00,1,1,1,1\n");
    folder = readCandleFolder(dir.path());
    QVERIFY(folder.error.contains(QStringLiteral("EURUSD.csv")));
    QVERIFY(folder.error.contains(QStringLiteral("no instrument has the server code \"EURUSD\"")));

    QVERIFY(readCandleFolder(dir.filePath(QStringLiteral("missing")))
                .error.contains(QStringLiteral("no such folder")));
}

void TestServerMarket::fileCandlesWaitForTheirMinute()
{
    CandleFile file;
    file.path = QStringLiteral("gold.csv");
    file.decimals = 2;
    const qint64 start = gmtMinute(2024, 5, 14, 10, 0);
    for (int i = -5; i < 5; ++i)
        file.candles.push_back(Candle{start + i, 2300.0 + i, 2301.0 + i, 2299.0 + i, 2300.5 + i});
    MarketSetup setup;
    setup.candleFiles.insert(QStringLiteral("gold"), file);
    Market market(setup, start);
    const int gold = instrumentIndex(QStringLiteral("gold"));
    QCOMPARE(market.book(gold).latest()->minute, start - 1);
    QVERIFY(market.takeChanged(gold));
    market.advanceTo(start + 2);
    QCOMPARE(market.book(gold).latest()->minute, start + 1);
    QVERIFY(market.takeChanged(gold));
    market.advanceTo(start + 60);
    QCOMPARE(market.book(gold).latest()->close, 2304.5);
}

QTEST_GUILESS_MAIN(TestServerMarket)
#include "tst_servermarket.moc"
