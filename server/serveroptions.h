#pragma once

#include <QDateTime>
#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <optional>

// What quentara-server is told on its command line.
struct ServerOptions
{
    static constexpr quint16 kDefaultPort = 8765;

    std::optional<quint16> port; // serve over HTTP on this port (0: any free one)
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint64 seed = 1;
    std::optional<QDateTime> clock; // frozen time
    QString candlesFolder;
    QString calendarFile;
    QString articlesFolder;
    QString notice;
    QString publishFolder;
    bool live = false;  // candles from live sources instead of the simulated market
    QString feedsFile;  // the feeds mapping; the built-in one when empty
    QString dataFolder; // the candle cache; the user's data folder when empty
    bool printFeeds = false;

    // HTTP is served unless the documents are only published as files.
    bool serves() const { return port.has_value() || publishFolder.isEmpty(); }
    quint16 servedPort() const { return port.value_or(kDefaultPort); }
};

struct ServerOptionsOutcome
{
    std::optional<ServerOptions> options; // set when the server is to run
    int exitCode = 0;                     // otherwise: end with this code
    QString output;                       // text for standard output (help, version)
    QString error;                        // text for standard error
};

// Parses the arguments (program name first).
ServerOptionsOutcome parseServerOptions(const QStringList &arguments);
