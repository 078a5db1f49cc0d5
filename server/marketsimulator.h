#pragma once

#include "candle.h"
#include "marketprofiles.h"
#include "randomstream.h"

#include <array>
#include <optional>

// How the simulated markets move. Prices follow a random walk in their logarithm whose step is
// the instrument's volatility, shaped by the hour of the day, with two drifts that switch at
// random moments: a slow trend lasting days and a fast impulse lasting minutes to hours that
// mostly runs with the trend. Part of the movement is swings that fade again (on three time
// scales), so that the market ranges as well as trends. A weak pull back to the profile's price
// keeps months of history near a realistic level. Drifts are in units of one minute's
// volatility.
struct SimulationTuning
{
    double trendDrift = 0.010;      // slow trend, per minute
    double trendDays = 2.0;         // mean length of a trend
    double impulseDrift = 0.08;     // fast impulse, per minute
    double impulseMinutes = 45;     // mean length of an impulse
    double impulseWithTrend = 0.55; // share of impulses that run with the trend
    double reversionDays = 30;      // time scale of the pull back to the profile's price
    std::array<double, 3> swingMinutes{5, 45, 360}; // time scales of the swings
    double swingShare = 0.5; // share of a minute's variance that the swings carry, all together
};

// One instrument's simulated market.
class InstrumentSimulator
{
public:
    InstrumentSimulator(const MarketProfile &profile, bool tradesAllWeek, std::uint64_t seed,
                        const SimulationTuning &tuning = {});

    // The candle that opens at `minute` and lasts `durationMinutes`; nothing while the
    // instrument's market is closed. Calls go forward in time without overlapping.
    std::optional<Candle> step(qint64 minute, int durationMinutes = 1);

private:
    // What a step of a given length multiplies by; the same few lengths recur.
    struct StepFactors
    {
        int minutes = 0;
        double root = 0; // square root of the length
        double pull = 0;
        std::array<double, 3> decay{};
        std::array<double, 3> swingStep{}; // in units of one minute's volatility
    };

    void renewTrend();
    void renewImpulse();
    const StepFactors &factors(int minutes);
    double roundedToTick(double price) const;

    SimulationTuning m_tuning;
    RandomStream m_random;
    bool m_allWeek;
    double m_tick;
    double m_sigma; // volatility of one minute, in log price
    double m_anchor;
    double m_logPrice;                // the walk, without the swings
    std::array<double, 3> m_swings{}; // deviations from the walk, in units of m_sigma
    double m_lastClose;
    double m_trend = 0;
    double m_trendLeft = 0; // minutes
    double m_impulse = 0;
    double m_impulseLeft = 0;
    StepFactors m_factors;
};
