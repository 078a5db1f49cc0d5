#include "market/market.h"

#include "market/minutes.h"
#include "market/timeframereading.h"
#include "sim/marketprofiles.h"

#include "app/catalogue.h"

#include <QFileInfo>
#include <QtConcurrent/QtConcurrentMap>

namespace {

// For an instrument the profile table lacks (a test guards against it).
constexpr MarketProfile kFallbackProfile{"", 100.0, 2, 0.01};

} // namespace

int instrumentIndex(const QString &serverCode)
{
    for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
        if (catalogue::serverCode(index) == serverCode)
            return index;
    }
    return -1;
}

Market::Market(const MarketSetup &setup, qint64 startMinute)
    : m_minute(startMinute)
{
    m_instruments.resize(catalogue::kInstrumentCount);
    for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
        Instrument &instrument = m_instruments[size_t(index)];
        instrument.index = index;
        instrument.serverCode = catalogue::serverCode(index);
        const auto file = setup.candleFiles.constFind(instrument.serverCode);
        if (file != setup.candleFiles.constEnd()) {
            instrument.fileCandles = file->candles;
            instrument.fileLengths = file->lengths;
            instrument.decimals = file->decimals;
            instrument.source = QFileInfo(file->path).fileName();
            continue;
        }
        const MarketProfile *profile = marketProfile(instrument.serverCode);
        if (!profile)
            profile = &kFallbackProfile;
        instrument.decimals = profile->decimals;
        instrument.source = QStringLiteral("simulated");
        // Only the cryptocurrencies trade at the weekend; they are the ones the flag does not gate.
        instrument.simulator.emplace(*profile, !catalogue::isGated(index), setup.seed,
                                     setup.tuning);
    }
    // Instruments are independent, so their months of history are built side by side.
    QtConcurrent::blockingMap(m_instruments, [startMinute](Instrument &instrument) {
        if (instrument.simulator)
            simulateHistory(instrument, startMinute);
        else
            advance(instrument, 0, startMinute);
    });
}

void Market::simulateHistory(Instrument &instrument, qint64 startMinute)
{
    // Each stretch's step divides the one before, so every stretch starts on its own step.
    qint64 minute =
        floorDiv(startMinute - kHistory[0].daysBack * kMinutesPerDay, kHistory[0].stepMinutes) *
        kHistory[0].stepMinutes;
    for (size_t i = 0; i < kHistory.size(); ++i) {
        const int step = kHistory[i].stepMinutes;
        const qint64 end = i + 1 < kHistory.size()
                               ? startMinute - kHistory[i + 1].daysBack * kMinutesPerDay
                               : startMinute;
        for (; minute + step <= end; minute += step) {
            if (const std::optional<Candle> candle = instrument.simulator->step(minute, step))
                instrument.book.add(*candle, step);
        }
    }
    advance(instrument, minute, startMinute);
}

void Market::advance(Instrument &instrument, qint64 from, qint64 to)
{
    if (instrument.simulator) {
        for (qint64 minute = from; minute < to; ++minute) {
            if (const std::optional<Candle> candle = instrument.simulator->step(minute)) {
                instrument.book.add(*candle);
                instrument.changed = true;
            }
        }
        return;
    }
    // A candle waits until its whole length lies before `to`, so that a replayed cache builds
    // the book the live market built, coarse warm-up candles included.
    const auto lengthOf = [&instrument](size_t at) {
        return instrument.fileLengths.empty() ? 1 : instrument.fileLengths[at];
    };
    while (instrument.nextFileCandle < instrument.fileCandles.size()) {
        const size_t at = instrument.nextFileCandle;
        const Candle &candle = instrument.fileCandles[at];
        if (candle.minute + lengthOf(at) > to)
            break;
        instrument.book.add(candle, lengthOf(at));
        ++instrument.nextFileCandle;
        instrument.changed = true;
    }
}

void Market::advanceTo(qint64 minute)
{
    if (minute <= m_minute)
        return;
    for (Instrument &instrument : m_instruments)
        advance(instrument, m_minute, minute);
    m_minute = minute;
}

bool Market::takeChanged(int index)
{
    return std::exchange(m_instruments[size_t(index)].changed, false);
}

InstrumentSnapshot Market::snapshot(int index) const
{
    const Instrument &instrument = m_instruments[size_t(index)];
    InstrumentSnapshot snapshot;
    snapshot.serverCode = instrument.serverCode;
    snapshot.name = catalogue::signalName(index);
    snapshot.decimals = instrument.decimals;
    snapshot.latest = instrument.book.latest();
    snapshot.source = instrument.source;
    snapshot.readings = readTimeframes(instrument.book, m_minute, instrument.decimals);
    return snapshot;
}
