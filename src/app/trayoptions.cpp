#include "app/trayoptions.h"

#include "app/settingskeys.h"
#include "app/settingsstore.h"

namespace {

constexpr int kMethodOne = 1;
constexpr int kMethodTwo = 2;

// Boolean options stored as "True" / "False", with the value used when nothing is stored.
struct BoolOption
{
    TrayOptions::Tick tick;
    const char *key;
    bool defaultValue;
};

constexpr BoolOption kBoolOptions[] = {
    {TrayOptions::Filter1, settingskeys::kFilter1, true},
    {TrayOptions::Filter2, settingskeys::kFilter2, true},
    {TrayOptions::Filter3, settingskeys::kFilter3, true},
    {TrayOptions::Sound, settingskeys::kSound, true},
    {TrayOptions::AlwaysTop, settingskeys::kAlwaysTop, false},
    {TrayOptions::MinToTray, settingskeys::kMinToTray, false},
    {TrayOptions::MinClose, settingskeys::kMinClose, false},
    {TrayOptions::TraySignal, settingskeys::kTraySignal, true},
    // Written as a flag "1" / "0" but read as a boolean.
    {TrayOptions::AskConnect, settingskeys::kAskConnectMethod, false},
};

const BoolOption *boolOption(TrayOptions::Tick tick)
{
    for (const BoolOption &option : kBoolOptions) {
        if (option.tick == tick)
            return &option;
    }
    return nullptr;
}

} // namespace

TrayOptions::TrayOptions(SettingsStore &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
{}

TrayOptions::Tick TrayOptions::filterOf(int option)
{
    return option == 1 ? Filter3 : option == 2 ? Filter2 : Filter1;
}

void TrayOptions::load()
{
    for (const BoolOption &option : kBoolOptions)
        setTicked(option.tick, m_settings.readBool(option.key, option.defaultValue));
    setTicked(SaveLog, m_settings.readFlag(settingskeys::kSaveLog));
}

void TrayOptions::loadMethod()
{
    const int method =
        m_settings.readNumber(settingskeys::kMethod, kMethodOne, kMethodOne, kMethodTwo);
    // An unusable stored value reads as the default, which is what the menu shows anyway.
    setTicked(Method1, method == kMethodOne);
    setTicked(Method2, method == kMethodTwo);
}

void TrayOptions::choose(Tick tick, bool ticked)
{
    switch (tick) {
    case Method1:
    case Method2:
        setTicked(Method1, tick == Method1);
        setTicked(Method2, tick == Method2);
        m_settings.writeNumber(settingskeys::kMethod, tick == Method1 ? kMethodOne : kMethodTwo);
        return;
    case AskConnect:
        setTicked(tick, ticked);
        m_settings.writeFlag(settingskeys::kAskConnectMethod, ticked);
        return;
    case SaveLog:
        setTicked(tick, ticked);
        m_settings.writeFlag(settingskeys::kSaveLog, ticked);
        return;
    default:
        setTicked(tick, ticked);
        if (const BoolOption *option = boolOption(tick))
            m_settings.writeBool(option->key, ticked);
        return;
    }
}

void TrayOptions::setTicked(Tick tick, bool ticked)
{
    if (m_ticks.at(tick) == ticked)
        return;
    m_ticks[tick] = ticked;
    Q_EMIT tickChanged(tick, ticked);
}
