#include "market/market.h"
#include "market/minutes.h"
#include "market/tradingsession.h"
#include "serverfixtures.h"

#include "programsignals.h"

#include "app/catalogue.h"

#include <QTest>

#include <algorithm>
#include <vector>

// What a demo shows with the default configuration, seen through the program's own reading:
// every minute each record is rendered into the working grid and evaluated as the polling
// cycle does. Option 1 asks for Strong Buy (or Strong Sell) on M1 to H1, option 2 on M1 to
// H4, option 3 on every timeframe; a signal is raised when its condition starts to hold.
class TestDemoMarket final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void aFewSignalsArriveAfterAnyStart();
    void verdictsMoveLikeAMarket();
};

namespace {

constexpr int kOptions = signalconfig::kOptionCount;
constexpr int kPolls = 11; // at the start and after each of ten minutes

// Weekday starts at every hour of the day and in every part of the hour: four chosen ones,
// then forty spread over four weeks.
QList<QDateTime> demoStarts()
{
    QList<QDateTime> starts{gmt(2024, 5, 14, 10, 6), gmt(2024, 5, 15, 15, 43),
                            gmt(2024, 5, 16, 3, 17), gmt(2024, 5, 20, 19, 51)};
    const QDate firstMonday(2024, 5, 13);
    for (int i = 0; i < 40; ++i) {
        const QDate day = firstMonday.addDays(i % 5 + 7 * (i / 5 % 4));
        starts.append(QDateTime(day, QTime((7 * i + 3) % 24, (13 * i + 6) % 60), QTimeZone::utc()));
    }
    return starts;
}

struct DemoRun
{
    std::array<int, kOptions> firstPoll{};         // all 62 instruments switched on
    std::array<int, kOptions> firstPollFirstRun{}; // the instruments a first start switches on
    std::array<int, kOptions> tenMinutes{};        // all 62, the first poll included
    int firstPollTotal() const { return firstPoll[0] + firstPoll[1] + firstPoll[2]; }
    int firstPollFirstRunTotal() const
    {
        return firstPollFirstRun[0] + firstPollFirstRun[1] + firstPollFirstRun[2];
    }
};

DemoRun runDemo(qint64 start)
{
    Market market(MarketSetup{}, start);
    const QList<int> firstRun = catalogue::firstRunSet();
    ProgramSignals program;
    DemoRun run;
    for (int poll = 0; poll < kPolls; ++poll) {
        market.advanceTo(start + poll);
        for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
            // The trading flag reads "no" at the weekend only; weekday starts evaluate every
            // instrument, the gate is kept for exactness.
            if (catalogue::isGated(index) && !forexOpen(start + poll))
                continue;
            for (int raised : program.evaluate(index, instrumentRecord(market.snapshot(index)))) {
                const size_t option = size_t(raised - 1);
                ++run.tenMinutes[option];
                if (poll == 0) {
                    ++run.firstPoll[option];
                    if (firstRun.contains(index))
                        ++run.firstPollFirstRun[option];
                }
            }
        }
    }
    return run;
}

// The value below which `share` of the values lie.
int quantile(std::vector<int> values, double share)
{
    std::sort(values.begin(), values.end());
    return values[size_t(share * double(values.size() - 1) + 0.5)];
}

bool isStrong(Summary summary)
{
    return summary == Summary::StrongBuy || summary == Summary::StrongSell;
}

} // namespace

void TestDemoMarket::aFewSignalsArriveAfterAnyStart()
{
    std::vector<int> firstPoll;
    std::vector<int> firstPollFirstRun;
    std::array<std::vector<int>, kOptions> tenMinutes;
    for (const QDateTime &start : demoStarts()) {
        const DemoRun run = runDemo(minuteOf(start));
        qInfo("%s: first poll %d signals (options 1/2/3: %d/%d/%d), %d of them for the "
              "first-run instruments; ten minutes: %d/%d/%d",
              qPrintable(start.toString(QStringLiteral("ddd HH:mm"))), run.firstPollTotal(),
              run.firstPoll[0], run.firstPoll[1], run.firstPoll[2], run.firstPollFirstRunTotal(),
              run.tenMinutes[0], run.tenMinutes[1], run.tenMinutes[2]);
        firstPoll.push_back(run.firstPollTotal());
        firstPollFirstRun.push_back(run.firstPollFirstRunTotal());
        for (size_t option = 0; option < kOptions; ++option)
            tenMinutes[option].push_back(run.tenMinutes[option]);
    }
    const auto quartiles = [](const std::vector<int> &values) {
        return QStringLiteral("%1 / %2 / %3")
            .arg(quantile(values, 0.25))
            .arg(quantile(values, 0.5))
            .arg(quantile(values, 0.75));
    };
    qInfo("quartiles over %d starts: first poll %s, for the first-run instruments %s; ten "
          "minutes option 1 %s, option 2 %s, option 3 %s",
          int(firstPoll.size()), qPrintable(quartiles(firstPoll)),
          qPrintable(quartiles(firstPollFirstRun)), qPrintable(quartiles(tenMinutes[0])),
          qPrintable(quartiles(tenMinutes[1])), qPrintable(quartiles(tenMinutes[2])));
    // A typical start: a handful of signals at once, a few more as the market moves, all
    // seven timeframes strong together only now and then.
    QVERIFY(quantile(firstPoll, 0.5) <= 6);
    QVERIFY(quantile(firstPollFirstRun, 0.5) <= 3);
    QVERIFY(quantile(tenMinutes[0], 0.5) >= 2 && quantile(tenMinutes[0], 0.5) <= 10);
    QVERIFY(quantile(tenMinutes[2], 0.5) <= 2);
    // Few starts stay silent, and a busy start (the first minutes of an hour, when every
    // timeframe up to H1 reads the same close) is no flood.
    QVERIFY(quantile(tenMinutes[0], 0.25) >= 1);
    QVERIFY(quantile(firstPoll, 0.75) <= 12);
}

void TestDemoMarket::verdictsMoveLikeAMarket()
{
    // Each start followed for an hour, minute by minute.
    constexpr int kMinutes = 60;
    std::array<int, kTimeframeCount> strong{};
    std::array<int, kTimeframeCount> changes{};
    std::array<int, 3> aligned{}; // M1..H1, M1..H4, M1..D1 strong in one direction
    int readings = 0;
    const QList<QDateTime> starts = demoStarts().mid(0, 6);
    for (const QDateTime &startTime : starts) {
        const qint64 start = minuteOf(startTime);
        Market market(MarketSetup{}, start);
        std::vector<std::array<Summary, kTimeframeCount>> previous(catalogue::kInstrumentCount);
        for (int minute = 0; minute <= kMinutes; ++minute) {
            market.advanceTo(start + minute);
            for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
                const InstrumentSnapshot snapshot = market.snapshot(index);
                std::array<Summary, kTimeframeCount> summaries{};
                for (int t = 0; t < kTimeframeCount; ++t) {
                    summaries[size_t(t)] = snapshot.readings[size_t(t)].overallSummary;
                    strong[size_t(t)] += isStrong(summaries[size_t(t)]);
                    if (minute > 0 && summaries[size_t(t)] != previous[size_t(index)][size_t(t)])
                        ++changes[size_t(t)];
                }
                previous[size_t(index)] = summaries;
                const int agreeing =
                    int(std::find_if(summaries.begin(), summaries.end(),
                                     [&](Summary s) { return s != summaries[0]; }) -
                        summaries.begin());
                if (isStrong(summaries[0])) {
                    aligned[0] += agreeing >= 5;
                    aligned[1] += agreeing >= 6;
                    aligned[2] += agreeing >= 7;
                }
                ++readings;
            }
        }
    }
    const int minutes = readings - int(starts.size()) * catalogue::kInstrumentCount;
    const auto percent = [](int count, int of) { return 100.0 * count / of; };
    qInfo("strong readings: M1 %.0f%%, M5 %.0f%%, M15 %.0f%%, M30 %.0f%%, H1 %.0f%%, H4 %.0f%%, "
          "D1 %.0f%%",
          percent(strong[0], readings), percent(strong[1], readings), percent(strong[2], readings),
          percent(strong[3], readings), percent(strong[4], readings), percent(strong[5], readings),
          percent(strong[6], readings));
    qInfo("strong in one direction on M1..H1 %.1f%%, M1..H4 %.1f%%, M1..D1 %.1f%% of readings",
          percent(aligned[0], readings), percent(aligned[1], readings),
          percent(aligned[2], readings));
    qInfo("verdict changes per minute: M1 %.1f%%, M5 %.1f%%, M15 %.1f%%, M30 %.1f%%, H1 %.1f%%, "
          "H4 %.1f%%, D1 %.1f%%",
          percent(changes[0], minutes), percent(changes[1], minutes), percent(changes[2], minutes),
          percent(changes[3], minutes), percent(changes[4], minutes), percent(changes[5], minutes),
          percent(changes[6], minutes));
    // M1 moves minute by minute without flickering, each longer timeframe moves less, and an
    // hour's verdict changes at most once an hour.
    QVERIFY(changes[0] > minutes / 20 && changes[0] < minutes / 4);
    for (size_t t = 1; t < 5; ++t)
        QVERIFY(changes[t] < changes[t - 1]);
    QVERIFY(changes[4] <= 2 * int(starts.size()) * catalogue::kInstrumentCount);
    // The short timeframes do not simply repeat the long ones.
    QVERIFY(aligned[0] < readings / 10);
    QVERIFY(aligned[2] < aligned[1] && aligned[1] < aligned[0]);
}

QTEST_GUILESS_MAIN(TestDemoMarket)
#include "tst_demomarket.moc"
