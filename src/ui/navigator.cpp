#include "ui/navigator.h"

#include "app/appstate.h"
#include "ui/glyphlabel.h"
#include "ui/navigatorwidgets.h"
#include "ui/twips.h"

namespace {

const QString kCollapsed = QStringLiteral("4");
const QString kExpanded = QStringLiteral("6");

} // namespace

Navigator::Navigator(AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
{
    setObjectName(QStringLiteral("nav"));
    for (int i = 0; i < catalogue::kSlotCount; ++i) {
        auto *row = new NavigatorRow(i, this);
        m_rows[i] = row;
        connect(row, &NavigatorRow::clicked, this, &Navigator::select);
        connect(row, &NavigatorRow::keyMove, this, &Navigator::handleKey);
        connect(row->enableSquare(), &EnableSquare::clicked, this,
                [this, i] { toggleInstrument(i); });
        showEnabled(i, m_state.isEnabled(i));
    }
    for (int g = 0; g < catalogue::kGroupCount; ++g) {
        m_headers[g] = new GroupHeader(g, this);
        connect(m_headers[g], &GroupHeader::clicked, this, &Navigator::toggleGroup);
    }
    collapseAll();
    connect(&m_state, &AppState::enabledChanged, this, &Navigator::showEnabled);
    connect(&m_state, &AppState::selectedIndexChanged, this, &Navigator::showSelection);
}

void Navigator::collapseAll()
{
    const auto tops = navigatorrules::headerTops(navigatorrules::kNoGroup);
    for (int g = 0; g < catalogue::kGroupCount; ++g) {
        m_headers[g]->marker()->setText(kCollapsed);
        m_headers[g]->move(0, twips::toPixels(tops[g]));
    }
    for (NavigatorRow *row : m_rows)
        row->hide();
}

void Navigator::fillFromCatalogue()
{
    for (int i = 0; i < catalogue::kInstrumentCount; ++i)
        m_rows[i]->setCaption(catalogue::displayCaption(i));
    m_rows[catalogue::kReservedIndex]->hide();
}

void Navigator::toggleGroup(int group)
{
    if (!isCollapsed(group)) {
        collapseAll();
        return;
    }
    for (GroupHeader *header : m_headers)
        header->marker()->setText(kCollapsed);
    m_headers[group]->marker()->setText(kExpanded);
    const auto tops = navigatorrules::headerTops(group);
    for (int g = 0; g < catalogue::kGroupCount; ++g)
        m_headers[g]->move(0, twips::toPixels(tops[g]));
    for (int i = 0; i < catalogue::kInstrumentCount; ++i) {
        const bool member = catalogue::groupOf(i) == group;
        if (member)
            m_rows[i]->move(0, twips::toPixels(navigatorrules::rowTop(i)));
        m_rows[i]->setVisible(member);
    }
}

void Navigator::toggleInstrument(int index)
{
    m_state.setEnabled(index, !m_state.isEnabled(index));
}

int Navigator::expandedGroup() const
{
    for (int g = 0; g < catalogue::kGroupCount; ++g) {
        if (!isCollapsed(g))
            return g;
    }
    return navigatorrules::kNoGroup;
}

bool Navigator::isCollapsed(int group) const
{
    return m_headers.at(group)->marker()->text() != kExpanded;
}

void Navigator::select(int index)
{
    Q_EMIT selectRequested(index);
}

void Navigator::handleKey(navigatorrules::Key key)
{
    const int selected = m_state.selectedIndex();
    const navigatorrules::KeyMove move = navigatorrules::keyMove(key, selected);
    if (move.toggleSelected)
        toggleInstrument(selected);
    if (move.openGroup)
        toggleGroup(*move.openGroup);
    if (move.select)
        select(*move.select);
}

void Navigator::openInstrumentOf(const QString &signalText)
{
    const int index = catalogue::indexOfSignalText(signalText);
    if (index < 0)
        return;
    select(index);
    const int group = catalogue::groupOf(index);
    if (isCollapsed(group))
        toggleGroup(group);
}

void Navigator::showSelection(int index)
{
    if (m_highlighted >= 0)
        m_rows[m_highlighted]->setHighlighted(false);
    m_highlighted = index;
    NavigatorRow *row = m_rows.at(index);
    row->setHighlighted(true);
    // Shown even before its group opens, so that the restored selection takes the focus.
    row->show();
    row->setFocus();
}

void Navigator::showEnabled(int index, bool enabled)
{
    m_rows.at(index)->enableSquare()->setOn(enabled);
}
