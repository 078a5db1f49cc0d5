#include "ui/dragbar.h"

#include <QMouseEvent>
#include <QWindow>

DragBar::DragBar(QWidget *parent)
    : QWidget(parent)
{}

void DragBar::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->setAccepted(m_pressed);
}

void DragBar::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed || !(event->buttons() & Qt::LeftButton))
        return;
    m_pressed = false;
    if (QWindow *handle = window()->windowHandle())
        handle->startSystemMove();
}

void DragBar::mouseReleaseEvent(QMouseEvent *)
{
    m_pressed = false;
}

void DragBar::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_pressed = false;
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
}
