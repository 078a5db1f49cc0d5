#include "benchfigures.h"

#include "binancereplay.h"
#include "documents/instrumentrecord.h"
#include "dukascopyreplay.h"
#include "live/livemarket.h"
#include "live/livesetup.h"
#include "market/minutes.h"
#include "market/serverpaths.h"
#include "replaymarket.h"
#include "signalserver.h"
#include "sources/sourcehttp.h"
#include "sources/sourcenames.h"

#include "app/catalogue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QTimeZone>

#include <QCoroTask>
#include <QCoroTimer>

#include <chrono>
#include <cstdio>
#include <optional>

// The live market with the built-in feeds for all 62 instruments against loopback replays of
// binance and dukascopy, each source with its own pacing: what a first start costs per source
// (requests and seconds per instrument), a restart from the candle cache, the requests of a live
// minute, the time to rebuild every record after a minute, and per source how long after a
// minute closes its record is published with the default poll delay.
namespace {

using namespace std::chrono_literals;

constexpr int kLiveMinutes = 10;
constexpr int kLatencySamples = 3;
// Where the clock stands when a latency sample starts: the start's own round is done well
// before the minute turns.
constexpr qint64 kLeadMs = 10000;

// The market's time and the replays': frozen at `frozen` and moved by hand, or running with the
// real clock `offsetMs` apart.
struct Present
{
    QDateTime frozen;
    std::optional<qint64> offsetMs;

    QDateTime now() const
    {
        return offsetMs ? QDateTime::fromMSecsSinceEpoch(
                              QDateTime::currentMSecsSinceEpoch() + *offsetMs, QTimeZone::utc())
                        : frozen;
    }
};

struct Replays
{
    BinanceReplay binance;
    DukascopyReplay dukascopy;

    qsizetype requests(const QString &source)
    {
        return source == QLatin1String(sourcenames::kBinance)
                   ? binance.requests().size()
                   : dukascopy.server().requestTargets().size();
    }
    void clearRequests()
    {
        binance.clearRequests();
        dukascopy.server().clearRequests();
    }
};

const QStringList kSources{QLatin1String(sourcenames::kBinance),
                           QLatin1String(sourcenames::kDukascopy)};

// The built-in mapping with every source on loopback: the replays, and a port nobody listens on
// for oanda, which the mapping does not use.
Feeds loopbackFeeds(Replays &replays)
{
    Feeds feeds = defaultFeeds();
    feeds.sources.binance = replays.binance.baseAddress();
    feeds.sources.dukascopy = replays.dukascopy.baseAddress();
    feeds.sources.oanda = QStringLiteral("http://127.0.0.1:9");
    return feeds;
}

// The feeds of each source, EUR/SEK included.
QHash<QString, QStringList> symbolsBySource(const Feeds &feeds)
{
    QHash<QString, QStringList> symbols;
    for (const Feed &feed : feeds.instruments)
        symbols[feed.source] << feed.symbol;
    symbols[feeds.euroSek.source] << feeds.euroSek.symbol;
    return symbols;
}

void quiet(const QString &) {}

void figure(const QByteArray &name, double value, const char *unit)
{
    printFigure(name.constData(), value, unit);
}

void warn(const QString &text)
{
    std::fprintf(stderr, "bench_live: %s\n", qPrintable(text));
}

// The log of a market: what it says besides warming up and being live is worth a look.
void logUnexpected(const QString &line)
{
    if (!line.endsWith(QLatin1String(": live")) && !line.contains(QLatin1String(": warming up")))
        warn(line);
}

// A live market of the feeds over the cache folder, with a network client of its own: a
// market that goes cuts its client off for good.
struct LiveServer
{
    LiveServer(const Feeds &feeds, const QString &cache, QNetworkAccessManager &network,
               const Clock &clock, LiveMarket::Log log)
        : http(network)
        , market(buildLiveMarket(feeds, CandleCache(cache), http, clock, std::move(log)))
    {}

    SourceHttp http;
    std::unique_ptr<LiveMarket> market;
};

// A first start from an empty cache: every source's round from the start to the moment it
// reports live.
QCoro::Task<> warmUp(Replays &replays, const Feeds &feeds, const QString &cache,
                     QNetworkAccessManager &network, const Clock &clock)
{
    QElapsedTimer timer;
    QHash<QString, double> live;
    const auto log = [&timer, &live](const QString &line) {
        const QString source = line.section(QLatin1Char(':'), 0, 0);
        if (line.endsWith(QLatin1String(": live")) && !live.contains(source))
            live.insert(source, double(timer.nsecsElapsed()) / 1e9);
        logUnexpected(line);
    };
    LiveServer server(feeds, cache, network, clock, log);
    replays.clearRequests();
    timer.start();
    co_await server.market->pollAll();
    const double all = double(timer.nsecsElapsed()) / 1e9;
    const QHash<QString, QStringList> symbols = symbolsBySource(feeds);
    for (const QString &source : kSources) {
        const double count = double(symbols.value(source).size());
        const QByteArray name = "live_warmup_" + source.toLatin1();
        figure(name + "_requests_per_instrument", double(replays.requests(source)) / count,
               "requests");
        figure(name + "_seconds", live.value(source, -1), "s");
        figure(name + "_seconds_per_instrument", live.value(source, -1) / count, "s");
    }
    printFigure("live_warmup_all_62_seconds", all, "s");
    int readable = 0;
    for (int index = 0; index < catalogue::kInstrumentCount; ++index)
        readable += server.market->snapshot(index).dataMissing ? 0 : 1;
    printFigure("live_warmup_instruments_with_data", readable, "instruments");
}

// Restarts from the warmed cache, then live minutes on the clock moved by hand.
QCoro::Task<> restartAndFollow(Replays &replays, const Feeds &feeds, const QString &cache,
                               QNetworkAccessManager &network, const Clock &clock, Present &present)
{
    QList<double> loads;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        LiveServer server(feeds, cache, network, clock, quiet);
        loads << double(timer.nsecsElapsed()) / 1e6;
    }
    printFigure("live_restart_from_cache_median", percentile(loads, 0.5), "ms");

    // Five minutes after the stop, the gap.
    present.frozen = present.frozen.addSecs(5 * 60);
    replays.dukascopy.setNow(minuteOf(present.frozen));
    LiveServer server(feeds, cache, network, clock, logUnexpected);
    replays.clearRequests();
    QElapsedTimer restart;
    restart.start();
    co_await server.market->pollAll();
    printFigure("live_restart_seconds", double(restart.nsecsElapsed()) / 1e9, "s");
    printFigure("live_restart_requests_all_62",
                double(replays.requests(kSources[0]) + replays.requests(kSources[1])), "requests");

    QHash<QString, QList<double>> requests;
    QList<double> rounds;
    QList<double> rebuilds;
    for (int minute = 0; minute < kLiveMinutes; ++minute) {
        present.frozen = present.frozen.addSecs(60);
        replays.dukascopy.setNow(minuteOf(present.frozen));
        server.market->advanceTo(minuteOf(present.frozen));
        replays.clearRequests();
        QElapsedTimer round;
        round.start();
        co_await server.market->pollAll();
        rounds << double(round.nsecsElapsed()) / 1e9;
        for (const QString &source : kSources)
            requests[source] << double(replays.requests(source));
        QElapsedTimer timer;
        timer.start();
        qsizetype bytes = 0;
        for (int index = 0; index < server.market->instrumentCount(); ++index)
            bytes += instrumentRecord(server.market->snapshot(index)).size();
        rebuilds << double(timer.nsecsElapsed()) / 1e6;
        if (bytes == 0)
            warn(QStringLiteral("no records"));
    }
    double all = 0;
    for (const QString &source : kSources) {
        const double median = percentile(requests.value(source), 0.5);
        figure("live_requests_per_minute_" + source.toLatin1(), median, "requests");
        all += median;
    }
    printFigure("live_requests_per_minute_all_62", all, "requests");
    printFigure("live_round_seconds_median", percentile(rounds, 0.5), "s");
    printFigure("live_rebuild_all_62_records_median", percentile(rebuilds, 0.5), "ms");
    printFigure("live_rebuild_all_62_records_p90", percentile(rebuilds, 0.9), "ms");
}

// One minute's close with the clock running: seconds from the close to the first published
// record holding that minute, by source.
QCoro::Task<> closeToPublished(Replays &replays, const Feeds &feeds, const QString &cache,
                               QNetworkAccessManager &network, const Clock &clock, Present &present,
                               qint64 closeMinute, QHash<QString, QList<double>> &delays)
{
    const qint64 closeMs = closeMinute * 60000;
    present.offsetMs = closeMs - kLeadMs - QDateTime::currentMSecsSinceEpoch();
    replays.dukascopy.setNow(closeMinute);
    LiveServer server(feeds, cache, network, clock, logUnexpected);
    LiveMarket *market = server.market.get();
    // Declared after the server whose network client the market uses, so it goes first.
    SignalServer signalServer(std::move(server.market), ServerContent{}, clock, true);
    const QByteArray closed = "Updated;" + minuteText(closeMinute).toLatin1() + " GMT";
    QHash<QString, int> seen;
    int waiting = 0;
    for (const Feed &feed : feeds.instruments)
        waiting += feed.source == QLatin1String(sourcenames::kNone) ? 0 : 1;
    QObject::connect(&signalServer, &SignalServer::documentsChanged, &signalServer,
                     [&](const QStringList &paths) {
                         const double delay =
                             double(clock.now().toMSecsSinceEpoch() - closeMs) / 1000;
                         for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
                             const QString code = catalogue::serverCode(index);
                             const QString path = serverpaths::instrumentUrl(QString(), code);
                             if (seen.contains(code) || !paths.contains(path) ||
                                 !signalServer.documents().find(path)->body.contains(closed))
                                 continue;
                             seen.insert(code, 1);
                             delays[feeds.instruments[size_t(index)].source] << delay;
                             --waiting;
                         }
                     });
    market->start();
    for (int waited = 0; waiting > 0 && waited < 600; ++waited)
        co_await QCoro::sleepFor(50ms);
    if (waiting > 0)
        warn(QStringLiteral("%1 record(s) never showed the minute").arg(waiting));
}

QCoro::Task<int> measure()
{
    Present present{QDateTime(QDate(2024, 5, 14), QTime(10, 6, 3), QTimeZone::utc()), {}};
    const Clock clock([&present] { return present.now(); });
    const qint64 start = minuteOf(present.frozen);
    Replays replays{BinanceReplay([&present] { return present.now(); }), DukascopyReplay()};
    replays.binance.start();
    // 47 dukascopy feeds on one series, from before the warm-up to after the last sample.
    const std::vector<Candle> minutes =
        replayMinutes(start - 320 * kMinutesPerDay, start + kMinutesPerDay, 1.0812, 5);
    const Feeds feeds = loopbackFeeds(replays);
    replays.dukascopy.setCandles(symbolsBySource(feeds).value(kSources[1]), minutes, 5);
    replays.dukascopy.setNow(start);
    QNetworkAccessManager network;
    QTemporaryDir cache;
    if (const QString error = CandleCache(cache.path()).prepare(); !error.isEmpty())
        warn(error);

    co_await warmUp(replays, feeds, cache.path(), network, clock);
    co_await restartAndFollow(replays, feeds, cache.path(), network, clock, present);

    QHash<QString, QList<double>> delays;
    qint64 close = minuteOf(present.frozen) + 2;
    for (int sample = 0; sample < kLatencySamples; ++sample, close += 2) {
        // A minute the replayed series has a candle for.
        while (within(minutes, close - 1, close).empty())
            ++close;
        co_await closeToPublished(replays, feeds, cache.path(), network, clock, present, close,
                                  delays);
    }
    for (const QString &source : kSources + QStringList{QLatin1String(sourcenames::kDerived)}) {
        const QByteArray name = "live_close_to_published_" + source.toLatin1();
        figure(name + "_median", percentile(delays.value(source), 0.5), "s");
        figure(name + "_max", percentile(delays.value(source), 1.0), "s");
    }
    co_return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    return QCoro::waitFor(measure());
}
