#include "serveroptions.h"

#include "app/version.h"

#include <QCommandLineParser>
#include <QTimeZone>

namespace {

ServerOptionsOutcome failure(const QString &message)
{
    ServerOptionsOutcome outcome;
    outcome.exitCode = 2;
    outcome.error = QStringLiteral("quentara-server: ") + message + QLatin1Char('\n');
    return outcome;
}

} // namespace

ServerOptionsOutcome parseServerOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "quentara-server computes the documents the Quentara program reads (instrument records "
        "with indicators, summaries and pivot levels, the trading flag, the economic calendar, "
        "news and market reviews) from simulated or real candles, and serves them over HTTP or "
        "writes them as plain files."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Serve on this port (default %1; 0 picks a free one). The port is the "
                       "first line printed.")
            .arg(ServerOptions::kDefaultPort),
        QStringLiteral("N"));
    const QCommandLineOption address(QStringLiteral("address"),
                                     QStringLiteral("Listen on this address (default 127.0.0.1)."),
                                     QStringLiteral("ADDRESS"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed of the simulated market (default 1)."),
                                  QStringLiteral("N"));
    const QCommandLineOption clock(
        QStringLiteral("clock"),
        QStringLiteral("Freeze the time at this moment, e.g. 2024-05-14T10:06:00Z (GMT unless an "
                       "offset is given): the documents are then the same on every run."),
        QStringLiteral("ISO-TIME"));
    const QCommandLineOption candles(
        QStringLiteral("candles"),
        QStringLiteral("Take minute candles from the CSV files <server code>.csv in this folder; "
                       "other instruments stay simulated."),
        QStringLiteral("DIR"));
    const QCommandLineOption calendar(
        QStringLiteral("calendar"),
        QStringLiteral("Take the economic calendar from this CSV file."), QStringLiteral("FILE"));
    const QCommandLineOption articles(
        QStringLiteral("articles"),
        QStringLiteral(
            "Take the news and reviews from the subfolders news and reviews of this folder."),
        QStringLiteral("DIR"));
    const QCommandLineOption notice(QStringLiteral("notice"),
                                    QStringLiteral("Publish this server notice."),
                                    QStringLiteral("TEXT"));
    const QCommandLineOption publish(
        QStringLiteral("publish"),
        QStringLiteral("Write the documents as files into this folder and keep them current (with "
                       "--clock: once, then end). Serves HTTP as well only when --port is given."),
        QStringLiteral("DIR"));
    const QCommandLineOption live(
        QStringLiteral("live"),
        QStringLiteral("Follow the live market: candles from the sources of the feeds mapping, "
                       "never simulated. An instrument without working data publishes an empty "
                       "record that says why."));
    const QCommandLineOption feeds(
        QStringLiteral("feeds"),
        QStringLiteral("With --live: take the sources and the instruments' feeds from this INI "
                       "file (every key optional; see --print-feeds)."),
        QStringLiteral("FILE"));
    const QCommandLineOption data(
        QStringLiteral("data"),
        QStringLiteral("With --live: keep the candle cache in this folder (default: the user's "
                       "data folder for quentara-server)."),
        QStringLiteral("DIR"));
    const QCommandLineOption printFeeds(
        QStringLiteral("print-feeds"),
        QStringLiteral("Print the feeds mapping in effect (the built-in one, or with --feeds "
                       "that file's) in the feeds file's format, and end."));
    parser.addOptions({port, address, seed, clock, candles, calendar, articles, notice, publish,
                       live, feeds, data, printFeeds});

    if (!parser.parse(arguments))
        return failure(parser.errorText());
    ServerOptionsOutcome outcome;
    if (parser.isSet(help)) {
        // Parsed before any application object exists, so the usage line gets its name here.
        outcome.output = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                   QStringLiteral("quentara-server"));
        return outcome;
    }
    if (parser.isSet(version)) {
        outcome.output =
            QStringLiteral("quentara-server %1\n").arg(QLatin1String(product::kVersion));
        return outcome;
    }
    if (!parser.positionalArguments().isEmpty())
        return failure(
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));

    ServerOptions options;
    if (parser.isSet(port)) {
        bool ok = false;
        const uint value = parser.value(port).toUInt(&ok);
        if (!ok || value > 65535)
            return failure(QStringLiteral("--port needs a number from 0 to 65535, not \"%1\"")
                               .arg(parser.value(port)));
        options.port = quint16(value);
    }
    if (parser.isSet(address) && !options.address.setAddress(parser.value(address)))
        return failure(
            QStringLiteral("--address needs an IP address, not \"%1\"").arg(parser.value(address)));
    if (parser.isSet(seed)) {
        bool ok = false;
        options.seed = parser.value(seed).toULongLong(&ok);
        if (!ok)
            return failure(
                QStringLiteral("--seed needs a whole number, not \"%1\"").arg(parser.value(seed)));
    }
    if (parser.isSet(clock)) {
        QDateTime moment = QDateTime::fromString(parser.value(clock), Qt::ISODate);
        if (!moment.isValid())
            return failure(
                QStringLiteral("--clock needs a time such as 2024-05-14T10:06:00Z, not \"%1\"")
                    .arg(parser.value(clock)));
        if (moment.timeSpec() == Qt::LocalTime)
            moment = QDateTime(moment.date(), moment.time(), QTimeZone::utc());
        options.clock = moment.toUTC();
    }
    options.candlesFolder = parser.value(candles);
    options.calendarFile = parser.value(calendar);
    options.articlesFolder = parser.value(articles);
    options.notice = parser.value(notice);
    options.publishFolder = parser.value(publish);
    options.live = parser.isSet(live);
    options.feedsFile = parser.value(feeds);
    options.dataFolder = parser.value(data);
    options.printFeeds = parser.isSet(printFeeds);
    // The live market is never mixed with the simulated one, nor replayed at a frozen time.
    if (options.live) {
        for (const QCommandLineOption *simulated : {&seed, &clock, &candles}) {
            if (parser.isSet(*simulated))
                return failure(QStringLiteral("--live takes no --%1: the live market is never "
                                              "simulated or replayed")
                                   .arg(simulated->names().first()));
        }
    }
    if (!options.live && !options.printFeeds) {
        for (const QCommandLineOption *liveOnly : {&feeds, &data}) {
            if (parser.isSet(*liveOnly))
                return failure(
                    QStringLiteral("--%1 belongs to --live").arg(liveOnly->names().first()));
        }
    }
    outcome.options = options;
    return outcome;
}
