#include "documents/httpfront.h"
#include "documents/publisher.h"
#include "serverinputs.h"
#include "serveroptions.h"
#include "signalserver.h"

#include "app/version.h"
#include "market/systemproxy.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fputs(qPrintable(QStringLiteral("quentara-server: %1\n").arg(message)), stderr);
    return 1;
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

    ServerInputs inputs = loadServerInputs(options);
    if (!inputs.error.isEmpty())
        return fail(inputs.error);

    const Clock clock =
        options.clock ? Clock([moment = *options.clock] { return moment; }) : Clock();
    SignalServer server(inputs.market, std::move(inputs.content), clock, !options.clock);

    if (!options.publishFolder.isEmpty()) {
        const Publisher publisher(options.publishFolder);
        if (const QString error = publisher.writeAll(server.documents()); !error.isEmpty())
            return fail(error);
        if (options.clock && !options.serves())
            return 0; // frozen documents, written once
        QObject::connect(&server, &SignalServer::documentsChanged, &server,
                         [&server, publisher](const QStringList &paths) {
                             if (const QString error = publisher.write(server.documents(), paths);
                                 !error.isEmpty())
                                 std::fputs(
                                     qPrintable(QStringLiteral("quentara-server: %1\n").arg(error)),
                                     stderr);
                         });
    }

    HttpFront front(server.documents());
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
        std::fputs(qPrintable(QStringLiteral("quentara-server: serving http://%1:%2/\n")
                                  .arg(options.address.toString())
                                  .arg(port)),
                   stderr);
    }
    return QCoreApplication::exec();
}
