#pragma once

#include "live/candlecache.h"
#include "live/euroindex.h"
#include "live/sourcedriver.h"
#include "market/marketdata.h"

#include "app/catalogue.h"
#include "app/clock.h"

#include <QCoroTask>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class SourceHttp;

// The market of real candles: per instrument a candle book fed only by its source, and per
// source a driver on its own schedule. Every candle is checked (closed, new, possible) and
// appended to the candle cache; the cache is read back at start so that only the gap is asked
// for. An instrument without working data (no source, a source this server lacks, a warm-up not
// answered yet, a region block, or no new candle for five minutes of its trading hours)
// publishes the empty record with the reason on line 205: it is never simulated.
class LiveMarket final : public MarketData, private CandleSink
{
    Q_OBJECT
public:
    using Log = std::function<void(const QString &)>;
    // The slot after the instruments: EUR/SEK, a constituent of the euro index and not published.
    static constexpr int kEuroSekSlot = catalogue::kInstrumentCount;
    static constexpr int kSlotCount = catalogue::kInstrumentCount + 1;

    // `http`, when given, has its requests cut off when the market goes, so that no answer
    // arrives for a source that is gone.
    LiveMarket(Clock clock, CandleCache cache, Log log, SourceHttp *http = nullptr,
               QObject *parent = nullptr);
    ~LiveMarket() override;
    Q_DISABLE_COPY_MOVE(LiveMarket)

    // Setting up, before start(). Until given a feed an instrument publishes "no source".
    // A source and the slots it feeds with their symbols there; reads their caches.
    void addSource(std::unique_ptr<CandleSource> source,
                   const QList<std::pair<int, QString>> &symbols,
                   SourceDriver::Timing timing = SourceDriver::Timing());
    // An instrument without a working source: `reason` says why, `feed` names what was asked.
    void setUnavailable(int slot, const QString &reason, const QString &feed = QString());
    // The euro index, derived from its constituents.
    void addEuroIndex(int slot);

    // Every source's first round at once, then one after every minute.
    void start();
    // One round of every source now, all at once.
    QCoro::Task<> pollAll();
    // The state of the source of this name as last logged ("live"), empty for none.
    QString sourceState(const QString &name) const;
    // Line 205's reason for an instrument without working data; empty while it is live.
    QString missingReason(int slot) const;

    void advanceTo(qint64 minute) override;
    qint64 minute() const override { return m_minute; }
    int instrumentCount() const override { return catalogue::kInstrumentCount; }
    InstrumentSnapshot snapshot(int index) const override;
    const CandleBook &book(int index) const override { return m_slots[size_t(index)].book; }
    bool takeChanged(int index) override;

private:
    enum class Kind
    {
        Unavailable,
        Sourced,
        Derived,
    };

    struct Slot
    {
        QString code;
        Kind kind = Kind::Unavailable;
        QString feed;   // "binance BTCUSDT (USDT)"
        QString reason; // for Unavailable
        CandleBook book;
        int decimals = 0;
        qint64 lastEnd = 0; // where the last candle ends; 0 before any
        qint64 through = 0; // candles are complete up to here
        bool answered = false;
        QString failure; // the last request's, while it fails
        QString blocked;
        std::optional<qint64> staleFrom;
        std::pair<qint64, qint64> staleCheck{-1, -1}; // the last end and minute it was read at
        bool cacheFailing = false;
        QString published; // the reason last published, to see a change
        bool changed = true;
    };

    Request nextRequest(int slot, qint64 toMinute) const override;
    void deliver(int slot, const SourceAnswer &answer, qint64 fromMinute, qint64 toMinute) override;
    void setBlocked(int slot, const QString &reason) override;
    QStringList staleOf(const QList<int> &slots) const override;

    void loadCache(Slot &slot);
    void accept(Slot &slot, const std::vector<TimedCandle> &candles);
    void feedEuroIndex(int slot, const std::vector<TimedCandle> &candles);
    bool isLive(const Slot &slot) const;
    QString reasonOf(const Slot &slot) const;
    // Re-reads staleness and every reason; marks what changed.
    void review(qint64 now);

    Clock m_clock;
    CandleCache m_cache;
    Log m_log;
    SourceHttp *m_http;
    qint64 m_minute;
    std::vector<Slot> m_slots;
    std::vector<std::unique_ptr<SourceDriver>> m_drivers;
    std::optional<int> m_euroIndex;
    EuroIndexBuilder m_euroBuilder;
};
