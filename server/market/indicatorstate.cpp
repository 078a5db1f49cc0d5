#include "market/indicatorstate.h"

IndicatorState::IndicatorState()
{
    for (size_t i = 0; i < kAveragePeriods.size(); ++i)
        averages[i] = Ema(kAveragePeriods[i]);
}

void IndicatorState::add(const Candle &candle)
{
    for (Ema &average : averages)
        average.add(candle.close);
    macdFast.add(candle.close);
    macdSlow.add(candle.close);
    if (macdSlow.ready())
        macdSignal.add(macdFast.value() - macdSlow.value());
    power.add(candle.close);
    rsi.add(candle.close);
    if (rsi.ready())
        recentRsi.add(rsi.value());
    atr.add(candle);
    if (atr.ready())
        recentAtr.add(atr.value());
    adx.add(candle);
}
