#pragma once

#include <QDialog>

#include <array>

class QComboBox;
class SettingsStore;

// "Signal configurator" ("Form7"): per option and direction the verdict each timeframe must
// show, and which summary each option reads. OK stores all 45 lists; Cancel and the window's
// close button store nothing.
class SignalConfigurator final : public QDialog
{
    Q_OBJECT
public:
    explicit SignalConfigurator(SettingsStore &settings, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(SignalConfigurator)

    // Stores every list with a selection, in list order; a list showing no selection (its
    // stored value was outside the list) leaves its key as it was.
    void store();

private:
    void build();
    void load();

    SettingsStore &m_settings;
    std::array<QComboBox *, 45> m_lists{}; // "Combo1" .. "Combo45"
};
