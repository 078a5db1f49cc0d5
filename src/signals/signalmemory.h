#pragma once

#include <QString>

// An instrument's signal memory: the codes of the signals it raised last, "0" when idle.
// Lives in memory only; every slot is "0" when the program starts.
struct SignalMemory
{
    QString tag = QStringLiteral("0");
    QString toolTipText = QStringLiteral("0");
    QString caption = QStringLiteral("0");

    friend bool operator==(const SignalMemory &, const SignalMemory &) = default;
};
