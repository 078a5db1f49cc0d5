#pragma once

#include <array>
#include <optional>

// The navigator's placement and keyboard rules, free of widgets. Lengths are twips.
namespace navigatorrules {

inline constexpr int kHeaderHeight = 405;
inline constexpr int kLastHeaderHeight = 375;
inline constexpr int kRowHeight = 255;
inline constexpr int kNoGroup = -1;

// Tops of the five group headers while `openGroup` is expanded (kNoGroup: all collapsed). The
// headers are stacked 405 apart; those below the open group move down by its rows.
std::array<int, 5> headerTops(int openGroup);

// Top of an instrument's row while its group is open: 405 below the group's header, 255 per row
// in display order (so the Indices show 60 and 61 above 49).
int rowTop(int index);

// Keys the rows answer to.
enum class Key
{
    Space,
    PageUp,
    PageDown,
    Up,
    Down,
};

// What a key press on a row does, starting from the selected index: open (toggle) a group,
// then select a row; or switch the selected instrument on or off. Empty: nothing.
struct KeyMove
{
    std::optional<int> openGroup;
    std::optional<int> select;
    bool toggleSelected = false;

    bool operator==(const KeyMove &) const = default;
};

KeyMove keyMove(Key key, int selected);

} // namespace navigatorrules
