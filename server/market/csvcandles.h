#pragma once

#include "market/candle.h"

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

// Minute candles exported from a trading terminal: one file per instrument, named after its
// server code ("eurusd.csv"), one candle a line: time,open,high,low,close. Further fields
// (volumes) are ignored. Times are GMT, on whole minutes, strictly increasing, written
// "2024-05-14 10:06", "2024-05-14T10:06:00Z", "2024.05.14 10:06" or with the date and the time
// as two fields ("2024.05.14,10:06"). The fields may be separated by commas, tabs or semicolons.
// A first line that does not start with a digit is a header; blank lines are skipped.
//
// A header whose sixth field is "minutes" (the header the live market's candle cache writes,
// `time,open,high,low,close,minutes`) makes the sixth field of every line the candle's length in
// minutes: 1, or the length of a longer timeframe for the coarse candles of a warm-up. Such a
// candle opens on its timeframe's bucket and feeds only the timeframes at least as long, so that
// a replayed cache builds the very book the live market built.

// The header of a file whose lines carry their candle's length.
inline constexpr char kLengthHeader[] = "time,open,high,low,close,minutes";

struct CandleFile
{
    QString path;
    std::vector<Candle> candles;
    int decimals = 0;         // the most decimals any price of the file carries
    std::vector<int> lengths; // minutes per candle, beside `candles`; empty when all are minutes

    int lengthOf(size_t at) const { return lengths.empty() ? 1 : lengths[at]; }
};

// Candle files by server code, or the first error found, naming the file and the line.
struct CandleFolder
{
    QHash<QString, CandleFile> files;
    QString error; // empty when every file loaded
};

// One line of a file with lengths, prices with the decimals they need: "2024-05-14 10:06,1.0812,
// 1.0813,1.0811,1.08125,1" (without the line end).
QByteArray candleLine(const Candle &candle, int lengthMinutes);
// The decimals a price needs to be written exactly, at most 8: 2 for 62000.01.
int decimalsNeeded(double price);

// Reads one file; on failure returns nothing and sets `error`.
std::optional<CandleFile> readCandleFile(const QString &path, QString *error);
// The same for a file's content; `path` names it in the result and in complaints.
std::optional<CandleFile> parseCandleFile(const QString &path, const QByteArray &content,
                                          QString *error);
// Reads every *.csv file of a folder; the name of each must be a server code of the catalogue.
CandleFolder readCandleFolder(const QString &folder);
