#pragma once

#include "market/candle.h"

#include <QByteArrayView>
#include <QString>

// One line of a terminal's candle file, as the expert advisor appends them (one closed minute
// bar a line, in the broker's clock)
//   2024.05.14 10:06:00,1.08120,1.08130,1.08110,1.08125,123
// or as the History Center exports them
//   2024.05.14,10:06,1.08120,1.08130,1.08110,1.08125,123
// The line ending (LF or CR LF) may be given or not. Blank lines are skipped, and so is a first
// line that does not start with a digit (a header, after a UTF-8 byte order mark if any).
struct TerminalLine
{
    enum class Kind
    {
        Candle,
        Skipped,
        Malformed,
    };
    Kind kind = Kind::Skipped;
    Candle candle; // the broker's time, when a candle
    QString error; // what is wrong, when malformed
};

TerminalLine parseTerminalLine(QByteArrayView line, bool firstLine);
