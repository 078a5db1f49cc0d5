#include "news/calendargrid.h"

#include "news/gridlook.h"
#include "news/newstexts.h"
#include "ui/look.h"
#include "ui/twips.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTextDocument>

namespace {

using gridlook::kLeft;

// Filled squares, one for low, two for moderate, three for high expected volatility.
QString squares(calendar::Importance importance)
{
    const QChar square(0x25A0);
    switch (importance) {
    case calendar::Importance::High:
        return QString(3, square);
    case calendar::Importance::Moderate:
        return QString(2, square);
    case calendar::Importance::Low:
        return QString(1, square);
    case calendar::Importance::None:
        break;
    }
    return {};
}

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment, const QColor &colour)
{
    QTableWidgetItem *item = gridlook::cell(text, alignment);
    item->setForeground(colour);
    return item;
}

} // namespace

CalendarGrid::CalendarGrid(QWidget *parent)
    : QTableWidget(parent)
{
    setObjectName(QStringLiteral("newsgrid"));
    gridlook::apply(this, {1200, 1500, 1000, 3950});

    setHorizontalHeaderLabels(
        {QLatin1String(newstexts::kDateHeader), QLatin1String(newstexts::kCountryHeader),
         QLatin1String(newstexts::kImportanceHeader), QLatin1String(newstexts::kEventHeader)});
    QHeaderView *header = horizontalHeader();
    header->show();
    QFont bold = font();
    bold.setBold(true);
    header->setFont(bold);
    header->setDefaultAlignment(kLeft);
    header->setFixedHeight(twips::toPixels(gridlook::kRowHeightTwips));
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
}

void CalendarGrid::showRows(const QList<calendar::Row> &rows, std::optional<int> topRow)
{
    const int top = topRow.value_or(this->topRow());
    setUpdatesEnabled(false);
    clearContents();
    setRowCount(int(rows.size()));
    const QFont squaresFont = look::arial(10);
    for (int r = 0; r < int(rows.size()); ++r) {
        const calendar::Row &row = rows.at(r);
        const QColor text = row.past ? look::kLightGrey : QColor(Qt::black);
        setItem(r, 0, cell(row.when, kLeft, text));
        setItem(r, 1, cell(row.country, kLeft, text));
        QTableWidgetItem *importance = cell(squares(row.importance), Qt::AlignCenter,
                                            row.past ? look::kLightGrey : look::kTitleBlue);
        importance->setFont(squaresFont);
        importance->setData(Qt::AccessibleTextRole, row.importanceText);
        // Tips are shown as rich text when they look like it: the server's text stays text.
        if (!row.importanceText.isEmpty())
            importance->setToolTip(Qt::convertFromPlainText(row.importanceText));
        setItem(r, 2, importance);
        setItem(r, 3, cell(row.event, kLeft, text));
    }
    setTopRow(top);
    setUpdatesEnabled(true);
}

int CalendarGrid::topRow() const
{
    return verticalScrollBar()->value();
}

void CalendarGrid::setTopRow(int row)
{
    updateGeometries(); // the scroll range follows new rows only later otherwise
    verticalScrollBar()->setValue(row);
}
