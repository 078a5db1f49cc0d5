#include "news/gridlook.h"

#include "ui/look.h"
#include "ui/twips.h"

#include <QHeaderView>
#include <QTableWidget>

namespace gridlook {

void apply(QTableWidget *grid, std::initializer_list<int> columnWidthsTwips)
{
    grid->setColumnCount(int(columnWidthsTwips.size()));
    grid->setFont(look::textFont());
    grid->setFrameShape(QFrame::NoFrame);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setWordWrap(false);
    grid->setTabKeyNavigation(false);

    QPalette palette = grid->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Highlight, look::kPanelBlue);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    grid->setPalette(palette);

    QHeaderView *rows = grid->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(0);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(twips::toPixels(kRowHeightTwips));
    QHeaderView *columns = grid->horizontalHeader();
    columns->hide();
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setMinimumSectionSize(0);
    int column = 0;
    for (int width : columnWidthsTwips)
        grid->setColumnWidth(column++, twips::toPixels(width));
}

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    return item;
}

} // namespace gridlook
