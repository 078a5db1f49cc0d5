#include "news/articlegrid.h"

#include "news/gridlook.h"
#include "news/newstexts.h"
#include "ui/look.h"

#include <QMouseEvent>

using gridlook::cell;
using gridlook::kLeft;

ArticleGrid::ArticleGrid(QWidget *parent)
    : QTableWidget(parent)
{
    setObjectName(QStringLiteral("nrgrid"));
    gridlook::apply(this, {1200, 4950, 1500});
    setMouseTracking(true);
    viewport()->setMouseTracking(true);

    connect(this, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (m_overLink)
            requestArticle(row);
    });
    connect(this, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { requestArticle(row); });
}

void ArticleGrid::showRows(const QList<articlelist::Row> &rows)
{
    setUpdatesEnabled(false);
    clearContents();
    setRowCount(0);
    setRowCount(int(rows.size()));
    QFont linkFont = font();
    linkFont.setUnderline(true);
    for (int r = 0; r < int(rows.size()); ++r) {
        const articlelist::Row &row = rows.at(r);
        QTableWidgetItem *when = cell(row.when, kLeft);
        when->setData(Qt::UserRole, row.number);
        setItem(r, 0, when);
        setItem(r, 1, cell(row.headline, kLeft));
        QTableWidgetItem *link =
            cell(QLatin1String(newstexts::kReadMore), Qt::AlignRight | Qt::AlignVCenter);
        link->setFont(linkFont);
        link->setForeground(look::kPanelBlue);
        setItem(r, kLinkColumn, link);
    }
    setUpdatesEnabled(true);
}

void ArticleGrid::mouseMoveEvent(QMouseEvent *event)
{
    trackPointer(event->position().toPoint());
    QTableWidget::mouseMoveEvent(event);
}

void ArticleGrid::mousePressEvent(QMouseEvent *event)
{
    // A press without a move before it (touch, a click right after the list was rebuilt)
    // still counts where it lands.
    trackPointer(event->position().toPoint());
    QTableWidget::mousePressEvent(event);
}

void ArticleGrid::leaveEvent(QEvent *event)
{
    m_overLink = false;
    viewport()->unsetCursor();
    QTableWidget::leaveEvent(event);
}

void ArticleGrid::trackPointer(const QPoint &viewportPosition)
{
    m_overLink = columnAt(viewportPosition.x()) == kLinkColumn && rowAt(viewportPosition.y()) >= 0;
    if (m_overLink)
        viewport()->setCursor(Qt::PointingHandCursor);
    else
        viewport()->unsetCursor();
}

void ArticleGrid::requestArticle(int row)
{
    const QTableWidgetItem *when = item(row, 0);
    if (when)
        Q_EMIT articleRequested(when->data(Qt::UserRole).toInt());
}
