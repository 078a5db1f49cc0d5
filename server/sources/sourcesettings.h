#pragma once

#include <QString>

// Where each source is reached: the [sources] section of the feeds file.
struct SourceSettings
{
    QString binance = QStringLiteral("https://data-api.binance.vision");
    QString dukascopy = QStringLiteral("https://jetta.dukascopy.com");
    QString oanda = QStringLiteral("https://api-fxpractice.oanda.com");
    QString oandaToken;          // never logged, never printed
    QString terminal;            // the folder the terminal's expert advisor writes to
    int terminalOffsetHours = 0; // the broker's clock ahead of GMT
};
