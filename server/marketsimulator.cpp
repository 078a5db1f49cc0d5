#include "marketsimulator.h"

#include "minutes.h"
#include "timeframe.h"
#include "tradingsession.h"

#include <algorithm>
#include <cmath>

namespace {

// Relative activity by GMT hour for instruments with a trading session: quiet in Asia,
// busiest when London and New York overlap.
constexpr std::array<double, 24> kSessionActivity{0.6, 0.6, 0.6, 0.6, 0.6, 0.6, 0.6, 0.9,
                                                  1.2, 1.2, 1.2, 1.2, 1.4, 1.4, 1.4, 1.4,
                                                  1.0, 1.0, 1.0, 1.0, 0.7, 0.7, 0.5, 0.5};

// How far a candle's wicks reach beyond its body, in units of its volatility.
constexpr double kWickReach = 0.6;

// The drifts add to the walk's own movement: a minute's volatility is the profile's share of a
// day divided by this, so that the realized daily volatility of the history matches the profile.
constexpr double kDriftAllowance = 1.45;

} // namespace

InstrumentSimulator::InstrumentSimulator(const MarketProfile &profile, bool tradesAllWeek,
                                         std::uint64_t seed, const SimulationTuning &tuning)
    : m_tuning(tuning)
    , m_random(seed, QByteArray(profile.serverCode))
    , m_allWeek(tradesAllWeek)
    , m_tick(std::pow(10.0, -profile.decimals))
    , m_sigma(profile.dailyVolatility / std::sqrt(double(kMinutesPerDay)) / kDriftAllowance)
    , m_anchor(std::log(profile.price))
    , m_logPrice(m_anchor)
    , m_lastClose(roundedToTick(profile.price))
{
    renewTrend();
    renewImpulse();
}

double InstrumentSimulator::roundedToTick(double price) const
{
    return std::max(m_tick, std::round(price / m_tick) * m_tick);
}

void InstrumentSimulator::renewTrend()
{
    const double draw = m_random.uniform();
    const double direction = draw < 0.4 ? 1.0 : draw < 0.8 ? -1.0 : 0.0;
    m_trend = direction * m_tuning.trendDrift * (0.5 + m_random.uniform());
    m_trendLeft = m_random.exponential(m_tuning.trendDays * kMinutesPerDay);
}

void InstrumentSimulator::renewImpulse()
{
    double side = m_trend > 0 ? 1.0 : m_trend < 0 ? -1.0 : (m_random.uniform() < 0.5 ? 1.0 : -1.0);
    const double draw = m_random.uniform();
    const double against = m_tuning.impulseWithTrend + (1 - m_tuning.impulseWithTrend) / 2;
    if (draw >= m_tuning.impulseWithTrend)
        side = draw < against ? -side : 0.0;
    m_impulse = side * m_tuning.impulseDrift * (0.5 + m_random.uniform());
    m_impulseLeft = 5 + m_random.exponential(m_tuning.impulseMinutes);
}

const InstrumentSimulator::StepFactors &InstrumentSimulator::factors(int minutes)
{
    if (m_factors.minutes == minutes)
        return m_factors;
    m_factors.minutes = minutes;
    m_factors.root = std::sqrt(double(minutes));
    m_factors.pull = minutes / (m_tuning.reversionDays * kMinutesPerDay);
    // Ornstein-Uhlenbeck swings, each carrying an equal part of the swings' variance per minute:
    // stationary deviation sqrt(share tau / 2), so that a one-minute step has variance `share`.
    const double share = m_tuning.swingShare / double(m_swings.size());
    for (size_t i = 0; i < m_swings.size(); ++i) {
        const double tau = m_tuning.swingMinutes[i];
        m_factors.decay[i] = std::exp(-minutes / tau);
        m_factors.swingStep[i] =
            std::sqrt(share * tau / 2) * std::sqrt(1 - m_factors.decay[i] * m_factors.decay[i]);
    }
    return m_factors;
}

std::optional<Candle> InstrumentSimulator::step(qint64 minute, int durationMinutes)
{
    if (!m_allWeek && !forexOpen(minute))
        return std::nullopt;

    const StepFactors &f = factors(durationMinutes);
    m_trendLeft -= durationMinutes;
    if (m_trendLeft <= 0)
        renewTrend();
    m_impulseLeft -= durationMinutes;
    if (m_impulseLeft <= 0)
        renewImpulse();

    const int hour = int(floorMod(minute, kMinutesPerDay) / 60);
    const double activity = m_allWeek ? 1.0 : kSessionActivity[size_t(hour)];
    const double volatility = m_sigma * activity * f.root; // of this step, in log price
    m_logPrice += (m_trend + m_impulse) * m_sigma * durationMinutes -
                  (m_logPrice - m_anchor) * f.pull +
                  std::sqrt(1 - m_tuning.swingShare) * volatility * m_random.normal();
    double swing = 0;
    for (size_t i = 0; i < m_swings.size(); ++i) {
        m_swings[i] = m_swings[i] * f.decay[i] + f.swingStep[i] * activity * m_random.normal();
        swing += m_swings[i];
    }

    Candle candle;
    candle.minute = minute;
    candle.open = m_lastClose;
    candle.close = roundedToTick(std::exp(m_logPrice + swing * m_sigma));
    // Wicks are small against the price, so a linear reach is exact enough.
    const double upper = std::max(candle.open, candle.close);
    const double lower = std::min(candle.open, candle.close);
    candle.high =
        roundedToTick(upper * (1 + kWickReach * volatility * std::abs(m_random.normal())));
    candle.low = roundedToTick(lower * (1 - kWickReach * volatility * std::abs(m_random.normal())));
    m_lastClose = candle.close;
    return candle;
}
