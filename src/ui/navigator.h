#pragma once

#include "app/catalogue.h"
#include "ui/navigatorrules.h"

#include <QWidget>

#include <array>

class AppState;
class GroupHeader;
class NavigatorRow;

// The instrument navigator `nav`: the catalogue's instruments under five collapsible group
// headers, at most one group open. It shows the selection and the enabled flags held in
// AppState and turns clicks and keys into calls: a selection is requested from the
// application (selectRequested), which fetches and shows the instrument.
class Navigator final : public QWidget
{
    Q_OBJECT
public:
    Navigator(AppState &state, QWidget *parent);
    Q_DISABLE_COPY_MOVE(Navigator)

    // Every group collapsed, headers stacked, every row hidden.
    void collapseAll();
    // Captions from the catalogue; the reserved slot's row is hidden for good.
    void fillFromCatalogue();

    // Opens group g, closing the one open before; collapses everything if g is the open one.
    void toggleGroup(int group);
    void toggleInstrument(int index);
    // The open group, or navigatorrules::kNoGroup.
    int expandedGroup() const;
    bool isCollapsed(int group) const;

    // Selects as a click on the row would.
    void select(int index);
    void handleKey(navigatorrules::Key key);
    // The instrument of a signal-list text such as "SELL Oil (WTI)": selected, and its group
    // opened when collapsed. A text that names no instrument changes nothing.
    void openInstrumentOf(const QString &signalText);

    NavigatorRow *row(int index) const { return m_rows.at(index); }

Q_SIGNALS:
    void selectRequested(int index);

private:
    void showSelection(int index);
    void showEnabled(int index, bool enabled);

    AppState &m_state;
    std::array<NavigatorRow *, catalogue::kSlotCount> m_rows{};
    std::array<GroupHeader *, catalogue::kGroupCount> m_headers{};
    int m_highlighted = -1;
};
