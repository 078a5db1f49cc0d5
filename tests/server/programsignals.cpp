#include "programsignals.h"

#include "app/catalogue.h"
#include "market/indicatorgridfill.h"
#include "market/instrumentrecord.h"
#include "signals/signalcheck.h"

ProgramSignals::ProgramSignals()
    : m_config(signalconfig::defaults())
    , m_memory(catalogue::kInstrumentCount)
{}

QList<int> ProgramSignals::evaluate(int index, const QString &record)
{
    loadInd(m_grid, index, InstrumentRecord(record));
    const SignalCheck check =
        checkSignal(SummaryRows::of(m_grid), m_config, MethodTicks{}, m_memory[size_t(index)],
                    catalogue::signalName(index), QTime(12, 0));
    m_memory[size_t(index)] = check.memory;
    QList<int> options;
    for (const Signal &signal : check.raised)
        options.append(signal.option.toInt());
    return options;
}
