#pragma once

#include "signals/signal.h"
#include "signals/signalconfig.h"
#include "signals/signalmemory.h"

#include <QList>
#include <QString>
#include <QTime>

#include <array>

class IndicatorGrid;

// The summary verdicts an evaluation reads, per timeframe M1..D1.
struct SummaryRows
{
    using Row = std::array<QString, signalconfig::kTimeframeCount>;
    Row indicators;     // technical-indicator summary
    Row movingAverages; // moving-average summary
    Row overall;        // both together

    static SummaryRows of(const IndicatorGrid &grid);
};

// Ticked state of the two methods of the option menu.
struct MethodTicks
{
    bool method1 = true;  // "When changes indicators values"
    bool method2 = false; // "Every minute when the trend continues"
};

struct SignalCheck
{
    QList<Signal> raised; // in the order they are to be delivered
    SignalMemory memory;  // to be kept once they are delivered
};

// Decides which signals of one instrument are new. Pairs are taken as option 1, 2, 3 BUY,
// then option 1, 2, 3 SELL; a pair raises when all seven timeframes satisfy its conditions
// and the instrument's memory says it has not raised yet. Method 1 keeps one slot per option;
// Method 2 shares the caption slot, so options that hold together hand it on and re-raise at
// every evaluation while one holding alone stays silent. A pair whose basis or codes include a
// stored value that is no number is skipped: it raises nothing and releases nothing.
SignalCheck checkSignal(const SummaryRows &rows, const signalconfig::Config &config,
                        MethodTicks methods, SignalMemory memory, const QString &signalName,
                        const QTime &now);

// Whether a summary verdict satisfies a condition code; codes outside 0-7 never are.
bool satisfies(int code, const QString &verdict);
