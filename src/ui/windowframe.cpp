#include "ui/windowframe.h"

#include "ui/look.h"

#include <QPainter>

WindowFrame::WindowFrame(QWidget *window, const QString &objectName, const QColor &color)
    : QWidget(window)
    , m_color(color)
{
    setObjectName(objectName);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void WindowFrame::paintEvent(QPaintEvent *)
{
    // The frame's rectangle may reach below the window's client area; its edges are drawn where
    // the window ends, so that all four show.
    const QRect visible = rect() & parentWidget()->rect();
    QPainter painter(this);
    look::drawFrame(painter, visible, m_color);
}
