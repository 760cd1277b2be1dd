#include "freshness.h"

namespace verdaline {

std::optional<DosDate> dosDateOf(std::time_t seconds) {
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr) {
        return std::nullopt;
    }
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107) {
        return std::nullopt;
    }
    // A leap second (:60) stays in the last two-second step of its minute.
    const int halfSeconds = (local.tm_sec > 59 ? 59 : local.tm_sec) / 2;
    const auto packed =
        static_cast<std::uint32_t>(year - 1980) << 25 | static_cast<std::uint32_t>(local.tm_mon + 1) << 21 |
        static_cast<std::uint32_t>(local.tm_mday) << 16 | static_cast<std::uint32_t>(local.tm_hour) << 11 |
        static_cast<std::uint32_t>(local.tm_min) << 5 | static_cast<std::uint32_t>(halfSeconds);
    return DosDate{packed};
}

Freshness compareDates(DosDate source, DosDate target) {
    if (target == source) {
        return Freshness::Equal;
    }
    return target < source ? Freshness::TargetEarlier : Freshness::TargetLater;
}

}  // namespace verdaline
