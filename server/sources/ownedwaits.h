#pragma once

#include <QObject>

#include <QCoroTask>

#include <chrono>

// Waits whose timers belong to the object that waits. Once that object is gone, a coroutine
// still waiting here is never resumed, so it cannot run on into members that no longer exist
// (a timer of the coroutine's own would wake it all the same).
class OwnedWaits
{
public:
    OwnedWaits() = default;
    Q_DISABLE_COPY_MOVE(OwnedWaits)

    // Returns after `delay`, or at the event loop's next turn for none.
    QCoro::Task<> wait(std::chrono::milliseconds delay);

private:
    QObject m_timers; // the parent of the timers waited on
};
