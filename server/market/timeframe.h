#pragma once

#include "market/candle.h"

#include <QString>

#include <array>
#include <optional>

// The seven timeframes of every record, always in this order.
enum class Timeframe : int
{
    M1,
    M5,
    M15,
    M30,
    H1,
    H4,
    D1,
};

inline constexpr int kTimeframeCount = 7;
inline constexpr std::array<Timeframe, kTimeframeCount> kTimeframes{
    Timeframe::M1, Timeframe::M5, Timeframe::M15, Timeframe::M30,
    Timeframe::H1, Timeframe::H4, Timeframe::D1};

inline constexpr qint64 kMinutesPerDay = 1440;

// "M1" .. "D1"
QString timeframeName(Timeframe timeframe);
int timeframeMinutes(Timeframe timeframe);

// The minute at which the candle holding `minute` opens. Days (and so the H4 candles) run from
// 22:00 GMT to 22:00 GMT, the close of the New York session, so that a forex week has exactly
// five daily candles.
qint64 bucketStart(Timeframe timeframe, qint64 minute);

// The timeframe whose candles last `minutes`, if any: the lengths a candle handed to a candle
// book may have.
std::optional<Timeframe> timeframeOfLength(int minutes);
// Whether a candle of `minutes` (a timeframe's length) opening at `minute` fills one bucket of
// that timeframe exactly.
bool fillsItsBucket(qint64 minute, int minutes);
