// The polling cycle over HTTP/2: all 62 instruments against a real HTTP/2 server over TLS that
// answers every request after 50 ms, one request at a time against the whole cycle in flight on
// the one multiplexed connection. One ServerAccess serves every cycle, as in the program, so the
// measured cycles already know the connection is multiplexed. Medians of several cycles, one run.

#include "app/appstate.h"
#include "app/catalogue.h"
#include "benchfigures.h"
#include "http2testserver.h"
#include "market/marketview.h"
#include "market/pollingcycle.h"
#include "market/serveraccess.h"
#include "recordbuilder.h"
#include "testhttpserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkAccessManager>

#include <QCoroTask>

#include <cstdio>

using namespace std::chrono_literals;

namespace {

constexpr auto kAnswerDelay = 50ms;
// Medians: a short cycle suffers most from a busy machine.
constexpr int kSequentialRuns = 3;
constexpr int kMultiplexedRuns = 9;

double cycleMilliseconds(ServerAccess &server, AppState &state, MarketView &view, int inFlight)
{
    PollingCycle cycle(server, state, view, Timings());
    cycle.setFetchAhead(inFlight);
    cycle.setMultiplexedFetchAhead(inFlight);
    QElapsedTimer clock;
    clock.start();
    QCoro::waitFor(cycle.runCycle());
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Http2TestServer site;
    if (!site.start(kAnswerDelay))
        return 1;
    site.trust();
    site.serve(QStringLiteral("signals/-cantrade_xml.php"), TestHttpServer::dataDocument("yes;"));
    AppState state;
    for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
        site.serve(QStringLiteral("signals/%1.xml").arg(catalogue::serverCode(index)),
                   TestHttpServer::dataDocument(
                       RecordBuilder().setPrice(QString::number(1.05 + index / 1000.0)).text()));
        state.setEnabled(index, true);
    }
    state.setSelectedIndex(14);
    MarketView view;
    view.gridrazm();
    QNetworkAccessManager network;
    ServerAccess server(network, site.baseAddress());

    const int all = PollingCycle::kDefaultMultiplexedFetchAhead;
    cycleMilliseconds(server, state, view, all); // connection, TLS and HTTP/2 settings
    if (!server.isMultiplexed()) {
        std::fputs("the server did not answer over HTTP/2\n", stderr);
        return 1;
    }
    QList<double> sequentialRuns;
    QList<double> multiplexedRuns;
    for (int run = 0; run < kSequentialRuns; ++run)
        sequentialRuns << cycleMilliseconds(server, state, view, 1);
    for (int run = 0; run < kMultiplexedRuns; ++run)
        multiplexedRuns << cycleMilliseconds(server, state, view, all);
    const double sequential = percentile(sequentialRuns, 0.5);
    const double multiplexed = percentile(multiplexedRuns, 0.5);
    printFigure("cycle_http2_sequential_ms", sequential, "ms");
    printFigure("cycle_http2_ms", multiplexed, "ms");
    printFigure("cycle_speedup_http2", sequential / multiplexed, "x");
    printFigure("cycle_http2_max_in_flight", site.maxInFlight(), "requests");
    return 0;
}
