// The indicator table's repaint with an ordinary record and with one whose summary is a text as
// long as the size cap lets through: the cost of a repaint, whatever the cells hold.

#include "market/indicatorarea.h"
#include "market/marketview.h"
#include "market/serveraccess.h"
#include "recordbuilder.h"

#include "benchfigures.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QWidget>

namespace {

constexpr int kSamples = 21;

double repaintMilliseconds(const QString &record)
{
    MarketView view;
    view.gridrazm();
    QWidget window;
    window.resize(1100, 500);
    createIndicatorArea(&window, view);
    view.loadInd(view.visibleGrid(), 14, record, QStringLiteral("EUR/USD"));
    view.showGrid();
    window.show();
    auto *table = window.findChild<QTableView *>(QStringLiteral("gMAIN"));
    table->grab(); // fonts and caches warm
    QList<double> samples;
    QElapsedTimer clock;
    for (int sample = 0; sample < kSamples; ++sample) {
        clock.start();
        table->grab();
        samples << clock.nsecsElapsed() / 1e6;
    }
    return percentile(samples, 0.5);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString ordinary = RecordBuilder().text();
    // Nearly all of a document at the size cap in one summary field.
    const QString longSummary(int(ServerAccess::kDefaultSizeCap) - 8 * 1024, QLatin1Char('w'));
    const QString withLongCell =
        RecordBuilder().setField(RecordBuilder::overallSummaryLine(3), 1, longSummary).text();
    const double ordinaryMs = repaintMilliseconds(ordinary);
    const double longMs = repaintMilliseconds(withLongCell);
    printFigure("indicator_table_repaint_ms", ordinaryMs, "ms");
    printFigure("indicator_table_repaint_long_cell_ms", longMs, "ms");
    printFigure("indicator_table_repaint_long_cell_ratio", longMs / ordinaryMs, "x");
    return 0;
}
