#include "ui/windowframe.h"

#include "ui/look.h"

#include <QPainter>

WindowFrame::WindowFrame(QWidget *window)
    : QWidget(window)
{
    setObjectName(QStringLiteral("Shape5"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void WindowFrame::paintEvent(QPaintEvent *)
{
    // The frame's rectangle reaches below the window's client area; its edges are drawn where
    // the window ends, so that all four show.
    const QRect visible = rect() & parentWidget()->rect();
    QPainter painter(this);
    painter.setPen(look::kFrameBlue);
    painter.drawRect(visible.adjusted(0, 0, -1, -1));
}
