#pragma once

#include <chrono>

// Intervals of the main window's timers, passed in so that tests run a cycle, a refresh or the
// splash wait on demand instead of waiting for real minutes.
struct Timings
{
    std::chrono::milliseconds poll{60000};    // polling cycle
    std::chrono::milliseconds kick{1000};     // first cycle after start-up, once
    std::chrono::milliseconds refresh{50000}; // calendar and list refresh check
    std::chrono::milliseconds splash{1000};   // least time the splash stays up
    std::chrono::milliseconds notice{60000};  // server notice check
    std::chrono::milliseconds alert{6000};    // a desktop alert stays up
};
