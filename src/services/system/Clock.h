#pragma once

#include <cstdint>

namespace kanvel::services {

struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Time and waiting: the real clock on Windows, a virtual one in the tests.
class Clock {
public:
    virtual ~Clock() = default;

    virtual void Sleep(int milliseconds) = 0;
    // A steady clock in milliseconds, for measuring how long a wait lasted.
    virtual std::int64_t SteadyMilliseconds() = 0;
    // Returns when something arrives for this thread's windows (input, a
    // repaint) or after at most `milliseconds`, whichever comes first; the
    // caller then lets its window handle what came.
    virtual void WaitForMessages(int milliseconds) = 0;
    virtual LocalTime Now() = 0;
};

}  // namespace kanvel::services
