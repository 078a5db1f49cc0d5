#pragma once

#include "app/trayoptions.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QSystemTrayIcon;
class RemoteDelivery;
class RemoteDeliveryDialog;
class SettingsStore;
class SignalConfigurator;
class TerminalFoldersDialog;
class TrayMenu;

// The hidden owner "Form2": keeps the notification-area icon "cTray" and the option menu
// "pmnuTray", and carries out the menu's commands on the main window.
class TrayOwner final : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kToolTipLimit = 63;
    static constexpr char kCompanionName[] = "quentara_2";

    TrayOwner(TrayOptions &options, SettingsStore &settings, RemoteDelivery &delivery,
              QWidget *mainWindow, const QString &programFolder, QWidget *parent = nullptr);
    ~TrayOwner() override;
    Q_DISABLE_COPY_MOVE(TrayOwner)

    // Start-up: the menu's ticks from the settings, then the main window's icon in the
    // notification area.
    void load();
    // Makes the main window stay on top, or not, as "Window always on top" is ticked, without
    // moving or resizing it.
    void applyAlwaysOnTop();

    // The option menu at a screen position.
    void popupMenu(const QPoint &globalPosition);

    // Whether minimising or closing the main window hides it to the notification area. Only
    // where an icon can bring it back: without a notification area the window minimises and
    // the close button ends the program.
    bool minimiseHides() const;
    bool closeHides() const;

    // Shows the main window again in its normal state.
    void restoreWindow();
    // Takes the icon out of the notification area (Exit).
    void removeIcon();

    void showConfigurator();
    void showTerminalFolders();
    void showRemoteDelivery();
    // "Alternative": asks to restart with the companion program; "ConnectMethod" becomes "2"
    // whatever the answer.
    void chooseAlternative();

    // Where the desktop has no notification area (tests replace the question).
    void setTrayAvailable(std::function<bool()> available);

    TrayMenu *menu() const { return m_menu; }
    QSystemTrayIcon *icon() const { return m_icon; }
    // The dialogs while they are open.
    SignalConfigurator *configurator() const;
    TerminalFoldersDialog *terminalFolders() const;
    RemoteDeliveryDialog *remoteDelivery() const;

Q_SIGNALS:
    // Exit, or the companion program took over.
    void exitRequested();
    // "Signal journal...".
    void journalRequested();

private:
    QString companionPath() const;
    bool startCompanion() const;

    TrayOptions &m_options;
    SettingsStore &m_settings;
    RemoteDelivery &m_delivery;
    QWidget *m_mainWindow;
    QString m_programFolder;
    TrayMenu *m_menu;
    QSystemTrayIcon *m_icon;
    std::function<bool()> m_trayAvailable;
    QPointer<SignalConfigurator> m_configurator;
    QPointer<TerminalFoldersDialog> m_terminalFolders;
    QPointer<RemoteDeliveryDialog> m_remoteDelivery;
};
