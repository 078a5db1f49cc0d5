#include "ui/clicklabel.h"

#include "ui/look.h"
#include <QMouseEvent>

bool isClickRelease(const QMouseEvent *event, const QWidget *widget)
{
    return event->button() == Qt::LeftButton &&
           widget->rect().contains(event->position().toPoint());
}

ClickLabel::ClickLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    event->setAccepted(event->button() == Qt::LeftButton);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (isClickRelease(event, this))
        Q_EMIT clicked();
}

void ClickLabel::setLinkColor(const QColor &color)
{
    m_normal = color;
    look::setTextColor(this, color);
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::showNormal()
{
    if (m_normal.isValid())
        look::setTextColor(this, m_normal);
}

void ClickLabel::enterEvent(QEnterEvent *event)
{
    if (m_hover.isValid())
        look::setTextColor(this, m_hover);
    QLabel::enterEvent(event);
}

void ClickLabel::leaveEvent(QEvent *event)
{
    showNormal();
    QLabel::leaveEvent(event);
}
