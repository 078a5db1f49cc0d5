#pragma once

#include "live/candlecheck.h"
#include "market/csvcandles.h"

#include <QString>

#include <vector>

// The live market's candles on disk: one `<server code>.csv` per instrument in the folder (the
// euro index's extra constituent in its subfolder `inputs`), in the --candles format with a
// length column (`time,open,high,low,close,minutes`), appended as candles close. A restart reads
// it and asks the sources only for the gap; `--candles FOLDER` replays it.
class CandleCache
{
public:
    explicit CandleCache(QString folder);

    QString folder() const { return m_folder; }
    // Creates the folder; returns what went wrong, or nothing.
    QString prepare() const;
    QString pathOf(const QString &code) const;

    struct Load
    {
        CandleFile file; // empty when there is no cache yet
        QString note;    // what was mended (an unfinished last line, old history compacted)
        QString error;   // the file cannot be used; it is left as it is
    };
    // Reads an instrument's cache. A last line cut off (the server was stopped while writing) is
    // dropped; history beyond what a warm-up brings is compacted first, so that the file and the
    // start-up stay small however long the server runs.
    Load load(const QString &code) const;
    // Appends candles; returns what went wrong, or nothing.
    QString append(const QString &code, const std::vector<TimedCandle> &candles) const;

private:
    QString m_folder;
};

// Old history in the coarse candles a warm-up would bring: relative to the end of the newest
// candle, minutes older than 4 days become quarter hours, quarter hours older than 20 days
// become hours, and candles older than 315 days go. Returns the candles unchanged unless some
// are well past their place (finer candles twice that old, any a month beyond 315 days).
std::vector<TimedCandle> compactHistory(const std::vector<TimedCandle> &candles);
