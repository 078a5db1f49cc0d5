#include "ui/screenfit.h"

#include "ui/twips.h"
#include "ui/windowlayout.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace screenfit {

double scaleFor(QSize available)
{
    const QSize full = windowlayout::windowSize(windowlayout::State{});
    return std::min({1.0, double(available.width()) * twips::kPerPixel / full.width(),
                     double(available.height()) * twips::kPerPixel / full.height()});
}

void fitToPrimaryScreen()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        twips::setScale(scaleFor(screen->availableGeometry().size()));
}

QPoint centredIn(const QRect &available, QSize size)
{
    return available.topLeft() +
           QPoint((available.width() - size.width()) / 2, (available.height() - size.height()) / 2);
}

} // namespace screenfit
