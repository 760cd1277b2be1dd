#pragma once

#include <ctime>
#include <string>

namespace verdaline {

// "Now" as the copy report prints it: the regional short date, a space, the time.
// The window and the command line pass the same system clock; tests fix it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::string timestamp() = 0;
    // A moment's time of day in the regional format, for the window's status line.
    virtual std::string timeOfDay(std::time_t moment) = 0;
    // Now, by the computer's clock.
    virtual std::time_t now() { return std::time(nullptr); }
};

// A moment in local time, as strftime formats it.
std::string localTimeText(std::time_t moment, const char* format);

// The C library's regional formats (%x %X) of the user's locale, which the window and
// the command line both set from the environment at their start.
class SystemClock : public Clock {
public:
    std::string timestamp() override;
    std::string timeOfDay(std::time_t moment) override;
};

}  // namespace verdaline
