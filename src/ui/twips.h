#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Positions and sizes are kept in twips, as the window was laid out; 15 twips make one
// device-independent pixel, and Qt scales those on dense screens.
namespace twips {

inline constexpr int kPerPixel = 15;

constexpr int toPixels(int value)
{
    return (value >= 0 ? value + kPerPixel / 2 : value - kPerPixel / 2) / kPerPixel;
}

constexpr int fromPixels(int pixels)
{
    return pixels * kPerPixel;
}

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
