#include "app/shutdown.h"

#include "app/appstate.h"
#include "app/settingskeys.h"
#include "app/settingsstore.h"

namespace {

constexpr int kCompactBelowTwips = 5000;
constexpr int kFullAboveTwips = 10000;

} // namespace

ShutdownSnapshot snapshotOf(const AppState &state, int windowHeightTwips,
                            const QString &splitterCaption)
{
    ShutdownSnapshot snapshot;
    for (int index : catalogue::allSlots())
        snapshot.enabled[index] = state.isEnabled(index);
    snapshot.selectedIndex = state.selectedIndex();
    snapshot.windowHeightTwips = windowHeightTwips;
    snapshot.splitterCaption = splitterCaption;
    return snapshot;
}

void storeAtShutdown(SettingsStore &settings, const ShutdownSnapshot &snapshot)
{
    const SettingsStore::Batch batch(settings);
    for (int index : catalogue::allSlots())
        settings.writeEnabled(index, snapshot.enabled[index]);

    settings.writeNumber(settingskeys::kInstrumentsSelected, snapshot.selectedIndex);

    if (snapshot.windowHeightTwips < kCompactBelowTwips)
        settings.writeText(settingskeys::kCompactMode, QStringLiteral("1"));
    else if (snapshot.windowHeightTwips > kFullAboveTwips)
        settings.writeText(settingskeys::kCompactMode, QStringLiteral("0"));

    if (snapshot.splitterCaption == QLatin1String("4"))
        settings.writeText(settingskeys::kSplit, QStringLiteral("1"));
    else if (snapshot.splitterCaption == QLatin1String("3"))
        settings.writeText(settingskeys::kSplit, QStringLiteral("0"));
}
