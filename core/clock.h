#pragma once

#include <string>

namespace verdaline {

// "Now" as the copy report prints it: the regional short date, a space, the time.
// The window and the command line pass their own; tests fix it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::string timestamp() = 0;
};

// The C library's regional formats (%x %X) in the current locale.
class SystemClock : public Clock {
public:
    std::string timestamp() override;
};

}  // namespace verdaline
