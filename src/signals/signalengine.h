#pragma once

#include "app/clock.h"
#include "signals/signalevaluator.h"

#include <QList>

struct Signal;
class SettingsStore;
class SignalOutput;
class SignalRecipient;
class TrayOptions;

// Evaluates each instrument the polling cycle hands over and delivers what it raises: the
// option filter, the signal list, the export files, the sound and the desktop alert, then the
// recipients (the journal, remote delivery).
class SignalEngine final : public SignalEvaluator
{
public:
    SignalEngine(const SettingsStore &settings, const TrayOptions &options, SignalOutput &output,
                 Clock clock);
    Q_DISABLE_COPY_MOVE(SignalEngine)

    // Reads the configuration and the method ticks afresh, so a change saved in the
    // configurator counts from the next instrument on. The memory is kept after delivery,
    // whatever delivery made of the signals.
    void checkSignal(const IndicatorGrid &grid, SignalMemory &memory,
                     const QString &signalName) override;

    // Delivers one signal; each step stands alone and none reports back. `priceText` is the
    // current price of the record it was raised from, for the recipients.
    void sendsignal(const Signal &signal, const QString &priceText = {});

    // Recipients are handed each delivered signal after the desktop steps, in the order added.
    void addRecipient(SignalRecipient *recipient);

private:
    const SettingsStore &m_settings;
    const TrayOptions &m_options;
    SignalOutput &m_output;
    Clock m_clock;
    QList<SignalRecipient *> m_recipients;
};
