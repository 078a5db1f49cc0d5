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

struct CandleFile
{
    QString path;
    std::vector<Candle> candles;
    int decimals = 0; // the most decimals any price of the file carries
};

// Candle files by server code, or the first error found, naming the file and the line.
struct CandleFolder
{
    QHash<QString, CandleFile> files;
    QString error; // empty when every file loaded
};

// Reads one file; on failure returns nothing and sets `error`.
std::optional<CandleFile> readCandleFile(const QString &path, QString *error);
// The same for a file's content; `path` names it in the result and in complaints.
std::optional<CandleFile> parseCandleFile(const QString &path, const QByteArray &content,
                                          QString *error);
// Reads every *.csv file of a folder; the name of each must be a server code of the catalogue.
CandleFolder readCandleFolder(const QString &folder);
