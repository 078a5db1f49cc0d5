#pragma once

#include "replaypath.h"
#include "sources/candlesource.h"

#include <QCoroTimer>

#include <chrono>
#include <functional>

// A candle source the test writes: its answers come from a function, after a delay if asked.
class ScriptedSource final : public CandleSource
{
public:
    using Script =
        std::function<SourceAnswer(const QString &symbol, qint64 fromMinute, qint64 toMinute)>;

    ScriptedSource(QString name, Script script,
                   std::chrono::milliseconds delay = std::chrono::milliseconds(0))
        : m_name(std::move(name))
        , m_script(std::move(script))
        , m_delay(delay)
    {}

    QString name() const override { return m_name; }
    QString describe(const QString &symbol) const override { return m_name + u' ' + symbol; }
    std::chrono::seconds pollDelay() const override { return std::chrono::seconds(0); }
    QCoro::Task<SourceAnswer> fetch(QString symbol, qint64 fromMinute, qint64 toMinute,
                                    bool) override
    {
        if (m_delay.count() > 0)
            co_await QCoro::sleepFor(m_delay);
        ++calls;
        co_return m_script(symbol, fromMinute, toMinute);
    }

    int calls = 0;

private:
    QString m_name;
    Script m_script;
    std::chrono::milliseconds m_delay;
};

// The replay path's minute candles of [fromMinute, toMinute), at most the last `depth` of them
// (a source with a short memory keeps tests quick).
inline SourceAnswer replayedMinutes(const QString &symbol, qint64 fromMinute, qint64 toMinute,
                                    qint64 depth = 600)
{
    SourceAnswer answer;
    CandleRun run;
    const replaypath::Path path(symbol);
    for (qint64 minute = std::max(fromMinute, toMinute - depth); minute < toMinute; ++minute) {
        const replaypath::Bar bar = path.minuteBar(minute);
        run.candles.push_back(Candle{minute, bar.open, bar.high, bar.low, bar.close});
    }
    if (!run.candles.empty())
        answer.runs.push_back(std::move(run));
    return answer;
}
