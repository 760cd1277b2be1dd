#pragma once

// Which copy on the stick is each entry's. Beside each computer's file list (one
// computer path a line, as it always was) the work area keeps its copies list: a line
// per entry with its copy's place, relative to the program folder so that it holds
// wherever the stick is mounted, and the entry's computer path. A copy is given once,
// when its entry is added, and never derived again.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "file_state.h"
#include "list_file.h"
#include "platform.h"
#include "work_area.h"

namespace verdaline {

// A computer's entries as the stick keeps them.
struct StoredLists {
    Lines files;                                    // the file list
    Lines flash;                                    // each entry's copy, a full path
    std::vector<std::optional<EntryState>> states;  // what both sides held after the last run, when known
    bool operator==(const StoredLists&) const = default;
};

struct StickLists {
    StoredLists lists;
    std::uint64_t copiesListDigest = 0;  // of the copies list's lines as the stick holds them
    std::size_t notRemembered = 0;       // entries the copies list did not hold: their copies given now
    // Entries that a damaged copies list paired with the copy of an earlier entry (both
    // 0-based: the entry, the copy's owner); among notRemembered, each given a copy of its own.
    std::vector<std::pair<std::size_t, std::size_t>> onOwnersCopy;
};

// Reads the file list and its copies list. An entry that the copies list lacks (a stick
// of an older version, a list edited by hand) gets the copy the load rule gives it, or a
// new one where that is another entry's. A file list that cannot be read throws Failure;
// a copies list that cannot be read counts as missing.
StickLists readStoredLists(Platform& platform, const WorkArea& area, const std::string& computer);

// Writes both lists so that, wherever the writing stops, every entry of the file list
// on the stick is with its own copy: entries that join go into the copies list before
// the file list, entries that leave go from the file list before the copies list.
void saveStoredLists(Platform& platform, const WorkArea& area, const std::string& computer,
                     const StickLists& onStick, const StoredLists& lists, bool rewriteFileList = false);

// The copies the other computers' entries use, their paths with letter case folded.
std::unordered_set<std::string> copiesOfOtherComputers(Platform& platform, const WorkArea& area,
                                                       const std::string& computer);

// Whether an entry uses the copy: one of this computer's (their copies given) or of
// another computer on the stick.
bool copyInUse(Platform& platform, const WorkArea& area, const std::string& computer,
               const Lines& thisComputer, const std::string& flashPath);

// Puts what both sides hold now into the copies list: the state of entry i (0-based) on
// every line whose computer path and copy are files[i] and flash[i], wherever it stands;
// the list is written only when a state changed, and otherwise left as it is.
void rememberStates(Platform& platform, const WorkArea& area, const std::string& computer, const Lines& files,
                    const Lines& flash, const std::vector<std::pair<std::size_t, EntryState>>& states);

// The files in the computer's copies folder that no entry uses, of this computer (their
// copies given, and any others it names) or of another on the stick: left by a removal or
// an addition cut short. None when a copies list cannot be read.
std::vector<std::string> unusedCopies(Platform& platform, const WorkArea& area, const std::string& computer,
                                      const Lines& thisComputer);

// The computer paths of the entries of every computer on the stick whose copy it is.
Lines entriesOnCopy(Platform& platform, const WorkArea& area, const std::string& flashPath);

// Points the lines of every computer's copies list that name a copy in the copies folder
// of computer `from` at that of computer `to`, all else on them kept. Reads every list
// before it writes one, so that a list that cannot be read changes nothing.
void repointCopies(Platform& platform, const WorkArea& area, const std::string& from, const std::string& to);

// The copies folder of this work area that a file lies in directly, or nothing.
std::optional<std::string> copiesFolderOf(const WorkArea& area, const std::string& path);

// Gives new entries their copies: in the copies folder, the file's name, else its
// folder's name and "_" before it, else a number, as the load rule shapes them; a name
// that every stick and Windows can carry, that fits with the names its kept versions
// take, that no entry of any computer on the stick uses and that no file there has
// (letter case ignored, as a stick compares names).
class NewCopies {
public:
    // thisComputer: the copies of the computer's own entries.
    NewCopies(Platform& platform, const WorkArea& area, const std::string& computer,
              const Lines& thisComputer);
    std::string give(const std::string& computerPath);
    // The first entry of this computer whose copy it is (1-based), or nothing.
    std::optional<std::size_t> entryOf(const std::string& flashPath) const;

private:
    bool taken(const std::string& name, bool exactly) const;

    Platform& m_platform;
    std::string m_copies;
    Lines m_thisComputer;
    std::unordered_set<std::string> m_used;    // folded full paths
    std::unordered_set<std::string> m_names;   // names of files there and copies given, as they are
    std::unordered_set<std::string> m_folded;  // and folded
};

// A digest of a list, so that a window tells a changed list without keeping a second one.
std::uint64_t digestOf(const Lines& lines);

}  // namespace verdaline
