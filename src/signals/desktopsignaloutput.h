#pragma once

#include "signals/signalalert.h"
#include "signals/signaloutput.h"
#include "signals/signalpanel.h"
#include "signals/signalsound.h"

// Delivered signals on the desktop: the main window's list, the sound and the alert.
class DesktopSignalOutput final : public SignalOutput
{
public:
    DesktopSignalOutput(SignalPanel &panel, SignalSound &sound, SignalAlert &alert)
        : m_panel(panel)
        , m_sound(sound)
        , m_alert(alert)
    {}
    Q_DISABLE_COPY_MOVE(DesktopSignalOutput)

    void addToList(const QString &time, const Signal &signal) override
    {
        m_panel.addSignal(time, signal);
    }
    void playSound() override { m_sound.play(); }
    void showAlert(const QString &text, const QString &option) override
    {
        m_alert.show(text, option);
    }

private:
    SignalPanel &m_panel;
    SignalSound &m_sound;
    SignalAlert &m_alert;
};
