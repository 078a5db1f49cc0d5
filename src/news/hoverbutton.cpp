#include "news/hoverbutton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

HoverButton::HoverButton(const QString &normalPicture, const QString &hoverPicture, QWidget *parent)
    : QWidget(parent)
    , m_normalPicture(normalPicture)
    , m_hoverPicture(hoverPicture)
{
    setAttribute(Qt::WA_Hover);
}

void HoverButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QSvgRenderer picture(m_hover ? m_hoverPicture : m_normalPicture);
    picture.render(&painter, QRectF(rect()));
}

void HoverButton::enterEvent(QEnterEvent *event)
{
    setHover(true);
    QWidget::enterEvent(event);
}

void HoverButton::leaveEvent(QEvent *event)
{
    setHover(false);
    QWidget::leaveEvent(event);
}

void HoverButton::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void HoverButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

void HoverButton::setHover(bool hover)
{
    if (hover == m_hover)
        return;
    m_hover = hover;
    update();
}
