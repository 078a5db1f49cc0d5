#include "sources/requestpacer.h"

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
    if (start > now)
        co_await m_waits.wait(std::chrono::ceil<std::chrono::milliseconds>(start - now));
}
