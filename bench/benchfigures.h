#pragma once

#include <QList>

#include <algorithm>
#include <cstdio>

// Figures the benchmarks print, one line each: "BENCH <name> <value> <unit>".
inline void printFigure(const char *name, double value, const char *unit)
{
    std::printf("BENCH %s %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

// The value below which `share` (0..1) of the samples lie.
inline double percentile(QList<double> samples, double share)
{
    if (samples.isEmpty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const qsizetype at = std::min(samples.size() - 1, qsizetype(share * double(samples.size())));
    return samples[at];
}
