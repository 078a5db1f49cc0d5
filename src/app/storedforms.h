#pragma once

#include <QString>

#include <optional>

// The text forms in which values are kept in the settings store.
namespace storedforms {

// Boolean keys: "True" / "False"; numbers are accepted on reading, non-zero is true.
std::optional<bool> parseBool(const QString &text);
QString boolText(bool value);

// Number keys: decimal text, surrounding blanks allowed.
std::optional<int> parseNumber(const QString &text);
QString numberText(int value);

// Flag keys: "1" / "0".
QString flagText(bool value);

// Enabled flags of section "InstrumentsChecked": the first run writes "1", shutdown writes
// "&HC000&" (on) or "&HFFFFFF" (off). Only "1" and "&HC000&" read as on.
inline constexpr char kEnabledFirstRun[] = "1";
inline constexpr char kEnabledOn[] = "&HC000&";
inline constexpr char kEnabledOff[] = "&HFFFFFF";
bool isEnabled(const QString &text);
QString enabledText(bool enabled);

} // namespace storedforms
