#pragma once

// What the stick remembers of the versions kept in each old-files folder, and the
// versions a list change puts aside there: a removed entry's copy, and the computer's
// version that a file taken from the stick replaces.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform.h"
#include "work_area.h"

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

// The old-files folder beside a copy, where its versions are kept: that of the copies
// folder it lies in, or the computer's own for a copy outside them.
std::string oldFilesBeside(const WorkArea& area, const std::string& computer, const std::string& flashPath);

// The name of the n-th version of that name put aside: "name (прежний)", "name (прежний 2)"...
std::string asideName(const std::string& name, unsigned n);

// A copy that no entry needs any more is kept in the old-files folder beside it, noted
// as the removed copy of the entry at computerPath (empty when none is known). Should it
// not move, it stays where it is: no new copy takes its place.
void keepAside(Platform& platform, const std::string& path, const std::string& computerPath);

// A version on the computer that a file from the stick is about to replace, kept in the
// old-files folder beside the copy it is tied to (kept tells where, and memory whose it
// is, until memory is saved); the error number when it cannot be.
int keepComputerVersion(Platform& platform, const WorkArea& area, const std::string& computer,
                        const std::string& path, const std::string& flashPath, VersionMemory& memory,
                        std::optional<std::string>& kept);

}  // namespace verdaline
