#include "ui/dragbar.h"

#include <QMouseEvent>
#include <QWindow>

DragBar::DragBar(QWidget *parent)
    : QWidget(parent)
{}

void DragBar::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    m_following = false;
    m_grip = event->globalPosition().toPoint() - window()->pos();
    event->setAccepted(m_pressed);
}

void DragBar::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    if (m_pressed) {
        m_pressed = false;
        QWindow *handle = window()->windowHandle();
        m_following = !(handle && handle->startSystemMove());
    }
    if (m_following)
        window()->move(event->globalPosition().toPoint() - m_grip);
}

void DragBar::mouseReleaseEvent(QMouseEvent *)
{
    m_pressed = false;
    m_following = false;
}

void DragBar::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_pressed = false;
    m_following = false;
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
}
