#pragma once

#include "news/calendar.h"

#include <QTableWidget>

#include <optional>

// "newsgrid": the week's events, one row per event under the fixed header "Date", "Country",
// "Importance", "Event"; events already past in silver.
class CalendarGrid final : public QTableWidget
{
    Q_OBJECT
public:
    explicit CalendarGrid(QWidget *parent);
    Q_DISABLE_COPY_MOVE(CalendarGrid)

    // Rebuilds the rows. The list keeps its scroll position unless `topRow` names another row.
    void showRows(const QList<calendar::Row> &rows, std::optional<int> topRow);

    // First event row in view.
    int topRow() const;
    // Scrolls so that `row` is the first in view, as far as the list reaches.
    void setTopRow(int row);
};
