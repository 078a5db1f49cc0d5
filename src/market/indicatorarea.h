#pragma once

class MarketView;
class QWidget;

// Puts the indicator area into the main window: the tabs "Indicators" (Picture32) and
// "Pivot Points" (Picture33), the caption bar (Picture1) and the table area (Picture3), each a
// direct child of the window at its place in the full layout, all showing view.
void createIndicatorArea(QWidget *window, MarketView &view);
