#pragma once

#include <QPoint>
#include <QSize>
#include <QString>

#include <optional>
#include <span>

class QWidget;

// The main window's fixed layouts. Positions are twips relative to the window's client area;
// widgets are found by name, and a name the window does not hold is skipped.
namespace windowlayout {

// Which layout is shown: the full or the compact one, and whether the navigator is folded
// away. A fold only shifts the full layout; the compact layout keeps it in store, and the full
// layout unfolds when it returns. Until the first switch the full layout stands as the window
// was designed; a few of its widgets stand slightly elsewhere once the switch has placed them.
struct State
{
    bool compact = false;
    bool folded = false;
    bool switched = false;

    bool operator==(const State &) const = default;
};

// One widget the layouts place.
struct Placement
{
    const char *name;
    std::optional<QPoint> full;    // left, top in the full layout; unset: placed by its panel
    std::optional<QPoint> compact; // where the compact layout puts it; unset: stays
    bool shiftsWithFold;           // moves left with the folded navigator
    bool hiddenWhenCompact;
    bool hiddenWhenFolded;
};

std::span<const Placement> placements();

inline constexpr int kFoldShift = 2720;

// Window and frame (`Shape5`) sizes, twips.
QSize windowSize(const State &state);
QSize frameSize(const State &state);

// Where a placed widget stands in a layout; nullopt for names the layouts do not place.
std::optional<QPoint> positionOf(const QString &name, const State &state);
std::optional<bool> visibilityOf(const QString &name, const State &state);

// Places every named widget of `window`, shows and hides, sizes the window and its frame.
void apply(QWidget &window, const State &state);

// Where the options menu opens, in twips of the client area: by the window's height, below 5000
// (the compact layout) and above 10000 (the full one); a click on the logo's hot spot opens it
// at the logo. A height between the two layouts opens nothing.
std::optional<QPoint> optionsMenuPoint(int windowHeightTwips, bool fromLogo);

} // namespace windowlayout
