#include "serverfixtures.h"

#include "live/candlecache.h"
#include "live/candlecheck.h"
#include "live/euroindex.h"
#include "live/tradinghours.h"
#include "market/candlebook.h"
#include "market/csvcandles.h"

#include <QTemporaryDir>
#include <QTest>

#include <optional>

// The rules of the live market that hold whatever the source: which candles count, when an
// instrument is stale, how the cache keeps its size, and the euro index's arithmetic.
class TestLiveChecks final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void onlyNewPossibleClosedCandlesCount_data();
    void onlyNewPossibleClosedCandlesCount();
    void staleOnlyInTradingHours_data();
    void staleOnlyInTradingHours();
    void compactingKeepsTheLongTimeframes();
    void aCacheLineCutOffIsDropped();
    void cacheLinesCarryTheirLength_data();
    void cacheLinesCarryTheirLength();
    void euroIndexFromItsWeights();
    void euroIndexPairsEqualCandles();
};

namespace {

const qint64 kT = gmtMinute(2024, 5, 14, 10, 0); // a Tuesday

Candle flat(qint64 minute, double price)
{
    return Candle{minute, price, price, price, price};
}

Candle bar(qint64 minute, double open, double high, double low, double close)
{
    return Candle{minute, open, high, low, close};
}

} // namespace

void TestLiveChecks::onlyNewPossibleClosedCandlesCount_data()
{
    QTest::addColumn<qint64>("from");
    QTest::addColumn<std::vector<CandleRun>>("runs");
    QTest::addColumn<QList<qint64>>("accepted");
    QTest::addColumn<int>("dropped");
    QTest::addColumn<QString>("rejected");
    const auto run = [](int step, std::vector<Candle> candles) {
        return CandleRun{step, std::move(candles)};
    };
    QTest::newRow("in order") << kT << std::vector{run(1, {flat(kT, 1), flat(kT + 1, 1.1)})}
                              << QList<qint64>{kT, kT + 1} << 0 << QString();
    QTest::newRow("seen before") << kT + 1 << std::vector{run(1, {flat(kT, 1), flat(kT + 1, 1)})}
                                 << QList<qint64>{kT + 1} << 1 << QString();
    QTest::newRow("twice and back")
        << kT << std::vector{run(1, {flat(kT, 1), flat(kT, 1), flat(kT + 2, 1), flat(kT + 1, 1)})}
        << QList<qint64>{kT, kT + 2} << 2 << QString();
    QTest::newRow("still forming") << kT << std::vector{run(1, {flat(kT + 4, 1), flat(kT + 5, 1)})}
                                   << QList<qint64>{kT + 4} << 1 << QString();
    QTest::newRow("coarse then fine")
        << kT - 120
        << std::vector{run(60, {flat(kT - 120, 1), flat(kT - 60, 1)}),
                       run(1, {flat(kT, 1), flat(kT + 1, 1)})}
        << QList<qint64>{kT - 120, kT - 60, kT, kT + 1} << 0 << QString();
    QTest::newRow("coarse off its hour") << kT - 120 << std::vector{run(60, {flat(kT - 90, 1)})}
                                         << QList<qint64>{} << 0 << "no timeframe's candle";
    QTest::newRow("no timeframe's length") << kT - 10 << std::vector{run(7, {flat(kT - 10, 1)})}
                                           << QList<qint64>{} << 0 << "no timeframe's candle";
    QTest::newRow("high below low") << kT << std::vector{run(1, {bar(kT, 1, 0.9, 1, 1)})}
                                    << QList<qint64>{} << 0 << "high is below the low";
    QTest::newRow("open above the high") << kT << std::vector{run(1, {bar(kT, 1.2, 1.1, 1, 1)})}
                                         << QList<qint64>{} << 0 << "open is outside";
    QTest::newRow("close below the low") << kT << std::vector{run(1, {bar(kT, 1, 1.1, 1, 0.9)})}
                                         << QList<qint64>{} << 0 << "close is outside";
    QTest::newRow("zero price") << kT << std::vector{run(1, {bar(kT, 0, 1, 0, 1)})}
                                << QList<qint64>{} << 0 << "not positive";
    QTest::newRow("not a number") << kT << std::vector{run(1, {bar(kT, 1, qQNaN(), 1, 1)})}
                                  << QList<qint64>{} << 0 << "not positive";
    // A crash or a squeeze is a real move: nothing judges a candle by its size.
    QTest::newRow("a tenfold move")
        << kT
        << std::vector{run(1, {flat(kT, 100), bar(kT + 1, 100, 1000, 99, 990), flat(kT + 2, 9)})}
        << QList<qint64>{kT, kT + 1, kT + 2} << 0 << QString();
}

void TestLiveChecks::onlyNewPossibleClosedCandlesCount()
{
    QFETCH(qint64, from);
    QFETCH(std::vector<CandleRun>, runs);
    QFETCH(QList<qint64>, accepted);
    QFETCH(int, dropped);
    QFETCH(QString, rejected);
    const CheckedCandles checked = checkCandles(runs, from, kT + 5);
    QList<qint64> minutes;
    for (const TimedCandle &timed : checked.candles)
        minutes << timed.candle.minute;
    QCOMPARE(minutes, accepted);
    QCOMPARE(checked.dropped, dropped);
    if (rejected.isEmpty()) {
        QVERIFY(checked.rejected.isEmpty());
    } else {
        QCOMPARE(checked.rejected.size(), 1);
        QVERIFY2(checked.rejected[0].contains(rejected), qPrintable(checked.rejected[0]));
        QVERIFY(checked.rejected[0].startsWith(QStringLiteral("2024-05-14 ")));
    }
}

void TestLiveChecks::staleOnlyInTradingHours_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<qint64>("lastEnd");
    QTest::addColumn<qint64>("now");
    QTest::addColumn<bool>("stale");
    const qint64 friday = gmtMinute(2024, 5, 17, 22, 0);
    const qint64 sunday = gmtMinute(2024, 5, 19, 22, 0);
    QTest::newRow("crypto, four minutes owed") << "crypto-btc" << kT << kT + 5 << false;
    QTest::newRow("crypto, five minutes owed") << "crypto-btc" << kT << kT + 6 << true;
    QTest::newRow("crypto at the weekend") << "crypto-btc" << friday << friday + 6 << true;
    QTest::newRow("forex at the weekend") << "eurusd" << friday << sunday - 1 << false;
    QTest::newRow("forex on sunday evening") << "eurusd" << friday << sunday + 5 << false;
    QTest::newRow("forex not back after sunday 22:00") << "eurusd" << friday << sunday + 6 << true;
    QTest::newRow("gold in its daily pause")
        << "gold" << gmtMinute(2024, 5, 14, 20, 0) << gmtMinute(2024, 5, 14, 22, 59) << false;
    QTest::newRow("gold after its pause")
        << "gold" << gmtMinute(2024, 5, 14, 20, 0) << gmtMinute(2024, 5, 14, 23, 6) << true;
    QTest::newRow("a share overnight")
        << "apple" << gmtMinute(2024, 5, 14, 20, 0) << gmtMinute(2024, 5, 15, 14, 35) << false;
    QTest::newRow("a share not trading at the open")
        << "apple" << gmtMinute(2024, 5, 14, 20, 0) << gmtMinute(2024, 5, 15, 14, 36) << true;
    QTest::newRow("tokyo at lunch")
        << "nikkei225" << gmtMinute(2024, 5, 14, 2, 30) << gmtMinute(2024, 5, 14, 3, 35) << false;
    QTest::newRow("hong kong on saturday") << "hangseng" << friday << friday + 1800 << false;
    QTest::newRow("euro and krona at the weekend") << "eursek" << friday << friday + 1000 << false;
}

void TestLiveChecks::staleOnlyInTradingHours()
{
    QFETCH(QString, code);
    QFETCH(qint64, lastEnd);
    QFETCH(qint64, now);
    QFETCH(bool, stale);
    const std::optional<qint64> since = staleSince(code, lastEnd, now);
    QCOMPARE(since.has_value(), stale);
    if (stale)
        QCOMPARE(*since, lastEnd);
}

void TestLiveChecks::compactingKeepsTheLongTimeframes()
{
    // Nine days of minutes, as a server that ran on after its warm-up leaves them.
    std::vector<TimedCandle> minutes;
    const qint64 start = kT - 9 * kMinutesPerDay;
    for (qint64 m = start; m < kT; ++m) {
        const double price = 100 + 5 * std::sin(double(m) / 300.0) + double(m % 7) * 0.01;
        minutes.push_back(TimedCandle{bar(m, price, price + 0.05, price - 0.04, price + 0.01), 1});
    }
    const std::vector<TimedCandle> compacted = compactHistory(minutes);
    QVERIFY(compacted.size() < minutes.size());
    // The last four days stay minutes; before them quarter hours fill whole buckets.
    const qint64 minutesFrom = (kT - 4 * kMinutesPerDay) / 15 * 15;
    for (const TimedCandle &timed : compacted) {
        QCOMPARE(timed.minutes, timed.candle.minute < minutesFrom ? 15 : 1);
        QVERIFY(fillsItsBucket(timed.candle.minute, timed.minutes));
    }
    CandleBook original;
    CandleBook shorter;
    for (const TimedCandle &timed : minutes)
        original.add(timed.candle, timed.minutes);
    for (const TimedCandle &timed : compacted)
        shorter.add(timed.candle, timed.minutes);
    for (Timeframe timeframe : {Timeframe::M15, Timeframe::H1, Timeframe::H4, Timeframe::D1}) {
        const std::span<const Candle> a = original.series(timeframe).candles();
        const std::span<const Candle> b = shorter.series(timeframe).candles();
        QVERIFY(std::equal(a.begin(), a.end(), b.begin(), b.end()));
        QCOMPARE(original.series(timeframe).count(), shorter.series(timeframe).count());
    }
    // Rewritten once: compacting again changes nothing.
    QCOMPARE(compactHistory(compacted), compacted);
    // A week of minutes is not old enough to be rewritten yet.
    const std::vector<TimedCandle> week(minutes.end() - 7 * kMinutesPerDay, minutes.end());
    QCOMPARE(compactHistory(week), week);
}

void TestLiveChecks::aCacheLineCutOffIsDropped()
{
    QTemporaryDir dir;
    const CandleCache cache(dir.path());
    QCOMPARE(cache.prepare(), QString());
    QCOMPARE(cache.append(QStringLiteral("gold"), {{flat(kT, 2300.5), 1}, {flat(kT + 1, 2301), 1}}),
             QString());
    QFile file(cache.pathOf(QStringLiteral("gold")));
    QVERIFY(file.open(QIODevice::Append));
    file.write("2024-05-14 10:02,2301.2,23");
    file.close();
    const CandleCache::Load load = cache.load(QStringLiteral("gold"));
    QCOMPARE(load.error, QString());
    QVERIFY2(load.note.contains(QStringLiteral("unfinished last line")), qPrintable(load.note));
    QCOMPARE(load.file.candles.size(), size_t(2));
    QCOMPARE(load.file.decimals, 1);
    // The file itself is whole again: appending continues it.
    QCOMPARE(cache.append(QStringLiteral("gold"), {{flat(kT + 2, 2302), 1}}), QString());
    QCOMPARE(cache.load(QStringLiteral("gold")).file.candles.size(), size_t(3));
    QVERIFY(cache.pathOf(QStringLiteral("eursek")).endsWith(QStringLiteral("/inputs/eursek.csv")));
}

void TestLiveChecks::cacheLinesCarryTheirLength_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<int>>("lengths");
    QTest::addColumn<QString>("error");
    const QByteArray header = QByteArray(kLengthHeader) + '\n';
    QTest::newRow("warm-up layout") << header + "2024-05-14 08:00,1.1,1.2,1.0,1.15,60\n"
                                                "2024-05-14 09:00,1.15,1.2,1.1,1.12,15\n"
                                                "2024-05-14 09:15,1.12,1.13,1.11,1.125,1\n"
                                    << QList<int>{60, 15, 1} << QString();
    QTest::newRow("a terminal's volume column")
        << QByteArray("time,open,high,low,close,volume\n2024-05-14 09:00,1,1,1,1,60\n"
                      "2024-05-14 09:01,1,1,1,1,75\n")
        << QList<int>{} << QString();
    QTest::newRow("overlapping") << header + "2024-05-14 09:00,1,1,1,1,60\n"
                                             "2024-05-14 09:30,1,1,1,1,1\n"
                                 << QList<int>{} << ":3: 2024-05-14 09:30 does not come after";
    QTest::newRow("off its bucket") << header + "2024-05-14 09:05,1,1,1,1,15\n"
                                    << QList<int>{} << ":2: \"15\" is not the length";
    QTest::newRow("length missing")
        << header + "2024-05-14 09:05,1,1,1,1\n"
        << QList<int>{} << ":2: expected time,open,high,low,close,minutes";
}

void TestLiveChecks::cacheLinesCarryTheirLength()
{
    QFETCH(QByteArray, content);
    QFETCH(QList<int>, lengths);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString path = writeTestFile(dir.filePath(QStringLiteral("eurusd.csv")), content);
    QString complaint;
    const std::optional<CandleFile> file = readCandleFile(path, &complaint);
    if (!error.isEmpty()) {
        QVERIFY(!file);
        QVERIFY2(complaint.startsWith(path + error), qPrintable(complaint));
        return;
    }
    QVERIFY2(file, qPrintable(complaint));
    QCOMPARE(QList<int>(file->lengths.begin(), file->lengths.end()), lengths);
    // What the cache writes reads back to the same candles and lengths.
    QByteArray written = QByteArray(kLengthHeader) + '\n';
    for (size_t i = 0; i < file->candles.size(); ++i)
        written += candleLine(file->candles[i], file->lengthOf(i)) + '\n';
    const QString again = writeTestFile(dir.filePath(QStringLiteral("gold.csv")), written);
    const std::optional<CandleFile> reread = readCandleFile(again, &complaint);
    QVERIFY2(reread, qPrintable(complaint));
    QCOMPARE(reread->candles, file->candles);
    QCOMPARE(reread->lengthOf(file->candles.size() - 1), file->lengthOf(file->candles.size() - 1));
    QCOMPARE(reread->decimals, file->decimals);
}

void TestLiveChecks::euroIndexFromItsWeights()
{
    QCOMPARE(euroindex::value({1.085, 0.855, 161.0, 0.95, 11.5}), 105.89873179103922);
    const Candle index = euroindex::candle({bar(kT, 1.085, 1.09, 1.08, 1.09), flat(kT, 0.855),
                                            flat(kT, 161.0), flat(kT, 0.95), flat(kT, 11.5)});
    QCOMPARE(index.minute, kT);
    QCOMPARE(index.open, 105.899);
    QCOMPARE(index.close, 106.052);
    QCOMPARE(index.high, 106.052);
    QVERIFY(index.low < index.open);
}

void TestLiveChecks::euroIndexPairsEqualCandles()
{
    EuroIndexBuilder builder;
    const std::array<double, 5> rates{1.085, 0.855, 161.0, 0.95, 11.5};
    for (int i = 0; i < 4; ++i)
        builder.add(i, {{flat(kT, rates[size_t(i)]), 1}, {flat(kT + 1, rates[size_t(i)]), 1}});
    // EUR/SEK has not come yet: nothing can be made.
    QVERIFY(builder.take(0).empty());
    // It comes without the first minute: only the second pairs up, and the first is given up.
    builder.add(4, {{flat(kT + 1, 11.5), 1}});
    const std::vector<TimedCandle> made = builder.take(0);
    QCOMPARE(made.size(), size_t(1));
    QCOMPARE(made[0].candle.minute, kT + 1);
    QCOMPARE(made[0].candle.close, 105.899);
    QVERIFY(builder.take(0).empty());
    // A coarse candle pairs only with candles of its own length.
    for (int i = 0; i < 5; ++i)
        builder.add(i, {{flat(kT + 60, rates[size_t(i)]), i == 2 ? 1 : 60}});
    for (int i = 0; i < 5; ++i)
        builder.add(i, {{flat(kT + 120, rates[size_t(i)]), 1}});
    const std::vector<TimedCandle> later = builder.take(kT + 2);
    QCOMPARE(later.size(), size_t(1));
    QCOMPARE(later[0].candle.minute, kT + 120);

    // EUR/SEK stops for good: what the others bring waits no longer than a warm-up's worth.
    const qint64 first = kT + 200;
    const qint64 last = first + qint64(EuroIndexBuilder::kMostWaiting) + 499;
    std::vector<TimedCandle> days;
    for (qint64 m = first; m <= last; ++m)
        days.push_back({flat(m, 1.085), 1});
    builder.add(0, days);
    for (int i = 1; i < 4; ++i)
        builder.add(i, {{flat(last, rates[size_t(i)]), 1}});
    QVERIFY(builder.take(0).empty());
    QCOMPARE(builder.waiting(0), EuroIndexBuilder::kMostWaiting);
    builder.add(4, {{flat(last, 11.5), 1}});
    const std::vector<TimedCandle> newest = builder.take(0);
    QCOMPARE(newest.size(), size_t(1));
    QCOMPARE(newest[0].candle.minute, last);
}

QTEST_GUILESS_MAIN(TestLiveChecks)
#include "tst_livechecks.moc"
