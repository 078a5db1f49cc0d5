#pragma once

// The names of the sources in the feeds file and in the log.
namespace sourcenames {

inline constexpr char kBinance[] = "binance";
inline constexpr char kDukascopy[] = "dukascopy";
inline constexpr char kOanda[] = "oanda";
inline constexpr char kTerminal[] = "terminal";
// The euro index, computed from its constituents.
inline constexpr char kDerived[] = "derived";
// An instrument switched off on purpose: it publishes that it has no source.
inline constexpr char kNone[] = "none";

} // namespace sourcenames
