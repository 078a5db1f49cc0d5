#include "app/traymenu.h"

#include "signals/deliverytexts.h"
#include "signals/journaltexts.h"

TrayMenu::TrayMenu(TrayOptions &options, QWidget *parent)
    : QMenu(QStringLiteral("[Tray]"), parent)
    , m_options(options)
{
    setObjectName(QStringLiteral("pmnuTray"));

    QMenu *filters = addSubmenu("mnuFilter", QStringLiteral("Show signals"));
    addTick(filters, "mnuFilter3", QStringLiteral("Option 1"), TrayOptions::Filter3);
    addTick(filters, "mnuFilter2", QStringLiteral("Option 2"), TrayOptions::Filter2);
    addTick(filters, "mnuFilter1", QStringLiteral("Option 3"), TrayOptions::Filter1);
    addSeparator();

    QMenu *method = addSubmenu("mnuMethod", QStringLiteral("Method of receiving signals"));
    addTick(method, "mnuMethod1", QStringLiteral("When changes indicators values"),
            TrayOptions::Method1);
    addTick(method, "mnuMethod2", QStringLiteral("Every minute when the trend continues"),
            TrayOptions::Method2);
    addSeparator();

    // Choosing the connection method is the companion program's business: the ticks stay.
    QMenu *connection = addSubmenu("mnuConnectsMethod", QStringLiteral("Connection method"));
    addFixedTick(connection, "mnuConnect1", QStringLiteral("Standart"), true);
    connect(addFixedTick(connection, "mnuConnect2", QStringLiteral("Alternative"), false),
            &QAction::triggered, this, &TrayMenu::alternativeRequested);
    connection->addSeparator();
    addTick(connection, "mnuAskConnect", QStringLiteral("Do not ask at startup"),
            TrayOptions::AskConnect);
    addSeparator();

    addTick(this, "mnuSound", QStringLiteral("Sound on/off"), TrayOptions::Sound);
    addTick(this, "mnuTraySignal", QStringLiteral("Show signals in tray"), TrayOptions::TraySignal);
    addTick(this, "mnuMinTray", QStringLiteral("Minimize to tray"), TrayOptions::MinToTray);
    addTick(this, "mnuMinClose", QStringLiteral("Minimize to tray when click Close (X)"),
            TrayOptions::MinClose);
    addTick(this, "mnuAlwaysTop", QStringLiteral("Window always on top"), TrayOptions::AlwaysTop);
    addSeparator();

    connect(addCommand(this, "mnuConfigSignals", QStringLiteral("Signal configurator...")),
            &QAction::triggered, this, &TrayMenu::configuratorRequested);
    addSeparator();

    addTick(this, "mnuSaveLog", QStringLiteral("Передавать сигналы в продукты Bravik"),
            TrayOptions::SaveLog);
    connect(addCommand(this, "mnuLogPath", QStringLiteral("Папки терминалов для обмена...")),
            &QAction::triggered, this, &TrayMenu::terminalFoldersRequested);
    addSeparator();

    QAction *exit = addCommand(this, "mnuExit", QStringLiteral("Exit"));
    setDefaultAction(exit); // shown in bold
    connect(exit, &QAction::triggered, this, &TrayMenu::exitRequested);
    // Later windows come after every item the menu has always had.
    addSeparator();
    connect(addCommand(this, "mnuJournal", QString::fromUtf8(journaltexts::kMenuItem)),
            &QAction::triggered, this, &TrayMenu::journalRequested);
    connect(addCommand(this, "mnuRemoteDelivery", QLatin1String(deliverytexts::kMenuItem)),
            &QAction::triggered, this, &TrayMenu::remoteDeliveryRequested);

    connect(&m_options, &TrayOptions::tickChanged, this, [this](TrayOptions::Tick tick, bool on) {
        if (QAction *action = m_tickActions.at(tick))
            action->setChecked(on);
    });
}

QAction *TrayMenu::tickAction(TrayOptions::Tick tick) const
{
    return m_tickActions.at(tick);
}

QAction *TrayMenu::addTick(QMenu *menu, const char *name, const QString &caption,
                           TrayOptions::Tick tick)
{
    QAction *action = addCommand(menu, name, caption);
    action->setCheckable(true);
    action->setChecked(m_options.isTicked(tick));
    // The action has flipped its own tick; the options store it (the methods tick themselves).
    connect(action, &QAction::triggered, this, [this, tick](bool checked) {
        m_options.choose(tick, checked);
        m_tickActions.at(tick)->setChecked(m_options.isTicked(tick));
        Q_EMIT tickChosen(tick);
    });
    m_tickActions[tick] = action;
    return action;
}

QAction *TrayMenu::addCommand(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QMenu *TrayMenu::addSubmenu(const char *name, const QString &title)
{
    QMenu *menu = addMenu(title);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QAction *TrayMenu::addFixedTick(QMenu *menu, const char *name, const QString &caption, bool ticked)
{
    QAction *action = addCommand(menu, name, caption);
    action->setCheckable(true);
    action->setChecked(ticked);
    connect(action, &QAction::triggered, action, [action, ticked] { action->setChecked(ticked); });
    return action;
}
