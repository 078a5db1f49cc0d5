#include "ui/twips.h"

#include <QtMath>

namespace twips {

namespace {

double windowScale = 1.0;

} // namespace

void setScale(double scale)
{
    windowScale = scale;
}

double scale()
{
    return windowScale;
}

int toPixels(int value)
{
    return qRound(value * windowScale / kPerPixel);
}

int fromPixels(int pixels)
{
    return qRound(pixels * kPerPixel / windowScale);
}

} // namespace twips
