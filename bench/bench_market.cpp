// Market data figures: a polling cycle over all instruments one request at a time against
// fetching ahead, the longest stall of the window during a cycle, and the cost of one render.

#include "app/appstate.h"
#include "app/catalogue.h"
#include "market/indicatorarea.h"
#include "market/marketview.h"
#include "market/pollingcycle.h"
#include "market/serveraccess.h"
#include "recordbuilder.h"
#include "testhttpserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QThread>
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
class ServerThread
{
public:
    ServerThread()
    {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_context,
            [this] {
                m_server = new TestHttpServer;
                m_server->start();
                m_server->setDefaultDelay(kAnswerDelay);
                m_server->serveData(QStringLiteral("signals/-cantrade_xml.php"),
                                    QStringLiteral("yes;"));
                for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
                    m_server->serveData(
                        QStringLiteral("signals/%1.xml").arg(catalogue::serverCode(index)),
                        RecordBuilder().setPrice(QString::number(1.05 + index / 1000.0)).text());
                }
                m_address = m_server->baseAddress();
            },
            Qt::BlockingQueuedConnection);
    }

    ~ServerThread()
    {
        QMetaObject::invokeMethod(
            &m_context, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    QString address() const { return m_address; }

private:
    QThread m_thread;
    QObject m_context;
    TestHttpServer *m_server = nullptr;
    QString m_address;
};

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
    ServerThread serverThread;

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
