#pragma once

#include <QWidget>

class MarketView;

// Picture3: the area holding the indicator table gMAIN, the pivot panel pivotpic, the
// data-missing panel errpic and the "Updating levels..." panel RefreshPivots, front to back in
// the reverse order.
class TableArea final : public QWidget
{
    Q_OBJECT
public:
    // questionsAddress: the product site's questions-and-answers section, named by errpic.
    TableArea(QWidget *window, MarketView &view, const QString &questionsAddress);
    Q_DISABLE_COPY_MOVE(TableArea)
};
