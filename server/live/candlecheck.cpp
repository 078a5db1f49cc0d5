#include "live/candlecheck.h"

#include "market/minutes.h"
#include "market/timeframe.h"

#include <cmath>

namespace {

// Why a candle cannot be; empty when it can.
QString impossibility(const Candle &candle, int minutes)
{
    for (double price : {candle.open, candle.high, candle.low, candle.close}) {
        if (!std::isfinite(price) || price <= 0)
            return QStringLiteral("a price is not positive");
    }
    if (candle.high < candle.low)
        return QStringLiteral("the high is below the low");
    if (candle.open > candle.high || candle.open < candle.low)
        return QStringLiteral("the open is outside the high and the low");
    if (candle.close > candle.high || candle.close < candle.low)
        return QStringLiteral("the close is outside the high and the low");
    if (!fillsItsBucket(candle.minute, minutes))
        return QStringLiteral("%1 minutes from this time is no timeframe's candle").arg(minutes);
    return QString();
}

} // namespace

CheckedCandles checkCandles(const std::vector<CandleRun> &runs, qint64 fromMinute, qint64 toMinute)
{
    CheckedCandles checked;
    qint64 next = fromMinute;
    for (const CandleRun &run : runs) {
        for (const Candle &candle : run.candles) {
            if (candle.minute < next || candle.minute + run.stepMinutes > toMinute) {
                ++checked.dropped;
                continue;
            }
            const QString why = impossibility(candle, run.stepMinutes);
            if (!why.isEmpty()) {
                checked.rejected << minuteText(candle.minute) + QStringLiteral(": ") + why;
                continue;
            }
            checked.candles.push_back(TimedCandle{candle, run.stepMinutes});
            next = candle.minute + run.stepMinutes;
        }
    }
    return checked;
}
