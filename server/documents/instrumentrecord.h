#pragma once

#include "market/candle.h"
#include "market/timeframereading.h"

#include <QString>

#include <array>
#include <optional>

// Where the program finds things in an instrument data record (lines from 0, fields from 0).
namespace recordlayout {

inline constexpr int kBlockLines = 29; // block t (M1 .. D1) starts at line 29 t
inline constexpr int kOverallOffset = 1;
inline constexpr int kFirstIndicatorOffset = 4;
inline constexpr int kIndicatorSummaryOffset = 19;
inline constexpr int kFirstAverageOffset = 20;
inline constexpr int kAverageSummaryOffset = 28;
inline constexpr int kPriceLine = 203;
inline constexpr int kFirstPivotLine = 206; // S3, S2, S1, P, R1, R2, R3 of timeframe t at 206 + 8 t
inline constexpr int kPivotStride = 8;
inline constexpr int kLineCount = 262;

} // namespace recordlayout

// What an instrument's record is written from.
struct InstrumentSnapshot
{
    QString serverCode;
    QString name;
    int decimals = 0;
    std::optional<Candle> latest; // the latest minute candle
    std::array<TimeframeReading, kTimeframeCount> readings{};
    // Line 205 after the time: "simulated", the candles file's name, the live feed ("binance
    // BTCUSDT (USDT)"), or, when data is missing, why ("no source", "stale since 10:02").
    QString source;
    // When data is missing: the feed that should deliver, written after the reason.
    QString feed;
    // Without working data every block is empty, as with too little history, and so are the
    // price and the pivot levels: the program shows that data is missing and raises no signal.
    bool dataMissing = false;
    // The minute line 205 names; when not given, the close of the latest candle.
    std::optional<qint64> updated;
};

// The instrument data record: 262 lines separated by LF (no final LF).
QString instrumentRecord(const InstrumentSnapshot &snapshot);
