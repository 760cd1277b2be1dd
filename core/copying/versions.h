#pragma once

// An entry's versions within reach: what its computer and its copy hold now, and every
// version of it kept in the old-files folder beside its copy, to be looked at, saved
// elsewhere, taken back or removed.

#include <cstdint>
#include <string>
#include <vector>

#include "file_state.h"
#include "kept_versions.h"
#include "platform.h"
#include "work_area.h"

namespace verdaline {

struct FileVersion {
    VersionKind kind = VersionKind::Replaced;
    std::string path;
    FileTime time;
    std::uint64_t size = 0;
};

// The copy the stick remembers for the entry at computerPath; throws Failure when the
// computer's list has no such entry.
std::string storedCopyOf(Platform& platform, const WorkArea& area, const std::string& computer,
                         const std::string& computerPath);

// The kept versions of the entry at computerPath whose copy is flashPath, newest first:
// only its own, never those of another entry with a name alike, and for a copy shared
// by two computers those of both.
std::vector<FileVersion> keptVersionsOf(Platform& platform, const WorkArea& area, const std::string& computer,
                                        const std::string& computerPath, const std::string& flashPath);
// The same, after what the computer and the stick hold now (those that are there).
std::vector<FileVersion> versionsOf(Platform& platform, const WorkArea& area, const std::string& computer,
                                    const std::string& computerPath, const std::string& flashPath);

// Takes a kept version of the entry at computerPath back, as one change under the
// work area's lock: the versions on the computer and on the stick are kept first, then
// both sides get it, and the stick remembers them equal, so that the next run copies
// nothing. A computer file that was deleted is put back (its folders too). Throws
// Failure, with both sides as they were, when it cannot be done.
void restoreVersion(Platform& platform, const WorkArea& area, const std::string& computer,
                    const std::string& computerPath, const std::string& version);
// Removes a kept version of the entry for good. Throws Failure when it cannot.
void removeKeptVersion(Platform& platform, const WorkArea& area, const std::string& computer,
                       const std::string& computerPath, const std::string& version);
// Saves a copy of a version at target on the computer (never inside the program
// folder). Throws Failure when it cannot.
void saveVersionAs(Platform& platform, const WorkArea& area, const std::string& version,
                   const std::string& target);

}  // namespace verdaline
