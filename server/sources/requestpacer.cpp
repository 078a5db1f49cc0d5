#include "sources/requestpacer.h"

#include <QTimer>

#include <QCoroTimer>

#include <algorithm>

QCoro::Task<> RequestPacer::turn()
{
    const Clock::time_point now = Clock::now();
    Clock::time_point start = now;
    if (m_burst > 0 && qsizetype(m_starts.size()) >= m_burst)
        start = std::max(now, m_starts[m_starts.size() - size_t(m_burst)] + m_pause);
    m_starts.push_back(start);
    while (qsizetype(m_starts.size()) > std::max(m_burst, 1))
        m_starts.pop_front();
    if (start > now) {
        // A precise timer: a coarse one may fire a little early and so start a request too soon.
        QTimer wait;
        wait.setTimerType(Qt::PreciseTimer);
        wait.setSingleShot(true);
        wait.start(std::chrono::ceil<std::chrono::milliseconds>(start - now));
        co_await wait;
    }
}
