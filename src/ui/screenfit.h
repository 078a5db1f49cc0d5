#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Fitting the main window to the screen it opens on. The full layout is 1083 by 716
// device-independent pixels; at 150 % a 1920 by 1080 screen has about 1280 by 690 of them to give.
namespace screenfit {

// The windows' scale (twips::setScale) for a screen whose usable area is `available`
// device-independent pixels: 1 when the full layout fits, otherwise the largest scale at which it
// does.
double scaleFor(QSize available);

// Sets the windows' scale for the primary screen, where the program's windows open. Called once,
// before the first window exists.
void fitToPrimaryScreen();

// Where a window of `size` made to fit `available` stands: in its middle.
QPoint centredIn(const QRect &available, QSize size);

} // namespace screenfit
