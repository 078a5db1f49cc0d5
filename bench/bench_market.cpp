// Market data figures: a polling cycle over all instruments one request at a time against
// fetching ahead, the longest stall of the window during a cycle, and the cost of one render.

#include "app/appstate.h"
#include "app/catalogue.h"
#include "market/indicatorarea.h"
#include "market/marketview.h"
#include "market/pollingcycle.h"
#include "market/serveraccess.h"
#include "recordbuilder.h"
#include "testserverthread.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QTimer>
#include <QWidget>

#include <QCoroTask>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr auto kAnswerDelay = 50ms;
constexpr int kCycleRuns = 3;
constexpr int kRenderSamples = 2001;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

void report(const char *name, double value, const char *unit)
{
    std::printf("BENCH %s %.2f %s\n", name, value, unit);
    std::fflush(stdout);
}

// The signal server stand-in runs on its own thread, as a real server is another process.
void serveTheRecords(TestHttpServer &server)
{
    server.setDefaultDelay(kAnswerDelay);
    server.serveData(QStringLiteral("signals/-cantrade_xml.php"), QStringLiteral("yes;"));
    for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
        server.serveData(QStringLiteral("signals/%1.xml").arg(catalogue::serverCode(index)),
                         RecordBuilder().setPrice(QString::number(1.05 + index / 1000.0)).text());
    }
}

struct CycleFigures
{
    double milliseconds;
    double longestStall;
};

// One cycle over every instrument, shown in the indicator area of a window, while a 5 ms timer
// notes the longest gap between its ticks.
CycleFigures timeCycle(const QString &address, int fetchAhead)
{
    QNetworkAccessManager network;
    ServerAccess server(network, address);
    AppState state;
    MarketView view;
    view.gridrazm();
    QWidget window;
    window.resize(1100, 500);
    createIndicatorArea(&window, view);
    window.show();
    PollingCycle cycle(server, state, view, Timings());
    cycle.setFetchAhead(fetchAhead);
    for (int index = 0; index < catalogue::kInstrumentCount; ++index)
        state.setEnabled(index, true);
    state.setSelectedIndex(14);
    view.choosePivotPoints();

    QElapsedTimer sinceTick;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });

    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    ticker.start(5);
    QCoro::waitFor(cycle.runCycle());
    const double elapsed = clock.nsecsElapsed() / 1e6;
    ticker.stop();
    return {elapsed, longest / 1e6};
}

double renderMicroseconds()
{
    MarketView view;
    IndicatorGrid working;
    const QString record = RecordBuilder().text();
    std::vector<double> samples;
    samples.reserve(kRenderSamples);
    QElapsedTimer clock;
    for (int sample = 0; sample < kRenderSamples; ++sample) {
        clock.start();
        view.loadInd(working, sample % catalogue::kInstrumentCount, record, QString());
        samples.push_back(clock.nsecsElapsed() / 1e3);
    }
    return median(samples);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const TestServerThread serverThread(&serveTheRecords);

    // Warm up connections, caches and fonts once before measuring.
    timeCycle(serverThread.address(), PollingCycle::kDefaultFetchAhead);

    std::vector<double> sequential;
    std::vector<double> concurrent;
    std::vector<double> stalls;
    for (int run = 0; run < kCycleRuns; ++run) {
        sequential.push_back(timeCycle(serverThread.address(), 1).milliseconds);
        const CycleFigures ahead =
            timeCycle(serverThread.address(), PollingCycle::kDefaultFetchAhead);
        concurrent.push_back(ahead.milliseconds);
        stalls.push_back(ahead.longestStall);
    }
    const double sequentialMs = median(sequential);
    const double concurrentMs = median(concurrent);
    report("cycle_sequential_ms", sequentialMs, "ms");
    report("cycle_concurrent_ms", concurrentMs, "ms");
    report("cycle_speedup", sequentialMs / concurrentMs, "x");
    report("gui_max_stall_ms", median(stalls), "ms");
    report("loadind_us", renderMicroseconds(), "us");
    return 0;
}
