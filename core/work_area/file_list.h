#pragma once

#include <optional>
#include <string>
#include <vector>

#include "list_file.h"
#include "platform.h"
#include "work_area.h"

namespace verdaline {

// The 1-based position of the entry equal to path (letter case significant), or
// nothing when the path is not listed.
std::optional<std::size_t> positionOf(const Lines& fileList, const std::string& path);

// Why a path cannot go into the file list as a line, or nothing.
std::optional<std::string> pathProblem(const std::string& path);

// The file list and its flash-side list, paired line by line.
struct FileLists {
    Lines files;
    Lines flash;
    bool operator==(const FileLists&) const = default;
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
};

// The lists as the stick has them now: held itself while the file list on the stick is
// the one held (so lines typed by hand stay), otherwise the stick's file list with the
// flash paths of the load rule. A file list that cannot be read throws Failure.
FileLists listsOnStick(Platform& platform, const WorkArea& area, const std::string& computer,
                       const FileLists& held);
// The same when the stick's file list differs from held; nothing when it does not or
// cannot be read now.
std::optional<FileLists> changedOnStick(Platform& platform, const WorkArea& area, const std::string& computer,
                                        const FileLists& held);

// Adds paths, under the work area's lock, to the file list as the stick has it. A path
// that is listed already, cannot be a list line or has a name a stick refuses is left
// out with a notice. A file lying where a new entry's copy belongs goes to the old-files
// folder first, unless it is copiedFrom: with copiedFrom, the one path is first copied
// there from it (a failed copy is a notice; the entry is added all the same).
ListChange addEntries(Platform& platform, const WorkArea& area, const std::string& computer,
                      const FileLists& held, const std::vector<std::string>& paths,
                      const std::string& copiedFrom = {});

// Removes entry index (0-based, of held) under the work area's lock; without an index
// the file list is only saved again. Every kept entry whose flash path the load rule now
// gives otherwise has its copy moved there, and a file lying in the way goes to the
// old-files folder. If a move or the save fails, every move is undone and Failure thrown.
ListChange removeEntry(Platform& platform, const WorkArea& area, const std::string& computer,
                       const FileLists& held, std::optional<std::size_t> index);

// Writes the computer's file list, making the lists folder first when missing.
void saveFileList(Platform& platform, const WorkArea& area, const std::string& computer,
                  const Lines& fileList);

// Saves a flash-side list as a user list; a line the code page cannot hold is refused
// before anything is written.
void saveUserList(Platform& platform, const std::string& path, const Lines& flashList);
// Reads a user list; one that is missing cannot be opened either.
Lines loadUserList(Platform& platform, const std::string& path);

}  // namespace verdaline
