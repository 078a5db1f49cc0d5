#pragma once

#include "sim/randomstream.h"

// A swing of the price around its level: a damped oscillator driven by random shocks, so that
// the price rises and falls again in waves of roughly one period whose size and rhythm drift.
// Positions are in units of one minute's volatility of the walk the swing is added to. Steps
// of any length are exact (the oscillator is linear), so the coarse steps of the simulated
// past see the same swing as minute steps.
class MarketSwing
{
public:
    // `size` is the swing's standard deviation; `damping` (between 0 and 2) how quickly a wave
    // dies out: near 0 the waves are regular, near 2 they hardly swing back at all.
    MarketSwing(double periodMinutes, double damping, double size);

    // Moves the swing on by `minutes`, its shocks scaled by `activity`; returns the position.
    double step(int minutes, double activity, RandomStream &random);

    // The variance of the swing's change over `minutes` (at an activity of 1): what it adds to
    // the variance of the price's change over that span.
    double changeVariance(double minutes) const;

private:
    // What a step of one length multiplies by; the same few lengths recur.
    struct StepFactors
    {
        int minutes = 0;
        double positionFromPosition = 0;
        double positionFromVelocity = 0;
        double velocityFromPosition = 0;
        double velocityFromVelocity = 0;
        // The shocks' covariance, as its Cholesky factor.
        double shockPosition = 0;
        double shockVelocityShared = 0;
        double shockVelocityOwn = 0;
    };
    void prepare(int minutes);

    double m_frequency;     // natural angular frequency, per minute
    double m_decay;         // damping coefficient, per minute
    double m_waveFrequency; // angular frequency of the damped waves
    double m_size;
    double m_position = 0;
    double m_velocity = 0;
    StepFactors m_factors;
};
