#pragma once

#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "signals/signalconfig.h"

#include <QString>

// Settings under which every M1 verdict raises exactly one signal at an instrument's first
// evaluation: option 1 BUY asks for "Buy & Strong Buy" on M1, option 1 SELL for "Sell & Strong
// Sell" and option 2 BUY for "Neutral"; every other timeframe and option does not matter.
inline void writeEveryVerdictSignals(SettingsStore &store)
{
    using namespace signalconfig;
    const QString section = QLatin1String(settingskeys::kSettings);
    for (int list = 1; list <= kListCount; ++list)
        store.write(section, listKey(list), QStringLiteral("0"));
    store.write(section, conditionKey(1, Buy, 0), QString::number(BuyOrStrongBuy));
    store.write(section, conditionKey(1, Sell, 0), QString::number(SellOrStrongSell));
    store.write(section, conditionKey(2, Buy, 0), QString::number(Neutral));
}

// The same, with the signals exported to `terminal`.
inline void writeEveryVerdictSignals(SettingsStore &store, const QString &terminal)
{
    writeEveryVerdictSignals(store);
    store.writeFlag(settingskeys::kSaveLog, true);
    store.writeText(settingskeys::kLogPath, terminal);
}
