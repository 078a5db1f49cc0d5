#pragma once

// What the signal journal says to the user, defined once.
namespace journaltexts {

// %1: the journal file.
inline constexpr char kUnwritable[] =
    "The signal journal cannot be written (%1), so it is off until the program is started "
    "again. Signals are shown, sounded and exported as usual.";
// %1: the damaged file's new name.
inline constexpr char kDamaged[] = "The signal journal was damaged. It has been moved aside as "
                                   "%1 and a new journal has been started.";
// %1: the reason SQLite gives.
inline constexpr char kWriteFailed[] =
    "The signal journal could not keep a signal (%1). Signals are shown, sounded and exported "
    "as usual.";

// The journal window's item at the end of the option menu and in the signal list's menu.
inline constexpr char kMenuItem[] = "Signal journal...";
inline constexpr char kWindowTitle[] = "Signal journal";
inline constexpr char kExportButton[] = "Export CSV\u2026";
inline constexpr char kExportTitle[] = "Export the signal journal";
inline constexpr char kExportFileName[] = "signals.csv";
inline constexpr char kExportFilter[] = "CSV files (*.csv)";
// %1: the file, %2: the reason.
inline constexpr char kExportFailed[] = "The journal could not be written to %1: %2";
inline constexpr char kJournalOff[] = "The signal journal is off until the program starts again.";
// Why an export failed when its rows could not be read.
inline constexpr char kUnreadable[] = "the signal journal cannot be read";

// Filters.
inline constexpr char kInstrumentLabel[] = "Instrument:";
inline constexpr char kAllInstruments[] = "All instruments";
inline constexpr char kOptionLabel[] = "Option:";
inline constexpr char kAllOptions[] = "All";
inline constexpr char kDirectionLabel[] = "Direction:";
inline constexpr char kAllDirections[] = "All";
inline constexpr char kFromLabel[] = "From";
inline constexpr char kToLabel[] = "to";

// Table columns.
inline constexpr const char *kColumnTitles[] = {"Time",  "Direction", "Instrument", "Option",
                                                "Price", "15 min",    "1 h",        "4 h"};
inline constexpr char kMovesToolTip[] =
    "How far the market went in the signal's direction: in pips for currency pairs, in percent "
    "of the signal's price otherwise. Green: the signal's way, red: against it.";

// Summary under the table.
inline constexpr char kSummaryAll[] = "All signals";
inline constexpr char kSummaryOption[] = "Option %1";
inline constexpr char kSummarySignals[] = "Signals";
inline constexpr char kSummaryWent[] = "Went their way after 1 h";
inline constexpr char kSummaryMean[] = "Mean move after 1 h";
// %1 of %2 signals whose 1-hour price is known, %3 the share.
inline constexpr char kSummaryShare[] = "%1 of %2 (%3 %)";
inline constexpr char kSummaryNone[] = "\u2014";

} // namespace journaltexts
