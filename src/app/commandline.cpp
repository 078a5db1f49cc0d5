#include "app/commandline.h"

#include "app/version.h"

#include <QCommandLineParser>
#include <QUrl>

CommandLineOutcome parseCommandLine(const QStringList &arguments, const QString &defaultServer)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Quentara follows 62 market instruments on seven timeframes and turns the technical "
        "verdicts of its signal server into BUY and SELL signals."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption server(
        QStringLiteral("server"),
        QStringLiteral("Base address of the signal server (default %1).").arg(defaultServer),
        QStringLiteral("URL"));
    const QCommandLineOption settings(
        QStringLiteral("settings"),
        QStringLiteral("Keep the settings in this INI file instead of "
                       "the user's settings store."),
        QStringLiteral("FILE"));
    parser.addOption(server);
    parser.addOption(settings);

    CommandLineOutcome outcome;
    if (!parser.parse(arguments)) {
        outcome.exitCode = 2;
        outcome.error = QStringLiteral("quentara: ") + parser.errorText() + QStringLiteral("\n");
        return outcome;
    }
    if (parser.isSet(help)) {
        // Parsed before any application object exists, so the usage line gets its name here.
        outcome.output = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                   QStringLiteral("quentara"));
        return outcome;
    }
    if (parser.isSet(version)) {
        outcome.output = QStringLiteral("quentara %1\n").arg(QLatin1String(product::kVersion));
        return outcome;
    }

    CommandLine options;
    options.serverAddress = defaultServer;
    if (parser.isSet(server)) {
        QString address = parser.value(server).trimmed();
        const QUrl url(address, QUrl::StrictMode);
        if (!url.isValid() || url.isRelative() || url.host().isEmpty() ||
            (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
            outcome.exitCode = 2;
            outcome.error =
                QStringLiteral("quentara: --server needs an http or https address, not \"%1\"\n")
                    .arg(address);
            return outcome;
        }
        if (!address.endsWith(QLatin1Char('/')))
            address += QLatin1Char('/');
        options.serverAddress = address;
    }
    options.settingsFile = parser.value(settings);
    outcome.options = options;
    return outcome;
}
