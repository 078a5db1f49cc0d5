#pragma once

#include <QString>

// How an instrument's simulated market looks: its price level, how many decimals its quotes
// carry and how much it moves in a day. The instruments themselves come from the catalogue.
struct MarketProfile
{
    const char *serverCode;
    double price;
    int decimals;
    double dailyVolatility; // standard deviation of a day's return, as a fraction
};

// The profile of a server code; nullptr for a code without one.
const MarketProfile *marketProfile(const QString &serverCode);
