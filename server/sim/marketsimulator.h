#pragma once

#include "market/candle.h"
#include "sim/marketprofiles.h"
#include "sim/marketswing.h"
#include "sim/randomstream.h"

#include <optional>

// How the simulated markets move. The price's logarithm is a random walk whose step is the
// instrument's volatility, shaped by the hour of the day, weakly pulled back to the profile's
// price so that months of history stay at a realistic level. Around the walk the price swings:
// waves of about an hour that rise and fall again, so that the market ranges at the scale of
// minutes and hours and the short timeframes do not simply repeat the long ones. There is no
// drift: a drift runs on every horizon at once and makes all timeframes agree.
struct SimulationTuning
{
    // The swing's period is drawn per instrument from this range, so that instruments keep
    // different rhythms.
    double shortestSwingMinutes = 56;
    double longestSwingMinutes = 104;
    double swingDamping = 0.3; // how quickly a wave dies out (see MarketSwing)
    // A swing's typical size as a multiple of what the walk travels in one swing period.
    double swingStrength = 2.0;
    double reversionDays = 30; // time scale of the pull back to the profile's price
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
    double roundedToTick(double price) const;

    RandomStream m_random;
    bool m_allWeek;
    double m_tick;
    double m_anchor;
    double m_reversionMinutes;
    MarketSwing m_swing;
    double m_sigma;    // volatility of one minute's walk, in log price
    double m_logPrice; // the walk, without the swing
    double m_lastClose;
};
