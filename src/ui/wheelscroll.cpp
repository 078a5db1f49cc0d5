#include "ui/wheelscroll.h"

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

WheelScroll::WheelScroll(QAbstractScrollArea *area)
    : QObject(area)
    , m_area(area)
{}

void WheelScroll::install(QAbstractScrollArea *area)
{
    area->viewport()->installEventFilter(new WheelScroll(area));
}

int WheelScroll::linesFor(int angleDelta, int &remainder)
{
    // A turn the other way starts afresh rather than first paying back what was left over.
    if ((remainder > 0 && angleDelta < 0) || (remainder < 0 && angleDelta > 0))
        remainder = 0;
    remainder += angleDelta;
    const int notches = remainder / kNotch; // towards zero, keeping the sign
    remainder -= notches * kNotch;
    return -notches * kLinesPerNotch;
}

bool WheelScroll::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel)
        return QObject::eventFilter(watched, event);
    const int delta = static_cast<QWheelEvent *>(event)->angleDelta().y();
    if (delta == 0)
        return QObject::eventFilter(watched, event); // a sideways wheel
    QScrollBar *bar = m_area->verticalScrollBar();
    bar->setValue(bar->value() + linesFor(delta, m_remainder) * bar->singleStep());
    return true;
}
