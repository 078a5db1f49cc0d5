#include "market/indicatorarea.h"

#include "app/version.h"
#include "market/indicatortab.h"
#include "market/instrumentcaptionbar.h"
#include "market/markettexts.h"
#include "market/marketview.h"
#include "market/tablearea.h"

void createIndicatorArea(QWidget *window, MarketView &view)
{
    auto *indicators = new IndicatorTab(
        window,
        {QStringLiteral("Picture32"), QStringLiteral("Label14"), QStringLiteral("Label20_1")},
        QLatin1String(markettexts::kIndicatorsTab), 2880);
    auto *pivotPoints = new IndicatorTab(
        window,
        {QStringLiteral("Picture33"), QStringLiteral("Label17"), QStringLiteral("Label20_2")},
        QLatin1String(markettexts::kPivotPointsTab), 5010);
    new InstrumentCaptionBar(window, view);
    new TableArea(window, view, QLatin1String(product::kQuestionsAddress));

    const auto showActiveTab = [indicators, pivotPoints](bool pivotTabActive) {
        indicators->setActive(!pivotTabActive);
        pivotPoints->setActive(pivotTabActive);
    };
    showActiveTab(view.isPivotTabActive());
    QObject::connect(&view, &MarketView::pivotTabActiveChanged, indicators, showActiveTab);
    QObject::connect(indicators, &IndicatorTab::clicked, &view, &MarketView::chooseIndicators);
    QObject::connect(pivotPoints, &IndicatorTab::clicked, &view, &MarketView::choosePivotPoints);
}
