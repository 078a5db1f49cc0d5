#include "market/indicatorarea.h"

#include "app/version.h"
#include "market/instrumentcaptionbar.h"
#include "market/markettexts.h"
#include "market/marketview.h"
#include "market/tablearea.h"
#include "ui/tabstrip.h"

namespace {

constexpr int kTabTop = 690;
constexpr int kTabWidth = 2115;

constexpr auto kCentred = TabStrip::CaptionPlace::Centred;
constexpr TabStrip::Design kIndicatorsTab{
    "Picture32", "Label14", 1, markettexts::kIndicatorsTab, 2880, kTabTop, kTabWidth, kCentred,
};
constexpr TabStrip::Design kPivotPointsTab{
    "Picture33", "Label17", 2, markettexts::kPivotPointsTab, 5010, kTabTop, kTabWidth, kCentred,
};

} // namespace

void createIndicatorArea(QWidget *window, MarketView &view)
{
    auto *indicators = new TabStrip(kIndicatorsTab, window);
    auto *pivotPoints = new TabStrip(kPivotPointsTab, window);
    new InstrumentCaptionBar(window, view);
    new TableArea(window, view, QLatin1String(product::kQuestionsAddress));

    const auto showActiveTab = [indicators, pivotPoints](bool pivotTabActive) {
        indicators->setActive(!pivotTabActive);
        pivotPoints->setActive(pivotTabActive);
    };
    showActiveTab(view.isPivotTabActive());
    QObject::connect(&view, &MarketView::pivotTabActiveChanged, indicators, showActiveTab);
    QObject::connect(indicators, &TabStrip::clicked, &view, &MarketView::chooseIndicators);
    QObject::connect(pivotPoints, &TabStrip::clicked, &view, &MarketView::choosePivotPoints);
}
