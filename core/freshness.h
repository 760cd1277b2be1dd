#pragma once

#include <cstdint>
#include <ctime>
#include <optional>

namespace verdaline {

// A modification date as the flash drive's file systems keep it: local time in the
// DOS form, years 1980 to 2107, seconds in two-second steps. FAT stores no finer time,
// so comparing at this resolution keeps a copy on FAT equal to its original.
struct DosDate {
    std::uint32_t packed = 0;  // year-1980, month, day, hour, minute, second/2, high bits first

    friend bool operator==(DosDate, DosDate) = default;
    friend auto operator<=>(DosDate, DosDate) = default;
};

// The DOS date of a moment (seconds since the epoch, fractions dropped), in local
// time; nothing when it falls outside 1980..2107.
std::optional<DosDate> dosDateOf(std::time_t seconds);

enum class Freshness { TargetEarlier, Equal, TargetLater };

// Only a source strictly later than its target may replace it.
Freshness compareDates(DosDate source, DosDate target);

}  // namespace verdaline
