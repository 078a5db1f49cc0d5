#include "sim/marketswing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

MarketSwing::MarketSwing(double periodMinutes, double damping, double size)
    : m_frequency(2 * std::numbers::pi / periodMinutes)
    , m_decay(damping * m_frequency)
    , m_waveFrequency(m_frequency * std::sqrt(1 - damping * damping / 4))
    , m_size(size)
{}

void MarketSwing::prepare(int minutes)
{
    // The transition of (position, velocity) over the step, and the shocks' covariance: the
    // stationary covariance less what the transition carries over of it.
    const double t = minutes;
    const double fade = std::exp(-m_decay * t / 2);
    const double cosine = std::cos(m_waveFrequency * t);
    const double sine = std::sin(m_waveFrequency * t);
    const double lean = m_decay / (2 * m_waveFrequency);
    StepFactors &f = m_factors;
    f.minutes = minutes;
    f.positionFromPosition = fade * (cosine + lean * sine);
    f.positionFromVelocity = fade * sine / m_waveFrequency;
    f.velocityFromPosition = -fade * m_frequency * m_frequency * sine / m_waveFrequency;
    f.velocityFromVelocity = fade * (cosine - lean * sine);

    const double positionVariance = m_size * m_size;
    const double velocityVariance = positionVariance * m_frequency * m_frequency;
    const double pp =
        positionVariance - (f.positionFromPosition * f.positionFromPosition * positionVariance +
                            f.positionFromVelocity * f.positionFromVelocity * velocityVariance);
    const double pv = -(f.positionFromPosition * f.velocityFromPosition * positionVariance +
                        f.positionFromVelocity * f.velocityFromVelocity * velocityVariance);
    const double vv =
        velocityVariance - (f.velocityFromPosition * f.velocityFromPosition * positionVariance +
                            f.velocityFromVelocity * f.velocityFromVelocity * velocityVariance);
    f.shockPosition = std::sqrt(std::max(pp, 0.0));
    f.shockVelocityShared = f.shockPosition > 0 ? pv / f.shockPosition : 0.0;
    f.shockVelocityOwn =
        std::sqrt(std::max(vv - f.shockVelocityShared * f.shockVelocityShared, 0.0));
}

double MarketSwing::step(int minutes, double activity, RandomStream &random)
{
    if (m_factors.minutes != minutes)
        prepare(minutes);
    const StepFactors &f = m_factors;
    const double first = activity * random.normal();
    const double second = activity * random.normal();
    const double position = f.positionFromPosition * m_position +
                            f.positionFromVelocity * m_velocity + f.shockPosition * first;
    m_velocity = f.velocityFromPosition * m_position + f.velocityFromVelocity * m_velocity +
                 f.shockVelocityShared * first + f.shockVelocityOwn * second;
    m_position = position;
    return m_position;
}

double MarketSwing::changeVariance(double minutes) const
{
    const double correlation =
        std::exp(-m_decay * minutes / 2) *
        (std::cos(m_waveFrequency * minutes) +
         m_decay / (2 * m_waveFrequency) * std::sin(m_waveFrequency * minutes));
    return 2 * m_size * m_size * (1 - correlation);
}
