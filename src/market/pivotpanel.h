#pragma once

#include "market/pivotplacement.h"

#include <QWidget>

#include <array>

class MarketView;
class QLabel;
class SvgPicture;

// A level marker of a pivot column: the level's name in a small frame, a tick towards the scale
// and the level's price.
class PivotLevelMarker final : public QWidget
{
    Q_OBJECT
public:
    PivotLevelMarker(QWidget *column, PivotColumnState::Level level, int columnNumber);
    Q_DISABLE_COPY_MOVE(PivotLevelMarker)

    void place(const QString &price, int topTwips);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_price = nullptr;
};

// One timeframe column (Picture34_t): a vertical scale, the seven level markers and the current
// price marker.
class PivotColumnView final : public QWidget
{
    Q_OBJECT
public:
    PivotColumnView(QWidget *panel, int column, int leftTwips, int widthTwips);
    Q_DISABLE_COPY_MOVE(PivotColumnView)

    void showState(const PivotColumnState &state);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::array<PivotLevelMarker *, PivotColumnState::kLevelCount> m_markers{};
    SvgPicture *m_priceMarker = nullptr;
    QLabel *m_priceCaption = nullptr;
};

// pivotpic: the pivot levels of the rendered instrument for M5 to D1.
class PivotPanel final : public QWidget
{
    Q_OBJECT
public:
    PivotPanel(QWidget *tableArea, MarketView &view);
    Q_DISABLE_COPY_MOVE(PivotPanel)

private:
    void showLevels();

    MarketView &m_view;
    std::array<PivotColumnView *, PivotPanelState::kColumns> m_columns{};
};
