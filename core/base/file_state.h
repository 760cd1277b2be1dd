#pragma once

// What every layer says of a file: its modification time as its file system keeps it,
// the two-second date the freshness rule compares, a digest of its content, and what
// both sides of an entry held when a run last left them equal.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace verdaline {

// A modification time to the precision its file system reports: seconds since the
// epoch and the nanoseconds within that second (ext4 keeps nanoseconds, NTFS 100 ns,
// exFAT 10 ms, its FUSE driver and FAT whole and even seconds).
struct FileTime {
    std::int64_t seconds = 0;
    std::int32_t nanoseconds = 0;
    friend bool operator==(FileTime, FileTime) = default;
    friend auto operator<=>(FileTime, FileTime) = default;
};

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

// A digest of a file's content (XXH3, 128 bits): two files of one size and one digest
// hold the same bytes.
struct Digest {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    friend bool operator==(const Digest&, const Digest&) = default;
};

// The digest of bytes given piece by piece, as a copy reads them.
class DigestMaker {
public:
    DigestMaker();
    ~DigestMaker();
    DigestMaker(const DigestMaker&) = delete;
    DigestMaker& operator=(const DigestMaker&) = delete;

    void add(const void* bytes, std::size_t size);
    Digest digest() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// A digest as 32 hexadecimal digits, and back; nothing for any other text.
std::string digestText(const Digest& digest);
std::optional<Digest> digestFromText(std::string_view text);

// What one side of an entry held: its modification time and its size.
struct SideState {
    FileTime time;
    std::uint64_t size = 0;
    friend bool operator==(const SideState&, const SideState&) = default;
};

// What both sides of an entry held when a run last left them equal. A side whose time
// and size are as remembered has not changed; one whose time moved has changed only if
// its content differs from the digest, which both sides shared then. A state that an
// older version of the program wrote holds whole seconds and no digest: a side then
// differs when its size or its two-second step does.
struct EntryState {
    SideState computer;
    SideState flash;
    std::optional<Digest> digest;  // of the content both sides held, when known
    bool exact = true;             // false: whole seconds, compared in two-second steps
    friend bool operator==(const EntryState&, const EntryState&) = default;
};

}  // namespace verdaline
