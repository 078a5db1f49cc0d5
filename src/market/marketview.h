#pragma once

#include "market/indicatorgrid.h"
#include "market/pivotplacement.h"

#include <QObject>
#include <QString>

enum class ConnectionStatus
{
    Connecting,
    Online,
    Offline,
};

// What the indicator area shows: the visible indicator table and its caption bar, the
// data-missing panel, the pivot panel with its tab and "Updating levels..." panel, and the
// connection status. Widgets observe it; the polling cycle and the tabs change it.
class MarketView final : public QObject
{
    Q_OBJECT
public:
    explicit MarketView(QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(MarketView)

    // The visible table, gMAIN.
    const IndicatorGrid &visibleGrid() const { return m_visibleGrid; }
    IndicatorGrid &visibleGrid() { return m_visibleGrid; }
    void gridrazm();
    bool isGridVisible() const { return m_gridVisible; }
    void hideAllGrids() { setGridVisible(false); }
    void showGrid() { setGridVisible(true); }

    // Renders the record of navigator index key into grid. A non-empty pair (the instrument's
    // display name, given for the visible table) also sets the caption bar and the data-missing
    // panel. A complete fill rewrites the pivot panel, whichever grid it filled. Returns whether
    // the fill completed.
    bool loadInd(IndicatorGrid &grid, int key, const QString &record, const QString &pair);

    // Label1 and errpic.
    QString caption() const { return m_caption; }
    bool isDataMissingVisible() const { return m_dataMissingVisible; }

    const PivotPanelState &pivots() const { return m_pivots; }

    // The two tabs above the table; "Indicators" is active at first.
    bool isPivotTabActive() const { return m_pivotTabActive; }
    void chooseIndicators();
    void choosePivotPoints();

    // pivotpic and RefreshPivots.
    bool isPivotPanelVisible() const { return m_pivotPanelVisible; }
    void setPivotPanelVisible(bool visible);
    bool isRefreshPanelVisible() const { return m_refreshPanelVisible; }
    void setRefreshPanelVisible(bool visible);

    ConnectionStatus status() const { return m_status; }
    void setStatus(ConnectionStatus status);

Q_SIGNALS:
    void visibleGridChanged();
    void gridVisibleChanged(bool visible);
    void captionChanged(const QString &caption);
    void dataMissingVisibleChanged(bool visible);
    void pivotsChanged();
    void pivotTabActiveChanged(bool active);
    void pivotPanelVisibleChanged(bool visible);
    void refreshPanelVisibleChanged(bool visible);
    void statusChanged(ConnectionStatus status);

private:
    void setGridVisible(bool visible);
    void setCaption(const QString &caption);
    void setDataMissingVisible(bool visible);

    IndicatorGrid m_visibleGrid;
    bool m_gridVisible = true;
    QString m_caption;
    bool m_dataMissingVisible = false;
    PivotPanelState m_pivots;
    bool m_pivotTabActive = false;
    bool m_pivotPanelVisible = false;
    bool m_refreshPanelVisible = false;
    ConnectionStatus m_status = ConnectionStatus::Offline;
};
