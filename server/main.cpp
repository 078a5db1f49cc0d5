#include "documents/httpfront.h"
#include "documents/publisher.h"
#include "live/feeds.h"
#include "live/livesetup.h"
#include "serverinputs.h"
#include "serveroptions.h"
#include "signalserver.h"
#include "sources/sourcehttp.h"

#include "app/version.h"
#include "market/systemproxy.h"

#include <QCoreApplication>
#include <QDir>
#include <QNetworkAccessManager>
#include <QStandardPaths>

#include <cstdio>
#include <memory>

namespace {

void say(const QString &message)
{
    std::fputs(qPrintable(QStringLiteral("quentara-server: %1\n").arg(message)), stderr);
}

int fail(const QString &message)
{
    say(message);
    return 1;
}

FeedsOutcome feedsOf(const ServerOptions &options)
{
    if (options.feedsFile.isEmpty())
        return FeedsOutcome{defaultFeeds(), QString()};
    return readFeedsFile(options.feedsFile);
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const ServerOptionsOutcome outcome = parseServerOptions(arguments);
    std::fputs(qPrintable(outcome.output), stdout);
    std::fputs(qPrintable(outcome.error), stderr);
    if (!outcome.options)
        return outcome.exitCode;
    const ServerOptions &options = *outcome.options;

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quentara-server"));
    QCoreApplication::setApplicationVersion(QLatin1String(product::kVersion));
    // Outside market data sources are reached through the proxy the system names, if any.
    useSystemProxy();

    FeedsOutcome feeds;
    if (options.live || options.printFeeds) {
        feeds = feedsOf(options);
        if (!feeds.error.isEmpty())
            return fail(feeds.error);
    }
    if (options.printFeeds) {
        std::fputs(qPrintable(feedsText(feeds.feeds)), stdout);
        return 0;
    }

    ServerInputs inputs = loadServerInputs(options);
    if (!inputs.error.isEmpty())
        return fail(inputs.error);

    const Clock clock =
        options.clock ? Clock([moment = *options.clock] { return moment; }) : Clock();
    // The network outlives the server, whose sources use it until the end.
    QNetworkAccessManager network;
    SourceHttp http(network);
    std::unique_ptr<SignalServer> server;
    if (options.live) {
        const QString folder =
            options.dataFolder.isEmpty()
                ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                : options.dataFolder;
        CandleCache cache(folder);
        if (const QString error = cache.prepare(); !error.isEmpty())
            return fail(error);
        say(QStringLiteral("live market, candle cache in %1, feeds %2")
                .arg(QDir::toNativeSeparators(folder),
                     options.feedsFile.isEmpty() ? QStringLiteral("built in")
                                                 : QStringLiteral("from ") + options.feedsFile));
        std::unique_ptr<LiveMarket> market =
            buildLiveMarket(feeds.feeds, std::move(cache), http, clock, say);
        LiveMarket *live = market.get();
        server = std::make_unique<SignalServer>(std::move(market), std::move(inputs.content), clock,
                                                true);
        live->start();
    } else {
        server = std::make_unique<SignalServer>(inputs.market, std::move(inputs.content), clock,
                                                !options.clock);
    }

    if (!options.publishFolder.isEmpty()) {
        const Publisher publisher(options.publishFolder);
        if (const QString error = publisher.writeAll(server->documents()); !error.isEmpty())
            return fail(error);
        if (options.clock && !options.serves())
            return 0; // frozen documents, written once
        QObject::connect(server.get(), &SignalServer::documentsChanged, server.get(),
                         [&server, publisher](const QStringList &paths) {
                             if (const QString error = publisher.write(server->documents(), paths);
                                 !error.isEmpty())
                                 say(error);
                         });
    }

    HttpFront front(server->documents());
    if (options.serves()) {
        const quint16 port = front.listen(options.address, options.servedPort());
        if (port == 0) {
            return fail(QStringLiteral("cannot listen on %1 port %2")
                            .arg(options.address.toString())
                            .arg(options.servedPort()));
        }
        // The first line is the port alone, for whoever started the server to read.
        std::printf("%u\n", unsigned(port));
        std::fflush(stdout);
        say(QStringLiteral("serving http://%1:%2/").arg(options.address.toString()).arg(port));
    }
    return QCoreApplication::exec();
}
