#pragma once

#include "market/candle.h"

#include <QString>

#include <QCoroTask>

#include <chrono>
#include <vector>

// Candles as an outside source hands them over: closed candles only, oldest first, each lasting
// `stepMinutes` (1 for minute candles; coarser for the far past of a warm-up, e.g. 60 or 15).
struct CandleRun
{
    int stepMinutes = 1;
    std::vector<Candle> candles;
};

// What one request for an instrument's candles brought.
struct SourceAnswer
{
    enum class Outcome
    {
        Candles,     // answered; `runs` may be empty when nothing new has closed
        Failed,      // no usable answer: network error, timeout, an answer that does not parse
        RateLimited, // the source asks to be left alone for `retryAfter`
        Blocked,     // the source refuses this address (a region block); `reason` says so
    };
    Outcome outcome = Outcome::Candles;
    // Coarse runs first; every candle of a run opens after the last one of the run before.
    std::vector<CandleRun> runs;
    std::chrono::seconds retryAfter{0};
    QString reason; // for the log when the outcome is not Candles: "HTTP 451", "unreadable answer"
};

// One outside source of market candles: an exchange, a data service, the trader's terminal. It
// knows nothing of candle books or records; the live market decides what to ask and when, and
// checks what comes back. Each adapter keeps its own throttling and paging inside fetch().
class CandleSource
{
public:
    virtual ~CandleSource() = default;

    // The source's name in the feeds file: "binance".
    virtual QString name() const = 0;
    // What a record's "Updated" line says of an instrument this source feeds, e.g.
    // "binance BTCUSDT (USDT)".
    virtual QString describe(const QString &symbol) const = 0;
    // How long after a minute closes the source has its candle for sure.
    virtual std::chrono::seconds pollDelay() const { return std::chrono::seconds(3); }

    // The closed candles of `symbol` that open in [fromMinute, toMinute), in minutes since
    // 1970-01-01 00:00 GMT. With `warmUp` the far past may come as coarser candles, so that D1
    // is readable at once; otherwise minute candles only.
    virtual QCoro::Task<SourceAnswer> fetch(QString symbol, qint64 fromMinute, qint64 toMinute,
                                            bool warmUp) = 0;
};
