#pragma once

#include "documents/instrumentrecord.h"
#include "market/candlebook.h"
#include "market/csvcandles.h"
#include "market/marketdata.h"
#include "sim/marketsimulator.h"

#include <QHash>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// The catalogue's navigator index of a server code; -1 when no instrument has it.
int instrumentIndex(const QString &serverCode);

struct MarketSetup
{
    std::uint64_t seed = 1;
    SimulationTuning tuning;
    // Real candles by server code; the other instruments are simulated.
    QHash<QString, CandleFile> candleFiles;
};

// The candles of all 62 instruments of the catalogue, simulated or replayed from candle files,
// brought forward minute by minute.
class Market final : public MarketData
{
    Q_OBJECT
public:
    // Simulated history long enough for every timeframe (D1 included) to be read at once:
    // 200 daily candles of a forex week take 40 weeks. Only the last days are made of minute
    // candles; older history is made of longer steps, which only the timeframes at least as
    // long see, so that start-up stays quick.
    struct HistoryStretch
    {
        qint64 daysBack; // the stretch starts this many days before the start
        int stepMinutes;
    };
    static constexpr std::array<HistoryStretch, 3> kHistory{{{315, 60}, {20, 15}, {4, 1}}};

    // Builds every candle that opens before `startMinute`.
    Market(const MarketSetup &setup, qint64 startMinute);
    Q_DISABLE_COPY_MOVE(Market)

    // Adds every candle that opens before `minute` (a file's coarser candle once it has ended).
    void advanceTo(qint64 minute) override;
    qint64 minute() const override { return m_minute; }

    int instrumentCount() const override { return int(m_instruments.size()); }
    InstrumentSnapshot snapshot(int index) const override;
    const CandleBook &book(int index) const override { return m_instruments[size_t(index)].book; }
    // Whether candles arrived for the instrument since the last call.
    bool takeChanged(int index) override;

private:
    struct Instrument
    {
        int index = 0;
        QString serverCode;
        int decimals = 0;
        QString source;
        std::optional<InstrumentSimulator> simulator;
        std::vector<Candle> fileCandles;
        std::vector<int> fileLengths; // minutes per file candle; empty when all are minutes
        size_t nextFileCandle = 0;
        CandleBook book;
        bool changed = true;
    };

    static void simulateHistory(Instrument &instrument, qint64 startMinute);
    static void advance(Instrument &instrument, qint64 from, qint64 to);

    std::vector<Instrument> m_instruments;
    qint64 m_minute;
};
