#include "app/trayowner.h"

#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "app/traymenu.h"
#include "app/version.h"
#include "signals/remotedeliverydialog.h"
#include "signals/signalconfigurator.h"
#include "signals/terminalfoldersdialog.h"

#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QWindow>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

constexpr int kAlternativeConnection = 2;

const QString kRestartQuestion =
    QStringLiteral("Потребуется перезапуск программы, перезапустить сейчас?");
const QString kCompanionFailed = QStringLiteral("Не удалось запустить программу\n%1");

// A window of its own that waits for nothing: made on first use, brought forward after.
template<typename Window, typename... Arguments>
void showOnce(QPointer<Window> &window, Arguments &...arguments)
{
    if (!window) {
        window = new Window(arguments...);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

TrayOwner::TrayOwner(TrayOptions &options, SettingsStore &settings, RemoteDelivery &delivery,
                     QWidget *mainWindow, const QString &programFolder, QWidget *parent)
    : QWidget(parent)
    , m_options(options)
    , m_settings(settings)
    , m_delivery(delivery)
    , m_mainWindow(mainWindow)
    , m_programFolder(programFolder)
    , m_menu(new TrayMenu(options, this))
    , m_icon(new QSystemTrayIcon(this))
    , m_trayAvailable(&QSystemTrayIcon::isSystemTrayAvailable)
{
    setObjectName(QStringLiteral("Form2"));
    m_icon->setObjectName(QStringLiteral("cTray"));
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick)
            restoreWindow();
    });
    connect(m_menu, &TrayMenu::tickChosen, this, [this](TrayOptions::Tick tick) {
        if (tick == TrayOptions::AlwaysTop)
            applyAlwaysOnTop();
    });
    connect(m_menu, &TrayMenu::alternativeRequested, this, &TrayOwner::chooseAlternative);
    connect(m_menu, &TrayMenu::configuratorRequested, this, &TrayOwner::showConfigurator);
    connect(m_menu, &TrayMenu::terminalFoldersRequested, this, &TrayOwner::showTerminalFolders);
    connect(m_menu, &TrayMenu::exitRequested, this, &TrayOwner::exitRequested);
    connect(m_menu, &TrayMenu::journalRequested, this, &TrayOwner::journalRequested);
    connect(m_menu, &TrayMenu::remoteDeliveryRequested, this, &TrayOwner::showRemoteDelivery);
}

TrayOwner::~TrayOwner()
{
    // The dialogs are windows of their own; they go with their owner.
    delete m_configurator.data();
    delete m_terminalFolders.data();
    delete m_remoteDelivery.data();
}

void TrayOwner::load()
{
    m_options.load();
    m_icon->setIcon(m_mainWindow->windowIcon());
    m_icon->setToolTip(QLatin1String(product::kName).left(kToolTipLimit));
    m_icon->show();
}

void TrayOwner::applyAlwaysOnTop()
{
    Qt::WindowFlags flags = m_mainWindow->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, m_options.isTicked(TrayOptions::AlwaysTop));
    if (flags == m_mainWindow->windowFlags())
        return;
    if (QWindow *window = m_mainWindow->windowHandle()) {
        // Told to the platform window directly: changing the widget's flags would hide and
        // re-create the window.
        m_mainWindow->overrideWindowFlags(flags);
        window->setFlags(flags);
    } else {
        m_mainWindow->setWindowFlags(flags);
    }
}

void TrayOwner::popupMenu(const QPoint &globalPosition)
{
    m_menu->popup(globalPosition);
}

bool TrayOwner::minimiseHides() const
{
    return m_options.isTicked(TrayOptions::MinToTray) && m_trayAvailable();
}

bool TrayOwner::closeHides() const
{
    return m_options.isTicked(TrayOptions::MinClose) && m_trayAvailable();
}

void TrayOwner::restoreWindow()
{
    m_mainWindow->showNormal();
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}

void TrayOwner::removeIcon()
{
    m_icon->hide();
}

void TrayOwner::showConfigurator()
{
    showOnce(m_configurator, m_settings);
}

void TrayOwner::showTerminalFolders()
{
    if (m_terminalFolders) {
        m_terminalFolders->raise();
        m_terminalFolders->activateWindow();
        return;
    }
    m_terminalFolders = new TerminalFoldersDialog(m_settings);
    m_terminalFolders->setAttribute(Qt::WA_DeleteOnClose);
    // Modal for the whole program, yet nothing waits here for the answer: OK stores itself.
    m_terminalFolders->setWindowModality(Qt::ApplicationModal);
    m_terminalFolders->show();
}

void TrayOwner::showRemoteDelivery()
{
    showOnce(m_remoteDelivery, m_settings, m_delivery);
}

void TrayOwner::chooseAlternative()
{
    QMessageBox question(QMessageBox::NoIcon, QLatin1String(product::kName), kRestartQuestion,
                         QMessageBox::Yes | QMessageBox::No);
    const int answer = question.exec();
    m_settings.writeNumber(settingskeys::kConnectMethod, kAlternativeConnection);
    if (answer != QMessageBox::Yes)
        return;
    if (startCompanion()) {
        Q_EMIT exitRequested();
        return;
    }
    // Ending now would leave the user with no program at all.
    auto *failed = new QMessageBox(QMessageBox::Warning, QLatin1String(product::kName),
                                   kCompanionFailed.arg(QDir::toNativeSeparators(companionPath())),
                                   QMessageBox::Ok);
    failed->setAttribute(Qt::WA_DeleteOnClose);
    failed->open();
}

SignalConfigurator *TrayOwner::configurator() const
{
    return m_configurator;
}

TerminalFoldersDialog *TrayOwner::terminalFolders() const
{
    return m_terminalFolders;
}

RemoteDeliveryDialog *TrayOwner::remoteDelivery() const
{
    return m_remoteDelivery;
}

void TrayOwner::setTrayAvailable(std::function<bool()> available)
{
    m_trayAvailable = std::move(available);
}

QString TrayOwner::companionPath() const
{
    QString path = m_programFolder + QLatin1Char('/') + QLatin1String(kCompanionName);
#ifdef Q_OS_WIN
    path += QStringLiteral(".exe");
#endif
    return path;
}

bool TrayOwner::startCompanion() const
{
    QProcess companion;
    companion.setProgram(companionPath());
    companion.setWorkingDirectory(m_programFolder);
#ifdef Q_OS_WIN
    // Started minimised, as the companion expects.
    companion.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *arguments) {
        arguments->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        arguments->startupInfo->wShowWindow = SW_SHOWMINIMIZED;
    });
#endif
    return companion.startDetached();
}
