#include "ui/hoverbutton.h"

#include "ui/clicklabel.h"

#include <QMouseEvent>

HoverButton::HoverButton(artwork::ButtonImages images, QWidget *parent)
    : SvgPicture(parent)
    , m_images(images)
{
    setCursor(Qt::PointingHandCursor);
    showImage(false);
}

void HoverButton::showImage(bool hovered)
{
    m_hovered = hovered;
    setSource(QString::fromLatin1(hovered ? m_images.hover : m_images.normal));
}

void HoverButton::enterEvent(QEnterEvent *event)
{
    showImage(true);
    SvgPicture::enterEvent(event);
}

void HoverButton::leaveEvent(QEvent *event)
{
    showImage(false);
    SvgPicture::leaveEvent(event);
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
