#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Positions and sizes are kept in twips, as the windows were laid out; 15 twips make one
// device-independent pixel, and Qt scales those on dense screens.
//
// On a screen too small for the main window's full layout the program draws its windows smaller
// as a whole: every length in twips and every font size is multiplied by the windows' scale. The
// scale is chosen once, from the screen the program opens on, before the first widget exists
// (ui/screenfit.h); it is 1 everywhere else, which keeps the layouts pixel for pixel as designed.
namespace twips {

inline constexpr int kPerPixel = 15;

void setScale(double scale);
double scale();

// Pixels of a length in twips, at the windows' scale.
int toPixels(int value);
// The length in twips, as designed, of a length in pixels.
int fromPixels(int pixels);

inline QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

inline QPoint point(int left, int top)
{
    return QPoint(toPixels(left), toPixels(top));
}

inline QSize size(int width, int height)
{
    return QSize(toPixels(width), toPixels(height));
}

} // namespace twips
