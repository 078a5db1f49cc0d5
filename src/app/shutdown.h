#pragma once

#include "app/catalogue.h"

#include <QString>

#include <array>

class AppState;
class SettingsStore;

// What the main window saves when it closes, taken at that moment.
struct ShutdownSnapshot
{
    std::array<bool, catalogue::kSlotCount> enabled{};
    int selectedIndex = 0;
    int windowHeightTwips = 0;
    QString splitterCaption; // "3" navigator shown, "4" folded
};

ShutdownSnapshot snapshotOf(const AppState &state, int windowHeightTwips,
                            const QString &splitterCaption);

// Stores the enabled flags of 0-62, the selection, the layout by window height and the fold by
// the splitter caption. Each step stands alone.
void storeAtShutdown(SettingsStore &settings, const ShutdownSnapshot &snapshot);
