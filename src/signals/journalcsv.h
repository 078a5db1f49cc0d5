#pragma once

#include <QByteArray>
#include <QString>

class JournalReader;
struct JournalFilter;

// The journal as a CSV file for spreadsheet programs: RFC 4180 (fields separated by commas,
// lines by CR LF, a field quoted when it holds a comma, a quote or a line break, its quotes
// doubled), UTF-8 with a byte order mark, a header line, then the rows the filter lets through,
// newest first. Prices carry the decimals the record wrote them with; the moves are in the
// signal's direction, in the unit of the last column.
namespace journalcsv {

// One field as the file writes it.
QByteArray field(const QString &text);

// Writes the file through QSaveFile, so a failed export leaves what was there before. Returns
// the reason of a failure, empty on success.
QString exportRows(const JournalReader &reader, const JournalFilter &filter, const QString &path);

} // namespace journalcsv
