#pragma once

#include "market/market.h"
#include "serveroptions.h"
#include "signalserver.h"

// Everything the server computes its documents from, read from the files the options name.
struct ServerInputs
{
    MarketSetup market;
    ServerContent content;
    QString error; // empty when every input was read; otherwise the first fault found
};

ServerInputs loadServerInputs(const ServerOptions &options);
