#pragma once

#include "sources/candlesource.h"
#include "sources/ownedwaits.h"

#include <QByteArray>

#include <map>

// The trader's own MetaTrader: its expert advisor (server/terminal/) appends each closed minute
// bar to `<server code>.csv` in a folder, and this source follows those files, so it feeds
// whatever the broker lists, the rouble pairs included. Each fetch reads the lines that are
// new since the last one: a partly written last line waits for its end, a file that shrank or
// was replaced is read again from its start. Bar times are the broker's clock; its offset from
// GMT is subtracted. No network.
class TerminalSource final : public CandleSource
{
public:
    // Read at most this much at a time before giving the event loop a turn: a first read of a
    // long history then holds the loop for some 20 ms at a time.
    static constexpr qint64 kChunkBytes = 256 * 1024;

    // `folder`: the MQL4/MQL5 Files/quentara-feed folder; `brokerOffsetHours`: the broker's
    // clock minus GMT, e.g. +2 or -5.
    TerminalSource(const QString &folder, int brokerOffsetHours);
    Q_DISABLE_COPY_MOVE(TerminalSource)

    QString name() const override { return QStringLiteral("terminal"); }
    // "terminal usdrub.csv"
    QString describe(const QString &symbol) const override;

    // `symbol` is the file's base name, the instrument's server code.
    QCoro::Task<SourceAnswer> fetch(QString symbol, qint64 fromMinute, qint64 toMinute,
                                    bool warmUp) override;

private:
    struct Followed
    {
        qint64 position = 0;         // just after the last complete line read
        QByteArray before;           // the bytes up to `position`, to notice a replaced file
        int lines = 0;               // complete lines read
        std::vector<Candle> waiting; // read, in GMT, not yet handed over
        bool reading = false;        // a fetch is reading the file
    };

    // Reads what is new in the file; returns the first complaint about a line, if any.
    QCoro::Task<QString> readNew(QString path, Followed *followed, qint64 fromMinute);

    QString m_folder;
    qint64 m_offsetMinutes;
    // By symbol; a map, whose entries stay where they are while a fetch waits.
    std::map<QString, Followed> m_files;
    OwnedWaits m_waits;
};
