#pragma once

#include "app/trayoptions.h"

#include <QMenu>

// The option menu "pmnuTray": the notification-area icon's menu and the main window's
// "Options". Its ticks show and change TrayOptions, which stores each change at once; the
// other items are passed on as requests.
class TrayMenu final : public QMenu
{
    Q_OBJECT
public:
    explicit TrayMenu(TrayOptions &options, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(TrayMenu)

    QAction *tickAction(TrayOptions::Tick tick) const;

Q_SIGNALS:
    void tickChosen(TrayOptions::Tick tick);
    void alternativeRequested();
    void configuratorRequested();
    void terminalFoldersRequested();
    void exitRequested();
    void journalRequested();
    void remoteDeliveryRequested();

private:
    QAction *addTick(QMenu *menu, const char *name, const QString &caption, TrayOptions::Tick tick);
    QAction *addCommand(QMenu *menu, const char *name, const QString &caption);
    QMenu *addSubmenu(const char *name, const QString &title);
    // An item whose tick never changes, whatever is clicked.
    QAction *addFixedTick(QMenu *menu, const char *name, const QString &caption, bool ticked);

    TrayOptions &m_options;
    std::array<QAction *, TrayOptions::TickCount> m_tickActions{};
};
