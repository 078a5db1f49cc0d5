#pragma once

#include "market/indicatorgrid.h"
#include "signals/signalconfig.h"
#include "signals/signalmemory.h"

#include <QList>
#include <QString>

#include <vector>

// The program's signal evaluation of the records it fetches, as the polling cycle runs it with
// the default configuration: each record rendered into the one working grid, then checked
// against the instrument's signal memory.
class ProgramSignals
{
public:
    ProgramSignals();

    // Evaluates instrument `index`'s record; returns the options (1-3) of the signals raised.
    QList<int> evaluate(int index, const QString &record);

private:
    IndicatorGrid m_grid;
    signalconfig::Config m_config;
    std::vector<SignalMemory> m_memory;
};
