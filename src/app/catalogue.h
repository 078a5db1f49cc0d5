#pragma once

#include <QList>
#include <QString>

#include <array>

// The fixed table of instruments the program follows, addressed by navigator index.
// 0-61 are instruments; 62 is a reserved slot that exists in every per-instrument array
// but is never shown, polled or evaluated.
namespace catalogue {

inline constexpr int kSlotCount = 63;
inline constexpr int kInstrumentCount = 62;
inline constexpr int kReservedIndex = 62;
inline constexpr int kGroupCount = 5;

enum Group : int
{
    NoGroup = -1,
    Currencies = 0,
    Cryptocurrencies = 1,
    Commodities = 2,
    Indices = 3,
    Stocks = 4,
};

struct Instrument
{
    const char *caption;    // navigator text; "&&" shows a single ampersand
    const char *serverCode; // stem of the data document "signals/<code>.xml"
    const char *signalName; // name signals are raised under
    const char *stateLabel; // name of the signal-memory holder
    Group group;
    bool gated;    // evaluation waits for the trading flag
    bool firstRun; // switched on at the very first start
    bool blankM1;  // the indicator grid leaves the M1 column blank
};

// Attributes of one slot; index must lie in 0-62.
const Instrument &instrument(int index);

bool isInstrument(int index); // 0-61
QString caption(int index);
QString displayCaption(int index); // caption with "&&" shown as "&"
QString serverCode(int index);
QString signalName(int index);
QString stateLabel(int index);
bool isGated(int index);
// The M1 column is blank for the cryptocurrencies and the two currency indices.
bool hasBlankM1(int index);

Group groupOf(int index);
QString groupTitle(int group);
// Members of a group in navigator display order (Indices shows 60 and 61 first).
QList<int> groupMembers(int group);

// File-name stem of an instrument's export files, derived from its signal name.
QString exportSymbol(const QString &signalName);
QString exportSymbol(int index);

// The instrument whose signal name occurs in a signal-list text such as "BUY EUR/USD";
// -1 when none does.
int indexOfSignalText(const QString &text);

QList<int> firstRunSet();
std::array<int, kSlotCount> allSlots(); // 0-62, for saving and restoring enabled flags

} // namespace catalogue
