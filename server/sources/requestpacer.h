#pragma once

#include "sources/ownedwaits.h"

#include <QCoroTask>

#include <chrono>
#include <deque>

// Spaces out the requests of a source that asks to be spared: at most `burst` requests start
// within any `pause`, so a long warm-up runs as bursts with pauses between them. Requests get
// their turn in the order they ask for it.
class RequestPacer
{
public:
    using Clock = std::chrono::steady_clock;

    RequestPacer(int burst, std::chrono::milliseconds pause)
        : m_burst(burst)
        , m_pause(pause)
    {}
    Q_DISABLE_COPY_MOVE(RequestPacer)

    // Returns when the next request may start.
    QCoro::Task<> turn();

private:
    int m_burst;
    std::chrono::milliseconds m_pause;
    std::deque<Clock::time_point> m_starts; // of the last `burst` requests, given or promised
    OwnedWaits m_waits;
};
