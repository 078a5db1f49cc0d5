#include "sources/terminalline.h"

#include "market/csvfields.h"
#include "market/minutes.h"

namespace {

TerminalLine malformed(const QString &what)
{
    TerminalLine line;
    line.kind = TerminalLine::Kind::Malformed;
    line.error = what;
    return line;
}

} // namespace

TerminalLine parseTerminalLine(QByteArrayView line, bool firstLine)
{
    if (firstLine && line.startsWith("\xEF\xBB\xBF"))
        line = line.sliced(3);
    // Terminals write in the system's code page; everything a candle needs is ASCII.
    const QString text = QString::fromLatin1(line).trimmed();
    if (text.isEmpty() || (firstLine && !text[0].isDigit()))
        return {};
    QStringList fields = csvFields(text, csvSeparator(text));
    joinDateAndTime(fields);
    if (fields.size() < 5) {
        return malformed(QStringLiteral("expected time,open,high,low,close but found %1 field(s)")
                             .arg(fields.size()));
    }
    const std::optional<qint64> minute = parseGmtMinute(fields[0]);
    if (!minute) {
        return malformed(
            QStringLiteral("\"%1\" is not a bar time such as 2024.05.14 10:06:00").arg(fields[0]));
    }
    TerminalLine parsed;
    parsed.kind = TerminalLine::Kind::Candle;
    parsed.candle.minute = *minute;
    double *prices[4] = {&parsed.candle.open, &parsed.candle.high, &parsed.candle.low,
                         &parsed.candle.close};
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> price = positivePrice(fields[i + 1]);
        if (!price)
            return malformed(QStringLiteral("\"%1\" is not a positive price").arg(fields[i + 1]));
        *prices[i] = *price;
    }
    return parsed;
}
