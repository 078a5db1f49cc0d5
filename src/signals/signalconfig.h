#pragma once

#include <QString>

#include <array>
#include <limits>

class SettingsStore;

// The rules of the three signal options as the configurator stores them: per option a
// calculation basis (which summary row it reads) and per direction and timeframe a condition
// code that the timeframe's verdict must satisfy.
namespace signalconfig {

inline constexpr int kOptionCount = 3;
inline constexpr int kTimeframeCount = 7; // M1, M5, M15, M30, H1, H4, D1

enum Direction : int
{
    Buy = 0,
    Sell = 1,
};

// Condition codes, the index of the configurator's list item.
enum Condition : int
{
    DoesntMatter = 0,
    StrongBuy = 1,
    BuyOnly = 2,
    StrongSell = 3,
    SellOnly = 4,
    BuyOrStrongBuy = 5,
    SellOrStrongSell = 6,
    Neutral = 7,
};
inline constexpr int kConditionCount = 8;

// Calculation basis, the index of the "Calculate:" list item.
enum Basis : int
{
    Overall = 0,        // technical indicators + moving averages, row 24
    Indicators = 1,     // row 14
    MovingAverages = 2, // row 22
};
inline constexpr int kBasisCount = 3;

// A stored value that does not read as a number: its option and direction are left alone.
inline constexpr int kUnusable = std::numeric_limits<int>::min();
// A stored number that is no whole number ("1.5"): no code, so never satisfied.
inline constexpr int kNotACode = std::numeric_limits<int>::max();

struct Config
{
    // basis[option - 1]
    std::array<int, kOptionCount> basis{};
    // codes[option - 1][direction][timeframe]
    std::array<std::array<std::array<int, kTimeframeCount>, 2>, kOptionCount> codes{};

    int code(int option, Direction direction, int timeframe) const
    {
        return codes.at(option - 1).at(direction).at(timeframe);
    }
};

// A stored code or basis: a number in any decimal form ("1", " 1 ", "1.0"), kNotACode for a
// number that is no whole number, kUnusable for text that is no number.
int parseCode(const QString &text);

QString basisKey(int option);
QString conditionKey(int option, Direction direction, int timeframe);

// Used when a key has never been saved: a strong verdict on M1-H1 for option 1, on M1-H4 for
// option 2 and on every timeframe for option 3; both summaries for every option.
int defaultCode(int option, Direction direction, int timeframe);
inline constexpr int kDefaultBasis = Overall;

Config defaults();
// Every value read afresh with parseCode.
Config read(const SettingsStore &settings);

// The configurator's lists Combo1 to Combo45 in their saving order: per option the seven
// BUY lists, the seven SELL lists, then the three "Calculate:" lists.
inline constexpr int kListCount = 45;
QString listKey(int list); // 1-45
int listDefault(int list);
int listItemCount(int list);

} // namespace signalconfig
