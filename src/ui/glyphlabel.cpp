#include "ui/glyphlabel.h"

#include <QPainter>
#include <QPainterPath>

GlyphLabel::GlyphLabel(const QString &caption, QWidget *parent)
    : ClickLabel(caption, parent)
{
    setAlignment(Qt::AlignCenter);
}

void GlyphLabel::setGlyphSize(int pixels)
{
    m_glyphSize = pixels;
    update();
}

void GlyphLabel::setGlyphMiddle(int y)
{
    m_glyphMiddle = y;
    update();
}

void GlyphLabel::paintEvent(QPaintEvent *event)
{
    const QString caption = text();
    if (caption.size() != 1 || caption.at(0) < QLatin1Char('3') ||
        caption.at(0) > QLatin1Char('6')) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    if (autoFillBackground())
        painter.fillRect(rect(), palette().color(backgroundRole()));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(foregroundRole()));

    // The triangle's long side is m_glyphSize, its depth a little over half of it.
    const qreal side = m_glyphSize;
    const qreal depth = side * 0.6;
    QPointF c = QRectF(rect()).center();
    if (m_glyphMiddle)
        c.setY(*m_glyphMiddle);
    QPainterPath path;
    switch (caption.at(0).toLatin1()) {
    case '3': // left
        path.moveTo(c.x() + depth / 2, c.y() - side / 2);
        path.lineTo(c.x() + depth / 2, c.y() + side / 2);
        path.lineTo(c.x() - depth / 2, c.y());
        break;
    case '4': // right
        path.moveTo(c.x() - depth / 2, c.y() - side / 2);
        path.lineTo(c.x() - depth / 2, c.y() + side / 2);
        path.lineTo(c.x() + depth / 2, c.y());
        break;
    case '5': // up
        path.moveTo(c.x() - side / 2, c.y() + depth / 2);
        path.lineTo(c.x() + side / 2, c.y() + depth / 2);
        path.lineTo(c.x(), c.y() - depth / 2);
        break;
    default: // '6', down
        path.moveTo(c.x() - side / 2, c.y() - depth / 2);
        path.lineTo(c.x() + side / 2, c.y() - depth / 2);
        path.lineTo(c.x(), c.y() + depth / 2);
        break;
    }
    path.closeSubpath();
    painter.drawPath(path);
}
