#pragma once

// The versions a run replaces are kept in the old-files folder beside the entry's copy,
// as a history that nothing overwrites: the latest replaced version under the copy's
// own name (where a person looks first), the ones before it under that name with their
// date, "Отчет (2026-12-07 10-30-00).doc" (and a counter after the date for a second
// version of one second, "Отчет (2026-12-07 10-30-00 2).doc"), and the versions that lost
// a conflict with "конфликт" before the date. At most 10 ordinary versions of an entry stay, the oldest
// going first; versions of a conflict stay until the user removes them.

#include <ctime>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform.h"
#include "version_memory.h"

namespace verdaline {

// Whether a kept version's name says that it is a version of the copy called name: the
// copy's own name, a dated one, a conflict's, or the name a removed entry's copy took.
std::optional<VersionKind> kindByName(const std::string& kept, const std::string& name);

// The name of a kept version of a file named name, dated by its modification time.
// Legal on FAT (no ':'), and no longer than 255 bytes.
std::string keptName(const std::string& name, std::time_t seconds, bool conflict);

class KeptVersions {
public:
    static constexpr std::size_t kMostOrdinary = 10;

    // memory, when given, hears of every version kept, moved and removed.
    explicit KeptVersions(Platform& platform, VersionMemory* memory = nullptr)
        : m_platform(platform), m_memory(memory) {}

    // Where to keep a version of the entry whose copy is called name, dated seconds,
    // that is about to be replaced: a name no kept version has, so that none is ever
    // written over.
    std::string placeFor(const std::string& oldFiles, const std::string& name, std::time_t seconds,
                         bool conflict);
    // The replacement was made: an ordinary version just kept takes the copy's own name,
    // the one there before takes its dated name, and the oldest beyond the limit go.
    // record says whose the version is (its copy's name is name).
    void replaced(const std::string& oldFiles, const std::string& name, const std::string& kept,
                  const KeptRecord& record);
    // A conflict's version was kept for good under its dated name.
    void keptConflict(const std::string& kept, const KeptRecord& record);
    // The replacement failed: the version just kept goes again, so that every kept
    // version stays as it was.
    void notReplaced(const std::string& kept);

private:
    const std::set<std::string>& namesIn(const std::string& oldFiles);

    Platform& m_platform;
    VersionMemory* m_memory;
    std::map<std::string, std::set<std::string>> m_names;  // folder -> names, read once a run
};

}  // namespace verdaline
