#include "ui/windowlayout.h"

#include "ui/twips.h"

#include <QWidget>

#include <array>

namespace windowlayout {

namespace {

constexpr int kFullWidth = 16245;
constexpr int kFullHeight = 10740;
constexpr int kFoldedWidth = 13535;
constexpr int kCompactWidth = 13495;
constexpr int kCompactHeight = 4515;
constexpr int kFrameOverhang = 60; // the frame reaches 60 twips below the client area

constexpr QPoint kSplitterShown{2730, 5040};
constexpr QPoint kSplitterFolded{0, 5040};

// clang-format off
const std::array<Placement, 31> kPlacements{{
    // name           full            compact                 fold   hide compact, hide folded
    {"Picture2",      QPoint{120, 690},     std::nullopt,           false, true,  true},
    {"Picture4",      QPoint{120, 1050},    std::nullopt,           false, true,  true},
    {"Picture32",     QPoint{2880, 690},    std::nullopt,           true,  true,  false},
    {"Picture33",     QPoint{5010, 690},    std::nullopt,           true,  true,  false},
    {"Label20_2",     std::nullopt,   std::nullopt,           false, true,  false},
    {"Picture1",      QPoint{2880, 1050},   std::nullopt,           true,  true,  false},
    {"Picture3",      QPoint{2880, 1440},   std::nullopt,           true,  true,  false},
    {"Picture36",     QPoint{2880, 6900},   QPoint{120, 690},       true,  false, false},
    {"Picture35",     QPoint{5610, 6900},   QPoint{2850, 690},      true,  false, false},
    {"Picture37",     QPoint{8340, 6900},   QPoint{5580, 690},      true,  false, false},
    {"Picture6",      QPoint{2880, 7260},   QPoint{120, 1050},      true,  false, false},
    {"Picture7",      QPoint{2880, 7630},   QPoint{120, 1420},      true,  false, false},
    {"Picture5",      QPoint{11130, 6900},  QPoint{8370, 690},      true,  false, false},
    {"Picture8",      QPoint{11130, 7280},  QPoint{8370, 1050},     true,  false, false},
    {"tip_0",         QPoint{3990, 1950},   std::nullopt,           false, false, false},
    {"tip_2",         QPoint{3000, 1020},   std::nullopt,           true,  false, false},
    {"tip_3",         QPoint{5130, 1020},   std::nullopt,           true,  false, false},
    {"tip_4",         QPoint{4110, 7140},   QPoint{1350, 930},      true,  false, false},
    {"tip_5",         QPoint{7410, 7140},   QPoint{4080, 930},      true,  false, false},
    {"tip_6",         QPoint{9780, 7140},   QPoint{6810, 930},      true,  false, false},
    {"tip_7",         QPoint{11220, 7650},  QPoint{8470, 1440},     true,  false, false},
    {"Label29",       QPoint{12750, 210},   QPoint{10030, 210},     true,  false, false},
    {"Label19",       QPoint{13950, 210},   QPoint{11230, 210},     true,  false, false},
    {"Picture19",     QPoint{14640, 90},    QPoint{11920, 90},      true,  false, false},
    {"Picture20",     QPoint{15000, 90},    QPoint{12280, 90},      true,  false, false},
    {"Picture23",     QPoint{15420, 90},    QPoint{12700, 90},      true,  false, false},
    {"Picture21",     QPoint{15780, 60},    QPoint{13060, 60},      true,  false, false},
    {"Picture9",      QPoint{0, 0},         std::nullopt,           false, false, false},
    {"Picture26",     QPoint{90, 60},       std::nullopt,           false, false, false},
    {"Label4",        QPoint{0, 0},         std::nullopt,           false, false, false},
    {"splitter",      kSplitterShown, std::nullopt,           false, false, false},
}};
// clang-format on

// Where the window's design puts the widgets that the layout switch places slightly differently;
// the full layout shows them here until the first switch.
struct DesignSpot
{
    const char *name;
    QPoint full;
};
const std::array<DesignSpot, 6> kDesignSpots{{
    {"Picture7", {2880, 7620}},
    {"Picture8", {11130, 7260}},
    {"Label29", {13320, 210}},
    {"tip_4", {4170, 8040}},
    {"tip_5", {7500, 8010}},
    {"tip_6", {9930, 8070}},
}};

std::optional<QPoint> designSpotOf(const QString &name)
{
    for (const DesignSpot &spot : kDesignSpots) {
        if (name == QLatin1String(spot.name))
            return spot.full;
    }
    return std::nullopt;
}

const Placement *find(const QString &name)
{
    for (const Placement &placement : kPlacements) {
        if (name == QLatin1String(placement.name))
            return &placement;
    }
    return nullptr;
}

} // namespace

std::span<const Placement> placements()
{
    return kPlacements;
}

QSize windowSize(const State &state)
{
    if (state.compact)
        return {kCompactWidth, kCompactHeight};
    return {state.folded ? kFoldedWidth : kFullWidth, kFullHeight};
}

QSize frameSize(const State &state)
{
    const QSize window = windowSize(state);
    return {window.width(), window.height() + kFrameOverhang};
}

std::optional<QPoint> positionOf(const QString &name, const State &state)
{
    const Placement *placement = find(name);
    if (!placement || !placement->full)
        return std::nullopt;
    if (name == QLatin1String("splitter"))
        return state.folded && !state.compact ? kSplitterFolded : kSplitterShown;
    if (state.compact)
        return placement->compact.value_or(*placement->full);
    QPoint full = *placement->full;
    if (!state.switched)
        full = designSpotOf(name).value_or(full);
    if (state.folded && placement->shiftsWithFold)
        return full - QPoint(kFoldShift, 0);
    return full;
}

std::optional<bool> visibilityOf(const QString &name, const State &state)
{
    const Placement *placement = find(name);
    if (!placement || !(placement->hiddenWhenCompact || placement->hiddenWhenFolded))
        return std::nullopt;
    if (state.compact)
        return !placement->hiddenWhenCompact;
    return !(state.folded && placement->hiddenWhenFolded);
}

void apply(QWidget &window, const State &state)
{
    for (const Placement &placement : kPlacements) {
        const QString name = QLatin1String(placement.name);
        auto *widget = window.findChild<QWidget *>(name);
        if (!widget)
            continue;
        if (const auto position = positionOf(name, state))
            widget->move(twips::point(position->x(), position->y()));
        if (const auto visible = visibilityOf(name, state))
            widget->setVisible(*visible);
    }
    const QSize size = windowSize(state);
    window.setFixedSize(twips::size(size.width(), size.height()));
    if (auto *frame = window.findChild<QWidget *>(QStringLiteral("Shape5"))) {
        const QSize frameTwips = frameSize(state);
        frame->setGeometry(0, 0, twips::toPixels(frameTwips.width()),
                           twips::toPixels(frameTwips.height()));
    }
}

std::optional<QPoint> optionsMenuPoint(int windowHeightTwips, bool fromLogo)
{
    constexpr int kTop = 550;
    if (fromLogo)
        return QPoint(10, kTop);
    if (windowHeightTwips < 5000)
        return QPoint(11180, kTop);
    if (windowHeightTwips > 10000)
        return QPoint(13900, kTop);
    return std::nullopt;
}

} // namespace windowlayout
