#include "benchfigures.h"

#include "binancereplay.h"
#include "documents/instrumentrecord.h"
#include "live/livemarket.h"
#include "live/livesetup.h"
#include "market/market.h"
#include "market/minutes.h"
#include "market/serverpaths.h"
#include "signalserver.h"
#include "sources/binancesource.h"
#include "sources/sourcehttp.h"

#include "app/catalogue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QTimeZone>

#include <QCoroTask>
#include <QCoroTimer>

#include <chrono>

// The live market against a loopback replay of binance: what a first start costs (requests and
// seconds per instrument), a restart from the candle cache, the requests of a live minute for all
// 62 instruments, the time to rebuild every record after a minute, and how long after a minute
// closes at the source its record is published with the default poll delay.
namespace {

using namespace std::chrono_literals;

constexpr int kCryptoCount = 15;
constexpr int kLiveMinutes = 30;
constexpr int kLatencySamples = 5;

QList<std::pair<int, QString>> cryptoSymbols()
{
    const Feeds feeds = defaultFeeds();
    QList<std::pair<int, QString>> symbols;
    for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
        if (catalogue::groupOf(index) == catalogue::Cryptocurrencies)
            symbols << std::pair(index, feeds.instruments[size_t(index)].symbol);
    }
    return symbols;
}

void quiet(const QString &) {}

// Seconds from a minute's close to the first published record holding that minute.
QCoro::Task<double> publishDelay(BinanceReplay &replay, SourceHttp &http, qint64 &offsetMs)
{
    // The clock runs with the real one, four seconds before a minute turns.
    const qint64 realMs = QDateTime::currentMSecsSinceEpoch();
    const qint64 boundaryMs = (realMs / 60000 + 2) * 60000;
    offsetMs = boundaryMs - 4000 - realMs;
    const Clock clock([&offsetMs] {
        return QDateTime::fromMSecsSinceEpoch(QDateTime::currentMSecsSinceEpoch() + offsetMs,
                                              QTimeZone::utc());
    });
    QTemporaryDir dir;
    auto market = std::make_unique<LiveMarket>(clock, CandleCache(dir.path()), quiet);
    market->addSource(std::make_unique<BinanceSource>(replay.baseAddress(), http, clock),
                      {cryptoSymbols().first()});
    LiveMarket *live = market.get();
    SignalServer server(std::move(market), ServerContent{}, clock, true);
    double delay = -1;
    const QString path = serverpaths::instrumentUrl(QString(), QStringLiteral("crypto-btc"));
    const QByteArray closed = "Updated;" + minuteText(boundaryMs / 60000).toLatin1() + " GMT";
    QObject::connect(&server, &SignalServer::documentsChanged, &server,
                     [&](const QStringList &paths) {
                         if (delay < 0 && paths.contains(path) &&
                             server.documents().find(path)->body.contains(closed))
                             delay = double(clock.now().toMSecsSinceEpoch() - boundaryMs) / 1000;
                     });
    live->start();
    for (int waited = 0; delay < 0 && waited < 200; ++waited)
        co_await QCoro::sleepFor(50ms);
    co_return delay;
}

QCoro::Task<int> measure()
{
    QDateTime now(QDate(2024, 5, 14), QTime(10, 6, 3), QTimeZone::utc());
    const Clock clock([&now] { return now; });
    BinanceReplay replay([&now] { return now; });
    replay.start();
    QNetworkAccessManager network;
    SourceHttp http(network);
    QTemporaryDir dir;

    {
        LiveMarket market(clock, CandleCache(dir.path()), quiet);
        market.addSource(std::make_unique<BinanceSource>(replay.baseAddress(), http, clock),
                         cryptoSymbols());
        QElapsedTimer timer;
        timer.start();
        co_await market.pollAll();
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        printFigure("live_warmup_binance_requests_per_instrument",
                    double(replay.requests().size()) / kCryptoCount, "requests");
        printFigure("live_warmup_binance_seconds_per_instrument", seconds / kCryptoCount, "s");
        printFigure("live_warmup_binance_seconds_all_15", seconds, "s");
    }

    // A restart reads the warmed caches back, 15 instruments of 13,000 candles each.
    QList<double> restarts;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        LiveMarket market(clock, CandleCache(dir.path()), quiet);
        market.addSource(std::make_unique<BinanceSource>(replay.baseAddress(), http, clock),
                         cryptoSymbols());
        restarts << double(timer.nsecsElapsed()) / 1e6;
    }
    printFigure("live_restart_from_cache_median", percentile(restarts, 0.5), "ms");

    // Live minutes with the built-in feeds for all 62 instruments.
    Feeds feeds = defaultFeeds();
    feeds.sources.binance = replay.baseAddress();
    const auto market = buildLiveMarket(feeds, CandleCache(dir.path()), http, clock, quiet);
    co_await market->pollAll();
    QList<double> requests;
    QList<double> rebuilds;
    for (int minute = 0; minute < kLiveMinutes; ++minute) {
        now = now.addSecs(60);
        replay.clearRequests();
        market->advanceTo(minuteOf(now));
        co_await market->pollAll();
        requests << double(replay.requests().size());
        QElapsedTimer timer;
        timer.start();
        qsizetype bytes = 0;
        for (int index = 0; index < market->instrumentCount(); ++index)
            bytes += instrumentRecord(market->snapshot(index)).size();
        rebuilds << double(timer.nsecsElapsed()) / 1e6;
        Q_ASSERT(bytes > 0);
    }
    printFigure("live_requests_per_minute_all_62", percentile(requests, 0.5), "requests");
    printFigure("live_rebuild_all_62_records_median", percentile(rebuilds, 0.5), "ms");
    printFigure("live_rebuild_all_62_records_p90", percentile(rebuilds, 0.9), "ms");

    // From a minute's close at the source to its record, with the default poll delay.
    qint64 offsetMs = 0;
    BinanceReplay realTime([&offsetMs] {
        return QDateTime::fromMSecsSinceEpoch(QDateTime::currentMSecsSinceEpoch() + offsetMs,
                                              QTimeZone::utc());
    });
    realTime.start();
    QList<double> delays;
    for (int i = 0; i < kLatencySamples; ++i)
        delays << co_await publishDelay(realTime, http, offsetMs);
    printFigure("live_close_to_published_median", percentile(delays, 0.5), "s");
    printFigure("live_close_to_published_max", percentile(delays, 1.0), "s");
    co_return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    return QCoro::waitFor(measure());
}
