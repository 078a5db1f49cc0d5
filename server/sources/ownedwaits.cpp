#include "sources/ownedwaits.h"

#include <QTimer>

#include <QCoroTimer>

QCoro::Task<> OwnedWaits::wait(std::chrono::milliseconds delay)
{
    // A precise timer: a coarse one may fire a little early.
    auto *timer = new QTimer(&m_timers);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(true);
    timer->start(delay);
    co_await timer;
    delete timer;
}
