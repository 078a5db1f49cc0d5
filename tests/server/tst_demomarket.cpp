#include "market.h"
#include "minutes.h"
#include "serverfixtures.h"
#include "tradingsession.h"

#include "app/catalogue.h"

#include <QTest>

// What a demo shows in its first ten minutes with the default configuration: the program polls
// once a minute and raises option 1 when the overall summary reads Strong Buy (or Strong Sell)
// on M1, M5, M15, M30 and H1 at once, again only after the condition stopped holding.
class TestDemoMarket final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void signalsArriveAndVerdictsMoveCalmly_data();
    void signalsArriveAndVerdictsMoveCalmly();
};

namespace {

constexpr int kPolls = 11;           // at the start and after each of ten minutes
constexpr int kSignalTimeframes = 5; // M1 .. H1

struct DemoRun
{
    int signalCount = 0;
    int firstPollSignals = 0;
    std::array<int, kTimeframeCount> changes{}; // verdict changes per timeframe
};

DemoRun runDemo(qint64 start)
{
    Market market(MarketSetup{}, start);
    DemoRun run;
    std::vector<int> memory(catalogue::kInstrumentCount, 0); // +1 after BUY, -1 after SELL
    std::vector<std::array<Summary, kTimeframeCount>> previous(catalogue::kInstrumentCount);
    for (int poll = 0; poll < kPolls; ++poll) {
        market.advanceTo(start + poll);
        for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
            const InstrumentSnapshot snapshot = market.snapshot(index);
            bool buy = true;
            bool sell = true;
            for (int t = 0; t < kTimeframeCount; ++t) {
                const Summary summary = snapshot.readings[size_t(t)].overallSummary;
                if (t < kSignalTimeframes) {
                    buy = buy && summary == Summary::StrongBuy;
                    sell = sell && summary == Summary::StrongSell;
                }
                if (poll > 0 && summary != previous[size_t(index)][size_t(t)])
                    ++run.changes[size_t(t)];
                previous[size_t(index)][size_t(t)] = summary;
            }
            const bool evaluated = !catalogue::isGated(index) || forexOpen(start + poll);
            const int holds = buy ? 1 : sell ? -1 : 0;
            if (evaluated && holds != 0 && memory[size_t(index)] == 0) {
                ++run.signalCount;
                run.firstPollSignals += poll == 0;
            }
            if (evaluated)
                memory[size_t(index)] = holds;
        }
    }
    return run;
}

} // namespace

void TestDemoMarket::signalsArriveAndVerdictsMoveCalmly_data()
{
    QTest::addColumn<QDateTime>("start");
    const auto at = [](int day, int hour, int minute) { return gmt(2024, 5, day, hour, minute); };
    QTest::newRow("Tuesday 10:06") << at(14, 10, 6);
    QTest::newRow("Wednesday 15:43") << at(15, 15, 43);
    QTest::newRow("Thursday 03:17") << at(16, 3, 17);
    QTest::newRow("Monday 19:51") << at(20, 19, 51);
}

void TestDemoMarket::signalsArriveAndVerdictsMoveCalmly()
{
    QFETCH(QDateTime, start);
    const DemoRun run = runDemo(minuteOf(start));
    const int readings = (kPolls - 1) * catalogue::kInstrumentCount;
    qInfo("%d signals in the first ten minutes, %d of them at the first poll; verdict changes per "
          "minute: M1 %.0f%%, M5 %.0f%%, M15 %.0f%%, M30 %.0f%%, H1 %.0f%%",
          run.signalCount, run.firstPollSignals, 100.0 * run.changes[0] / readings,
          100.0 * run.changes[1] / readings, 100.0 * run.changes[2] / readings,
          100.0 * run.changes[3] / readings, 100.0 * run.changes[4] / readings);
    QVERIFY(run.signalCount >= 3);
    QVERIFY(run.signalCount > run.firstPollSignals); // more come as the market moves
    // Verdicts move minute by minute on M1, less on the longer timeframes, and H1 changes at
    // most once per instrument in ten minutes (at the top of the hour).
    QVERIFY(run.changes[0] > run.changes[1]);
    QVERIFY(run.changes[1] > 0);
    QVERIFY(run.changes[0] < readings / 2);
    QVERIFY(run.changes[4] <= catalogue::kInstrumentCount);
}

QTEST_GUILESS_MAIN(TestDemoMarket)
#include "tst_demomarket.moc"
