#include "market/marketview.h"

#include "market/indicatorgridfill.h"
#include "market/instrumentrecord.h"

MarketView::MarketView(QObject *parent)
    : QObject(parent)
{}

void MarketView::gridrazm()
{
    ::gridrazm(m_visibleGrid);
    Q_EMIT visibleGridChanged();
}

bool MarketView::loadInd(IndicatorGrid &grid, int key, const QString &record, const QString &pair)
{
    const InstrumentRecord lines(record);
    const bool completed = ::loadInd(grid, key, lines);
    if (&grid == &m_visibleGrid)
        Q_EMIT visibleGridChanged();
    if (!pair.isEmpty()) {
        const CaptionBarState bar = captionAfterFill(pair, completed, grid.text(0, 0));
        setCaption(bar.caption);
        setDataMissingVisible(bar.dataMissing);
    }
    if (!completed)
        return false; // the pivot panel keeps what it showed, visibility included

    m_pivots = placePivots(m_pivots, lines);
    Q_EMIT pivotsChanged();
    // A rewritten pivot panel shows only under its own tab.
    setPivotPanelVisible(m_pivotTabActive);
    return true;
}

void MarketView::chooseIndicators()
{
    if (m_pivotTabActive) {
        m_pivotTabActive = false;
        Q_EMIT pivotTabActiveChanged(false);
    }
    setPivotPanelVisible(false);
    setRefreshPanelVisible(false);
}

void MarketView::choosePivotPoints()
{
    setPivotPanelVisible(true);
    if (!m_pivotTabActive) {
        m_pivotTabActive = true;
        Q_EMIT pivotTabActiveChanged(true);
    }
}

void MarketView::setPivotPanelVisible(bool visible)
{
    if (m_pivotPanelVisible == visible)
        return;
    m_pivotPanelVisible = visible;
    Q_EMIT pivotPanelVisibleChanged(visible);
}

void MarketView::setRefreshPanelVisible(bool visible)
{
    if (m_refreshPanelVisible == visible)
        return;
    m_refreshPanelVisible = visible;
    Q_EMIT refreshPanelVisibleChanged(visible);
}

void MarketView::setStatus(ConnectionStatus status)
{
    if (m_status == status)
        return;
    m_status = status;
    Q_EMIT statusChanged(status);
}

void MarketView::setGridVisible(bool visible)
{
    if (m_gridVisible == visible)
        return;
    m_gridVisible = visible;
    Q_EMIT gridVisibleChanged(visible);
}

void MarketView::setCaption(const QString &caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    Q_EMIT captionChanged(caption);
}

void MarketView::setDataMissingVisible(bool visible)
{
    if (m_dataMissingVisible == visible)
        return;
    m_dataMissingVisible = visible;
    Q_EMIT dataMissingVisibleChanged(visible);
}
