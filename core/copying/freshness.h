#pragma once

#include <cstdint>
#include <ctime>
#include <optional>

namespace verdaline {

// A modification date as the copy runs compare it: the moment in two-second steps.
// FAT stores no finer time, so comparing at this resolution keeps a copy on FAT equal
// to its original. Moments, not local wall-clock fields, are compared, so the hour
// that repeats in autumn cannot invert the order of two versions.
struct FileDate {
    std::int64_t step = 0;  // seconds since the epoch, halved and rounded down

    friend bool operator==(FileDate, FileDate) = default;
    friend auto operator<=>(FileDate, FileDate) = default;
};

// The date of a moment (seconds since the epoch, fractions dropped); nothing when its
// local date falls outside 1980..2107, which the DOS date of FAT cannot hold.
std::optional<FileDate> fileDateOf(std::time_t seconds);

// Whether two moments fall into the same two-second step.
bool sameStep(std::time_t a, std::time_t b);

enum class Freshness { TargetEarlier, Equal, TargetLater };

// What one side of an entry held: its modification time and its size.
struct SideState {
    std::int64_t seconds = 0;
    std::uint64_t size = 0;
    friend bool operator==(const SideState&, const SideState&) = default;
};

// What both sides of an entry held when a run last left them equal. A side whose size
// or two-second step differs from it has changed since.
struct EntryState {
    SideState computer;
    SideState flash;
    friend bool operator==(const EntryState&, const EntryState&) = default;
};

// Only a source strictly later than its target may replace it.
Freshness compareDates(FileDate source, FileDate target);

}  // namespace verdaline
