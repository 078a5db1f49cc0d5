#include "sim/marketsimulator.h"

#include "market/minutes.h"
#include "market/timeframe.h"
#include "market/tradingsession.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Relative activity by GMT hour for instruments with a trading session: quiet in Asia,
// busiest when London and New York overlap.
constexpr std::array<double, 24> kSessionActivity{0.6, 0.6, 0.6, 0.6, 0.6, 0.6, 0.6, 0.9,
                                                  1.2, 1.2, 1.2, 1.2, 1.4, 1.4, 1.4, 1.4,
                                                  1.0, 1.0, 1.0, 1.0, 0.7, 0.7, 0.5, 0.5};

// How far a candle's wicks reach beyond its body, in units of its volatility.
constexpr double kWickReach = 0.6;

// What the activity scales a day's variance by.
double dayVarianceFactor(bool allWeek)
{
    if (allWeek)
        return 1.0;
    double sum = 0;
    for (double activity : kSessionActivity)
        sum += activity * activity;
    return sum / double(kSessionActivity.size());
}

MarketSwing drawSwing(RandomStream &random, const SimulationTuning &tuning)
{
    const double period =
        tuning.shortestSwingMinutes +
        (tuning.longestSwingMinutes - tuning.shortestSwingMinutes) * random.uniform();
    return MarketSwing(period, tuning.swingDamping, tuning.swingStrength * std::sqrt(period));
}

} // namespace

InstrumentSimulator::InstrumentSimulator(const MarketProfile &profile, bool tradesAllWeek,
                                         std::uint64_t seed, const SimulationTuning &tuning)
    : m_random(seed, QByteArray(profile.serverCode))
    , m_allWeek(tradesAllWeek)
    , m_tick(std::pow(10.0, -profile.decimals))
    , m_anchor(std::log(profile.price))
    , m_reversionMinutes(tuning.reversionDays * kMinutesPerDay)
    , m_swing(drawSwing(m_random, tuning))
    , m_logPrice(m_anchor)
    , m_lastClose(roundedToTick(profile.price))
{
    // The swing adds to the walk's movement over a day; a minute's volatility is chosen so
    // that both together give the profile's daily volatility.
    const double dayVariance = dayVarianceFactor(tradesAllWeek) *
                               (double(kMinutesPerDay) + m_swing.changeVariance(kMinutesPerDay));
    m_sigma = profile.dailyVolatility / std::sqrt(dayVariance);
}

double InstrumentSimulator::roundedToTick(double price) const
{
    return std::max(m_tick, std::round(price / m_tick) * m_tick);
}

std::optional<Candle> InstrumentSimulator::step(qint64 minute, int durationMinutes)
{
    if (!m_allWeek && !forexOpen(minute))
        return std::nullopt;

    const int hour = int(floorMod(minute, kMinutesPerDay) / 60);
    const double activity = m_allWeek ? 1.0 : kSessionActivity[size_t(hour)];
    const double volatility = m_sigma * activity * std::sqrt(double(durationMinutes));
    m_logPrice += -(m_logPrice - m_anchor) * durationMinutes / m_reversionMinutes +
                  volatility * m_random.normal();
    const double swing = m_swing.step(durationMinutes, activity, m_random);

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
