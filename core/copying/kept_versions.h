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
#include <vector>

#include "platform.h"

namespace verdaline {

// What a kept version was before it was kept.
enum class VersionKind {
    OnComputer,    // not kept: the entry's file on the computer now
    OnStick,       // not kept: the entry's copy on the stick now
    Replaced,      // a copy on the stick that a run or a restore replaced
    Conflict,      // the version that lost a conflict, from either side
    FromComputer,  // the computer's version that a copy onto the computer replaced
    Removed,       // the copy of an entry taken out of the list
};

// The words a person reads for each kind ("на компьютере", "на флешке", "замененная"...),
// which the old-files folder's memory also writes.
std::string versionKindText(VersionKind kind);

// Whose a kept version is, as the old-files folder remembers it: the name of the copy it
// was kept for and the computer path of the entry that had it then.
struct KeptRecord {
    VersionKind kind = VersionKind::Replaced;
    std::string copyName;
    std::string computerPath;
    bool operator==(const KeptRecord&) const = default;
};

// Which kept version in an old-files folder is whose, in a hidden list in that folder, so
// that names alike never mix two entries' versions and the folder's memory goes along
// with it when its computer is renamed. Changes are held until save(). A memory that
// cannot be read is never written over: its versions are then told by their names.
class VersionMemory {
public:
    explicit VersionMemory(Platform& platform) : m_platform(platform) {}

    static std::string fileIn(const std::string& oldFiles);
    // The record of the kept version at that path, if the memory holds one.
    const KeptRecord* recordOf(const std::string& kept);
    void noted(const std::string& kept, KeptRecord record);
    void moved(const std::string& from, const std::string& to);
    void forgotten(const std::string& kept);
    // Writes what changed; a memory that cannot be written is left as it was (its
    // versions are safe all the same, and told by their names).
    void save() noexcept;

private:
    struct Folder {
        std::map<std::string, KeptRecord> records;  // by the kept version's name
        std::vector<std::string> others;            // lines another program wrote, kept as they are
        bool readable = true;
        bool changed = false;
    };
    Folder& folderOf(const std::string& kept, std::string& name);

    Platform& m_platform;
    std::map<std::string, Folder> m_folders;
};

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
