#include "market/indicatortable.h"

#include "market/indicatorgridfill.h"
#include "market/marketview.h"
#include "ui/look.h"
#include "ui/twips.h"

#include <QFontMetrics>
#include <QHeaderView>

namespace {

constexpr int kLeft = 105;
constexpr int kCoveringPanelsBottom = 60 + 5145; // pivotpic and errpic
constexpr qreal kFontPoints = 8.25;
constexpr int kCellPadding = 8; // pixels the view keeps free around a cell's text
// A text that does not fit is shown from its start: this many characters fill any cell, and
// laying out a longer one at every repaint would cost the whole text.
constexpr qsizetype kShownCharacters = 256;
// A tip shows this much of a longer text.
constexpr qsizetype kTipCharacters = 1000;

} // namespace

IndicatorTableModel::IndicatorTableModel(const IndicatorGrid &grid, TextWidth textWidth,
                                         QObject *parent)
    : QAbstractTableModel(parent)
    , m_grid(grid)
    , m_textWidth(
          textWidth ? std::move(textWidth)
                    : [](const QString &text,
                         const QFont &font) { return QFontMetrics(font).horizontalAdvance(text); })
    , m_font(look::arial(kFontPoints))
    , m_boldFont(look::arial(kFontPoints, true))
{
    measure();
}

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
        return fitOf(index).shown;
    case Qt::ForegroundRole:
        return look::fromRgb(cell.colour);
    case Qt::FontRole:
        return fontOf(cell.bold);
    case Qt::TextAlignmentRole:
        if (index.column() == 0 || !fits(index))
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        return QVariant(Qt::AlignCenter);
    case Qt::ToolTipRole:
        if (!fits(index))
            return fitOf(index).tip;
        return {};
    default:
        return {};
    }
}

void IndicatorTableModel::measure()
{
    for (int row = 0; row < IndicatorGrid::kRows; ++row) {
        for (int column = 0; column < IndicatorGrid::kColumns; ++column) {
            const GridCell &cell = m_grid.cell(row, column);
            Fit &fit = m_fits[row][column];
            if (fit.text == cell.text && fit.bold == cell.bold)
                continue;
            const int room = twips::toPixels(gridskeleton::columnWidth(column)) - kCellPadding;
            fit.text = cell.text;
            fit.bold = cell.bold;
            fit.fits = m_textWidth(cell.text, fontOf(cell.bold)) <= room;
            fit.shown = fit.fits ? cell.text : cell.text.left(kShownCharacters);
            fit.tip = cell.text.size() > kTipCharacters
                          ? cell.text.left(kTipCharacters) + QChar(0x2026)
                          : cell.text;
        }
    }
}

void IndicatorTableModel::refresh()
{
    measure();
    Q_EMIT dataChanged(index(0, 0), index(IndicatorGrid::kRows - 1, IndicatorGrid::kColumns - 1));
}

IndicatorTable::IndicatorTable(QWidget *parent, MarketView &view)
    : QTableView(parent)
    , m_model(view.visibleGrid())
{
    setObjectName(QStringLiteral("gMAIN"));
    setModel(&m_model);
    setFont(look::arial(kFontPoints));
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
    setStyleSheet(QStringLiteral("QTableView { background: white; gridline-color: %1;"
                                 " border: 1px solid %2; }")
                      .arg(look::kLightGrey.name(), look::kInactiveGrey.name()));

    int width = 2; // the frame
    for (int column = 0; column < IndicatorGrid::kColumns; ++column) {
        const int pixels = twips::toPixels(gridskeleton::columnWidth(column));
        setColumnWidth(column, pixels);
        width += pixels;
    }
    for (int row = 0; row < IndicatorGrid::kRows; ++row)
        setRowHeight(row, twips::toPixels(gridskeleton::rowHeight(row)));
    // The table reaches 10 twips below the panels laid over it; rounded to pixels its lower edge
    // would show beneath them as a stray line, so it ends where they end.
    const int top = twips::toPixels(gridskeleton::kTop);
    const int bottom = std::min(twips::toPixels(gridskeleton::kTop + gridskeleton::kHeight),
                                twips::toPixels(kCoveringPanelsBottom));
    setGeometry(twips::toPixels(kLeft), top, width, bottom - top);
    setVisible(view.isGridVisible());

    connect(&view, &MarketView::visibleGridChanged, &m_model, &IndicatorTableModel::refresh);
    connect(&view, &MarketView::gridVisibleChanged, this, &QWidget::setVisible);
}
