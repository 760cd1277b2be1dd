#include "clock.h"

namespace verdaline {

std::string localTimeText(std::time_t moment, const char* format) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &moment);
#else
    localtime_r(&moment, &local);
#endif
    char buffer[128];
    const std::size_t n = std::strftime(buffer, sizeof buffer, format, &local);
    return std::string(buffer, n);
}

std::string SystemClock::timestamp() {
    return localTimeText(std::time(nullptr), "%x %X");
}

std::string SystemClock::timeOfDay(std::time_t moment) {
    return localTimeText(moment, "%X");
}

}  // namespace verdaline
