#pragma once

#include <QString>

class IndicatorGrid;
struct SignalMemory;

// Where the polling cycle hands each freshly filled working grid for signal evaluation.
class SignalEvaluator
{
public:
    virtual ~SignalEvaluator() = default;
    virtual void checkSignal(const IndicatorGrid &grid, SignalMemory &memory,
                             const QString &signalName) = 0;
};
