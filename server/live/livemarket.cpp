#include "live/livemarket.h"

#include "live/feeds.h"
#include "live/tradinghours.h"
#include "market/market.h"
#include "market/minutes.h"
#include "market/timeframereading.h"
#include "sources/sourcehttp.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <limits>

namespace {

// A warm-up reaches as far back as the simulated history does; a gap longer than its minute
// stretch is filled with coarse candles too.
constexpr qint64 kWarmUpMinutes = Market::kHistory.front().daysBack * kMinutesPerDay;
constexpr qint64 kMinuteStretch = Market::kHistory.back().daysBack * kMinutesPerDay;

// The slot of one of the euro index's constituents.
int constituentSlot(const char *code)
{
    return code == QLatin1String(kEuroSekKey) ? LiveMarket::kEuroSekSlot
                                              : instrumentIndex(QLatin1String(code));
}

QString sinceText(qint64 since, qint64 now)
{
    const QString text = minuteText(since);
    return floorDiv(since, kMinutesPerDay) == floorDiv(now, kMinutesPerDay) ? text.mid(11) : text;
}

} // namespace

LiveMarket::LiveMarket(Clock clock, CandleCache cache, Log log, SourceHttp *http, QObject *parent)
    : MarketData(parent)
    , m_clock(std::move(clock))
    , m_cache(std::move(cache))
    , m_log(std::move(log))
    , m_http(http)
    , m_minute(minuteOf(m_clock.now()))
    , m_slots(kSlotCount)
{
    for (int index = 0; index < kSlotCount; ++index) {
        Slot &slot = m_slots[size_t(index)];
        slot.code =
            index == kEuroSekSlot ? QLatin1String(kEuroSekKey) : catalogue::serverCode(index);
        slot.reason = QStringLiteral("no source");
    }
}

LiveMarket::~LiveMarket()
{
    for (const std::unique_ptr<SourceDriver> &driver : m_drivers)
        driver->stop();
    if (m_http)
        m_http->abortAll();
}

void LiveMarket::addSource(std::unique_ptr<CandleSource> source,
                           const QList<std::pair<int, QString>> &symbols,
                           SourceDriver::Timing timing)
{
    QList<Subscription> subscriptions;
    for (const auto &[index, symbol] : symbols) {
        Slot &slot = m_slots[size_t(index)];
        slot.kind = Kind::Sourced;
        slot.feed = source->describe(symbol);
        loadCache(slot);
        subscriptions << Subscription{index, slot.code, symbol};
    }
    CandleSink &sink = *this;
    m_drivers.push_back(std::make_unique<SourceDriver>(std::move(source), subscriptions, sink,
                                                       m_clock, m_log, timing));
    review(m_minute);
}

void LiveMarket::setUnavailable(int slot, const QString &reason, const QString &feed)
{
    Slot &target = m_slots[size_t(slot)];
    target.kind = Kind::Unavailable;
    target.reason = reason;
    target.feed = feed;
    target.changed = true;
}

void LiveMarket::addEuroIndex(int slot)
{
    Slot &target = m_slots[size_t(slot)];
    target.kind = Kind::Derived;
    QStringList names;
    for (const char *code : euroindex::kConstituents)
        names << QLatin1String(code);
    target.feed = QStringLiteral("euro index from ") + names.join(QStringLiteral(", "));
    loadCache(target);
    m_euroIndex = slot;
    review(m_minute);
}

void LiveMarket::loadCache(Slot &slot)
{
    const CandleCache::Load load = m_cache.load(slot.code);
    if (!load.error.isEmpty()) {
        // A cache that cannot be read is put aside, not lost, and the instrument warms up anew.
        const QString path = m_cache.pathOf(slot.code);
        const QString aside = path + QStringLiteral(".unreadable");
        QFile::remove(aside);
        QFile::rename(path, aside);
        m_log(QStringLiteral("%1: candle cache put aside as %2 (%3)")
                  .arg(slot.code, QDir::toNativeSeparators(aside), load.error));
        return;
    }
    if (!load.note.isEmpty())
        m_log(QStringLiteral("%1: candle cache: %2").arg(slot.code, load.note));
    const CandleFile &file = load.file;
    for (size_t i = 0; i < file.candles.size(); ++i)
        slot.book.add(file.candles[i], file.lengthOf(i));
    if (!file.candles.empty()) {
        slot.lastEnd = file.candles.back().minute + file.lengthOf(file.candles.size() - 1);
        slot.through = slot.lastEnd;
    }
    slot.decimals = file.decimals;
    slot.changed = true;
}

void LiveMarket::start()
{
    for (const std::unique_ptr<SourceDriver> &driver : m_drivers)
        driver->start();
}

QCoro::Task<> LiveMarket::pollAll()
{
    std::vector<QCoro::Task<>> rounds;
    for (const std::unique_ptr<SourceDriver> &driver : m_drivers)
        rounds.push_back(driver->poll());
    for (QCoro::Task<> &round : rounds)
        co_await round;
}

QString LiveMarket::sourceState(const QString &name) const
{
    for (const std::unique_ptr<SourceDriver> &driver : m_drivers) {
        if (driver->source().name() == name)
            return driver->state();
    }
    return QString();
}

CandleSink::Request LiveMarket::nextRequest(int slot, qint64 toMinute) const
{
    const Slot &target = m_slots[size_t(slot)];
    if (target.lastEnd == 0)
        return Request{toMinute - kWarmUpMinutes, true};
    return Request{target.lastEnd, toMinute - target.lastEnd > kMinuteStretch};
}

void LiveMarket::deliver(int slot, const SourceAnswer &answer, qint64 fromMinute, qint64 toMinute)
{
    Slot &target = m_slots[size_t(slot)];
    if (answer.outcome != SourceAnswer::Outcome::Candles) {
        target.failure = answer.reason;
        review(minuteOf(m_clock.now()));
        Q_EMIT candlesArrived();
        return;
    }
    const CheckedCandles checked =
        checkCandles(answer.runs, std::max(fromMinute, target.lastEnd), toMinute);
    if (!checked.rejected.isEmpty()) {
        m_log(QStringLiteral("%1: %2 impossible candle(s) from %3 rejected: %4")
                  .arg(target.code)
                  .arg(checked.rejected.size())
                  .arg(target.feed, checked.rejected.first()));
    }
    accept(target, checked.candles);
    target.through = std::max(target.through, toMinute);
    target.answered = true;
    target.failure.clear();
    feedEuroIndex(slot, checked.candles);
    review(minuteOf(m_clock.now()));
    Q_EMIT candlesArrived();
}

void LiveMarket::accept(Slot &slot, const std::vector<TimedCandle> &candles)
{
    if (candles.empty())
        return;
    for (const TimedCandle &timed : candles) {
        slot.book.add(timed.candle, timed.minutes);
        for (double price :
             {timed.candle.open, timed.candle.high, timed.candle.low, timed.candle.close})
            slot.decimals = std::max(slot.decimals, decimalsNeeded(price));
    }
    slot.lastEnd = candles.back().candle.minute + candles.back().minutes;
    slot.changed = true;
    const QString error = m_cache.append(slot.code, candles);
    if (!error.isEmpty() && !slot.cacheFailing)
        m_log(QStringLiteral("%1: candle cache not written: %2").arg(slot.code, error));
    slot.cacheFailing = !error.isEmpty();
}

void LiveMarket::feedEuroIndex(int slot, const std::vector<TimedCandle> &candles)
{
    if (!m_euroIndex)
        return;
    const auto constituent =
        std::find_if(euroindex::kConstituents.begin(), euroindex::kConstituents.end(),
                     [this, slot](const char *code) {
                         return m_slots[size_t(slot)].code == QLatin1String(code);
                     });
    if (constituent == euroindex::kConstituents.end())
        return;
    m_euroBuilder.add(int(constituent - euroindex::kConstituents.begin()), candles);
    Slot &index = m_slots[size_t(*m_euroIndex)];
    accept(index, m_euroBuilder.take(index.lastEnd));
    qint64 through = std::numeric_limits<qint64>::max();
    for (const char *code : euroindex::kConstituents)
        through = std::min(through, m_slots[size_t(constituentSlot(code))].through);
    index.through = std::max({index.through, index.lastEnd, through});
}

void LiveMarket::setBlocked(int slot, const QString &reason)
{
    if (m_slots[size_t(slot)].blocked == reason)
        return;
    m_slots[size_t(slot)].blocked = reason;
    review(minuteOf(m_clock.now()));
    Q_EMIT candlesArrived();
}

QStringList LiveMarket::staleOf(const QList<int> &slots) const
{
    QStringList stale;
    for (int slot : slots) {
        const Slot &target = m_slots[size_t(slot)];
        if (target.staleFrom)
            stale << target.code + QStringLiteral(" since ") +
                         sinceText(*target.staleFrom, m_minute);
    }
    return stale;
}

bool LiveMarket::isLive(const Slot &slot) const
{
    return slot.kind != Kind::Unavailable && reasonOf(slot).isEmpty() &&
           (slot.kind == Kind::Derived || slot.answered);
}

QString LiveMarket::reasonOf(const Slot &slot) const
{
    switch (slot.kind) {
    case Kind::Unavailable:
        return slot.reason;
    case Kind::Derived: {
        QStringList waiting;
        for (const char *code : euroindex::kConstituents) {
            if (!isLive(m_slots[size_t(constituentSlot(code))]))
                waiting << QLatin1String(code);
        }
        if (!waiting.isEmpty())
            return QStringLiteral("waiting for ") + waiting.join(QStringLiteral(", "));
        break;
    }
    case Kind::Sourced:
        if (!slot.blocked.isEmpty())
            return QStringLiteral("region blocked (%1)").arg(slot.blocked);
        if (slot.lastEnd == 0 && slot.answered)
            return QStringLiteral("no candles from the source");
        if (slot.lastEnd == 0 && !slot.failure.isEmpty())
            return QStringLiteral("no data (%1)").arg(slot.failure);
        break;
    }
    if (slot.lastEnd == 0)
        return QStringLiteral("warming up");
    if (slot.staleFrom)
        return QStringLiteral("stale since ") + sinceText(*slot.staleFrom, m_minute);
    return QString();
}

QString LiveMarket::missingReason(int slot) const
{
    return reasonOf(m_slots[size_t(slot)]);
}

void LiveMarket::review(qint64 now)
{
    for (Slot &slot : m_slots) {
        const bool known = slot.staleCheck == std::pair(slot.lastEnd, now);
        if (slot.kind != Kind::Unavailable && slot.lastEnd > 0 && !known) {
            slot.staleFrom = staleSince(slot.code, slot.lastEnd, now);
            slot.staleCheck = {slot.lastEnd, now};
        }
    }
    for (Slot &slot : m_slots) {
        const QString reason = reasonOf(slot);
        if (reason != slot.published) {
            slot.published = reason;
            slot.changed = true;
        }
    }
    for (const std::unique_ptr<SourceDriver> &driver : m_drivers)
        driver->refreshState();
}

void LiveMarket::advanceTo(qint64 minute)
{
    if (minute <= m_minute)
        return;
    m_minute = minute;
    review(minute);
}

bool LiveMarket::takeChanged(int index)
{
    return std::exchange(m_slots[size_t(index)].changed, false);
}

InstrumentSnapshot LiveMarket::snapshot(int index) const
{
    const Slot &slot = m_slots[size_t(index)];
    InstrumentSnapshot snapshot;
    snapshot.serverCode = slot.code;
    snapshot.name = catalogue::signalName(index);
    snapshot.decimals = slot.decimals;
    snapshot.latest = slot.book.latest();
    const QString reason = reasonOf(slot);
    if (!reason.isEmpty()) {
        snapshot.dataMissing = true;
        snapshot.source = reason;
        snapshot.feed = slot.feed;
        snapshot.updated = m_minute;
        for (Timeframe timeframe : kTimeframes) {
            TimeframeReading &reading = snapshot.readings[static_cast<int>(timeframe)];
            reading.timeframe = timeframe;
            reading.candleCount = slot.book.series(timeframe).count();
        }
        return snapshot;
    }
    snapshot.source = slot.feed;
    snapshot.readings = readTimeframes(slot.book, slot.through, slot.decimals);
    return snapshot;
}
