#include "freshness.h"

namespace verdaline {
namespace {

std::int64_t stepOf(std::time_t seconds) {
    const auto s = static_cast<std::int64_t>(seconds);
    return s >= 0 ? s / 2 : (s - 1) / 2;
}

}  // namespace

std::optional<FileDate> fileDateOf(std::time_t seconds) {
    // Local time lies within 14 hours of UTC, so a moment from 2 January 1980 to 30
    // December 2107 (UTC) is in range in every zone, without a costly conversion.
    constexpr std::time_t kSurelyFrom = 315619200;
    constexpr std::time_t kSurelyBefore = 4354732800;
    if (seconds >= kSurelyFrom && seconds < kSurelyBefore) {
        return FileDate{stepOf(seconds)};
    }
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &seconds) != 0) {
        return std::nullopt;
    }
#else
    if (localtime_r(&seconds, &local) == nullptr) {
        return std::nullopt;
    }
#endif
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107) {
        return std::nullopt;
    }
    return FileDate{stepOf(seconds)};
}

bool sameStep(std::time_t a, std::time_t b) {
    return stepOf(a) == stepOf(b);
}

Freshness compareDates(FileDate source, FileDate target) {
    if (target == source) {
        return Freshness::Equal;
    }
    return target < source ? Freshness::TargetEarlier : Freshness::TargetLater;
}

}  // namespace verdaline
