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

} // namespace journaltexts
