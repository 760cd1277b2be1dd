#pragma once

#include "clock.h"

namespace verdaline {

// The user's regional short date and time with seconds, as the desktop shows them.
class QtClock : public Clock {
public:
    std::string timestamp() override;
};

}  // namespace verdaline
