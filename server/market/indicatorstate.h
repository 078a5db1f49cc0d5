#pragma once

#include "market/candle.h"
#include "market/streamingindicators.h"

#include <array>

// The moving-average periods of every record, in the order of its lines.
inline constexpr std::array<int, 6> kAveragePeriods{5, 10, 20, 50, 100, 200};

// Every stateful indicator of one timeframe, fed candle by candle.
struct IndicatorState
{
    IndicatorState();
    void add(const Candle &candle);

    std::array<Ema, kAveragePeriods.size()> averages;
    Ema macdFast{12};
    Ema macdSlow{26};
    Ema macdSignal{9}; // of the MACD line, once both averages are ready
    Ema power{13};     // Bull/Bear Power
    Rsi rsi{14};
    RecentValues<14> recentRsi; // for STOCHRSI
    Atr atr{14};
    RecentValues<14> recentAtr; // for the volatility state
    Adx adx{14};
};
