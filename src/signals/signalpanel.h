#pragma once

#include "app/trayoptions.h"

#include <QObject>

#include <array>

class AppState;
class QCheckBox;
class QMenu;
class QTableView;
class QWidget;
class SettingsStore;
class SignalListModel;
struct Signal;

// The signal panel of the main window: the title bar "Picture5" with the signal option boxes
// and the "?" label, and the list area "Picture8" holding the signal list "signalgrid". Both
// are children of the window at their full-layout places; the window's layout moves them. The
// panel itself belongs to the window too.
class SignalPanel final : public QObject
{
    Q_OBJECT
public:
    SignalPanel(QWidget *window, TrayOptions &options, const AppState &state);
    Q_DISABLE_COPY_MOVE(SignalPanel)

    // Start-up: the list's header ("Time", "Signal", "Signal option" over an empty band).
    void buildHeader();
    // Start-up: each option box from its setting; a box that changes acts as if clicked.
    void loadFilters(const SettingsStore &settings);

    void addSignal(const QString &time, const Signal &signal);

    QWidget *titleBar() const { return m_titleBar; }
    QTableView *list() const { return m_list; }
    // The list's context menu.
    QMenu *listMenu() const { return m_listMenu; }
    SignalListModel *model() const { return m_model; }

Q_SIGNALS:
    // "Signal journal..." in the list's context menu.
    void journalRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildTitleBar();
    void buildList();
    void returnFocus();

    QWidget *m_window;
    TrayOptions &m_options;
    const AppState &m_state;
    QWidget *m_titleBar = nullptr;
    QWidget *m_listArea = nullptr;
    QTableView *m_list = nullptr;
    QMenu *m_listMenu = nullptr;
    SignalListModel *m_model = nullptr;
    std::array<QCheckBox *, 3> m_boxes{}; // "Filter3", "Filter2", "Filter1"
};
