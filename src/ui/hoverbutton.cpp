#include "ui/hoverbutton.h"

#include "ui/clicklabel.h"

#include <QMouseEvent>

HoverButton::HoverButton(artwork::ButtonImages images, QWidget *parent)
    : QLabel(parent)
    , m_images(images)
{
    setAlignment(Qt::AlignCenter);
    setCursor(Qt::PointingHandCursor);
    showImage(false);
}

void HoverButton::showImage(bool hovered)
{
    m_hovered = hovered;
    const char *image = hovered ? m_images.hover : m_images.normal;
    setPixmap(artwork::pixmap(QString::fromLatin1(image), size(), devicePixelRatioF()));
}

void HoverButton::resizeEvent(QResizeEvent *event)
{
    showImage(m_hovered);
    QLabel::resizeEvent(event);
}

void HoverButton::enterEvent(QEnterEvent *event)
{
    showImage(true);
    QLabel::enterEvent(event);
}

void HoverButton::leaveEvent(QEvent *event)
{
    showImage(false);
    QLabel::leaveEvent(event);
}

void HoverButton::mousePressEvent(QMouseEvent *event)
{
    event->setAccepted(event->button() == Qt::LeftButton);
}

void HoverButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (isClickRelease(event, this))
        Q_EMIT clicked();
}
