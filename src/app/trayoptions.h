#pragma once

#include <QObject>

#include <array>

class SettingsStore;

// The live copy of the option menu's ticks. The menu, the signal option boxes and the signal
// engine read and change them here; the settings store keeps them between runs.
class TrayOptions final : public QObject
{
    Q_OBJECT
public:
    enum Tick : int
    {
        Filter1, // option 3 signals shown
        Filter2, // option 2
        Filter3, // option 1
        Method1, // "When changes indicators values"
        Method2, // "Every minute when the trend continues"
        AskConnect,
        Sound,
        TraySignal,
        MinToTray,
        MinClose,
        AlwaysTop,
        SaveLog,
        TickCount
    };
    Q_ENUM(Tick)

    explicit TrayOptions(SettingsStore &settings, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(TrayOptions)

    bool isTicked(Tick tick) const { return m_ticks.at(tick); }
    // The filter tick of a signal option "1", "2" or "3".
    static Tick filterOf(int option);

    // Ticks every option from the store; the method is taken separately (loadMethod).
    void load();
    // "Method" 1 ticks Method1 only, 2 ticks Method2 only; anything else keeps the ticks.
    void loadMethod();

    // A user's choice: ticks it and stores it at once in its stored form. Choosing either
    // method ticks it alone, whatever was passed.
    void choose(Tick tick, bool ticked);

Q_SIGNALS:
    void tickChanged(TrayOptions::Tick tick, bool ticked);

private:
    void setTicked(Tick tick, bool ticked);

    SettingsStore &m_settings;
    // As the menu is designed: all three options, Method 1, sound and desktop alerts.
    std::array<bool, TickCount> m_ticks{true, true, true,  true,  false, false,
                                        true, true, false, false, false, false};
};
