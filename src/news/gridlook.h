#pragma once

#include <Qt>

#include <initializer_list>

class QString;
class QTableWidget;
class QTableWidgetItem;

// The look the news panel's two grids share: white, plain 8.25 pt sans-serif, rows 480 twips
// high, whole rows selected in #298FCC, scrolled row by row, read-only.
namespace gridlook {

inline constexpr int kRowHeightTwips = 480;
inline constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;

void apply(QTableWidget *grid, std::initializer_list<int> columnWidthsTwips);

// A read-only cell with its text aligned as given.
QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment);

} // namespace gridlook
