#include "market/indicatortable.h"

#include "market/indicatorgridfill.h"
#include "market/marketview.h"
#include "market/widgetstyle.h"
#include "ui/twips.h"

#include <QHeaderView>

namespace {

constexpr int kLeft = 105;
constexpr qreal kFontPoints = 8.25;

} // namespace

IndicatorTableModel::IndicatorTableModel(const IndicatorGrid &grid, QObject *parent)
    : QAbstractTableModel(parent)
    , m_grid(grid)
{}

int IndicatorTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : IndicatorGrid::kRows;
}

int IndicatorTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : IndicatorGrid::kColumns;
}

QVariant IndicatorTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const GridCell &cell = m_grid.cell(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
        return cell.text;
    case Qt::ForegroundRole:
        return widgetstyle::colour(cell.colour);
    case Qt::FontRole:
        return widgetstyle::arial(kFontPoints, cell.bold);
    case Qt::TextAlignmentRole:
        return index.column() == 0 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                   : QVariant(Qt::AlignCenter);
    default:
        return {};
    }
}

void IndicatorTableModel::refresh()
{
    Q_EMIT dataChanged(index(0, 0), index(IndicatorGrid::kRows - 1, IndicatorGrid::kColumns - 1));
}

IndicatorTable::IndicatorTable(QWidget *parent, MarketView &view)
    : QTableView(parent)
    , m_model(view.visibleGrid())
{
    setObjectName(QStringLiteral("gMAIN"));
    setModel(&m_model);
    setFont(widgetstyle::arial(kFontPoints));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setMinimumSectionSize(0);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setFrameShape(QFrame::Box);
    setStyleSheet(QStringLiteral("QTableView { background: white; gridline-color: #C0C0C0;"
                                 " border: 1px solid #808080; }"));

    int width = 2; // the frame
    for (int column = 0; column < IndicatorGrid::kColumns; ++column) {
        const int pixels = twips::toPixels(gridskeleton::columnWidth(column));
        setColumnWidth(column, pixels);
        width += pixels;
    }
    for (int row = 0; row < IndicatorGrid::kRows; ++row)
        setRowHeight(row, twips::toPixels(gridskeleton::rowHeight(row)));
    setGeometry(
        twips::rect(kLeft, gridskeleton::kTop, 0, gridskeleton::kHeight).adjusted(0, 0, width, 0));
    setVisible(view.isGridVisible());

    connect(&view, &MarketView::visibleGridChanged, &m_model, &IndicatorTableModel::refresh);
    connect(&view, &MarketView::gridVisibleChanged, this, &QWidget::setVisible);
}
