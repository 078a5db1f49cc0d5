#pragma once

#include <QDateTime>

#include <functional>

// The present moment, passed in so that tests can run New Year's Eve or minute 10 on demand.
class Clock final
{
public:
    Clock() = default;
    explicit Clock(std::function<QDateTime()> now)
        : m_now(std::move(now))
    {}

    QDateTime now() const { return m_now ? m_now() : QDateTime::currentDateTime(); }

private:
    std::function<QDateTime()> m_now;
};
