#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "file_state.h"
#include "list_file.h"
#include "platform.h"
#include "work_area.h"

namespace verdaline {

// The 1-based position of the entry that names the same file as path in any spelling
// (letter case significant), or nothing when the path is not listed.
std::optional<std::size_t> positionOf(const Lines& fileList, const std::string& path);

// Why a path cannot go into the file list as a line, or nothing.
std::optional<std::string> pathProblem(const std::string& path);

// The file list and its flash-side list, paired line by line.
struct FileLists {
    Lines files;
    Lines flash;  // each entry's copy as the stick remembers it, or lines typed by hand
    // A digest of the copies the stick remembers for the entries, so that a change on the
    // stick shows even while the flash-side list holds lines typed by hand.
    std::uint64_t remembered = 0;
    // What both sides of each entry held after the last run, where the stick knows it and
    // the entry's flash path is its copy.
    std::vector<std::optional<EntryState>> states;
    bool operator==(const FileLists& other) const {
        return files == other.files && flash == other.flash && remembered == other.remembered;
    }
};

// A message for the user: a refusal or a warning.
struct Notice {
    std::string caption;
    std::string text;
};

// What a change of the file list came to. The lists are those on the stick when the
// change was made, so they hold what other programs changed before it.
struct ListChange {
    FileLists lists;
    std::vector<Notice> notices;
    std::vector<std::size_t> added;      // 0-based positions of the entries added
    std::optional<std::string> removed;  // the path of the entry removed
    // A copy chosen on the stick for a listed path: the entry (1-based) it may be tied to,
    // when the user wants it so.
    std::optional<std::size_t> canTie;
};

// The lists as the stick has them now: held itself while the stick's lists are the ones
// held (so lines typed by hand stay), otherwise the stick's file list with each entry's
// copy. The caller holds the work area's lock. A file list that cannot be read throws Failure.
FileLists listsOnStick(Platform& platform, const WorkArea& area, const std::string& computer,
                       const FileLists& held);
// The same when the stick's lists differ from held; nothing when they do not, or cannot be
// read now (another program is changing them).
std::optional<FileLists> changedOnStick(Platform& platform, const WorkArea& area, const std::string& computer,
                                        const FileLists& held);

// How a computer's two lists stand on the stick (each file's time and size), so that a
// window tells cheaply whether another program may have changed them since it read them.
struct ListsStamp {
    std::optional<SideState> fileList;
    std::optional<SideState> copiesList;
    bool operator==(const ListsStamp&) const = default;
};
ListsStamp stampOf(Platform& platform, const WorkArea& area, const std::string& computer);

// The computer's lists as the window's start and every command load them, under the
// work area's lock; nothing when it has no file list. Entries whose copies the stick
// does not remember yet (a stick of an older version) get them now, remembered from
// then on, with a notice.
std::optional<ListChange> loadLists(Platform& platform, const WorkArea& area, const std::string& computer);
// The lists as the stick has them, read under the lock and written nowhere: copies not
// remembered yet are given as loading gives them, unremembered. Nothing without a file list.
std::optional<FileLists> readLists(Platform& platform, const WorkArea& area, const std::string& computer);
// The same while the caller holds the work area's lock for writing (a copy run).
ListChange loadLists(Platform& platform, const WorkArea& area, const std::string& computer, const WorkAreaLock& held);

// Adds files of this computer, under the work area's lock, to the file list as the stick
// has it, each in its plain spelling with a copy of its own. A path that is listed
// already (in any spelling), cannot be a list line or has a name a stick refuses is left
// out with a notice.
ListChange addEntries(Platform& platform, const WorkArea& area, const std::string& computer,
                      const FileLists& held, const std::vector<std::string>& paths);

// Adds a file taken from the stick: copies flashFile to computerPath (keeping a version
// that is there in the old-files folder) and lists it. A file lying in a copies folder of
// this work area, this computer's or another's, becomes the entry's copy, so that two
// computers share it; any other file of the stick gets a copy of its own. A path listed
// already is tied to the copy only with tie (its copy of before stays on the stick when
// another entry uses it, otherwise it goes to the old-files folder); without, canTie says
// that it may be. A file that is not on the stick or cannot be copied adds nothing.
ListChange addFromFlash(Platform& platform, const WorkArea& area, const std::string& computer,
                        const FileLists& held, const std::string& flashFile, const std::string& computerPath,
                        bool tie = false);

// Removes entry index (0-based, of held) under the work area's lock; without an index
// the file list is only saved again. No other entry's copy moves; the removed entry's
// copy goes to the old-files folder unless an entry of another computer uses it.
ListChange removeEntry(Platform& platform, const WorkArea& area, const std::string& computer,
                       const FileLists& held, std::optional<std::size_t> index);

// The entries (by 0-based position) whose line of the flash-side list names a copy that
// another entry owns: another entry's of this computer, or one of another computer that
// this entry does not share. A run writes nothing for them, so that a list typed or loaded
// by hand never puts one file over another. Empty when there are none.
std::vector<bool> entriesOnOthersCopies(Platform& platform, const WorkArea& area, const std::string& computer,
                                        const Lines& files, const Lines& flash);

// Saves a flash-side list as a user list; a line the code page cannot hold is refused
// before anything is written.
void saveUserList(Platform& platform, const std::string& path, const Lines& flashList);
// Reads a user list; one that is missing cannot be opened either. A copy of this work
// area's copies folders, written where another computer mounts the stick (another
// folder, another drive letter), is read as the same copy here.
Lines readUserList(Platform& platform, const WorkArea& area, const std::string& path);

// A user list as the flash-side list of the computer takes it: refused whole (Failure)
// when a line names a copy that another entry owns (of this computer or another: line i
// belongs to entry i) or a file of the program folder that is no copy; a list of another
// length than the file list comes with a notice.
struct LoadedUserList {
    Lines lines;
    std::vector<Notice> notices;
};
LoadedUserList loadUserList(Platform& platform, const WorkArea& area, const std::string& computer,
                            const std::string& path);

}  // namespace verdaline
