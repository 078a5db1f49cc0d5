#pragma once

#include <QString>

// Whether a fetched server notice is shown: it must not be empty, and neither the program's own
// version "1.76" nor the suppression marker may occur in it after its first character (a notice
// that starts with either is shown).
bool noticePasses(const QString &notice);

inline constexpr char kNoticeSuppressionMarker[] = "#)!%f*()!3*";
