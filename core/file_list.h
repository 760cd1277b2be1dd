#pragma once

#include <optional>
#include <string>

#include "list_file.h"
#include "platform.h"
#include "work_area.h"

namespace verdaline {

// The 1-based position of the entry equal to path (letter case significant), or
// nothing when the path is not listed.
std::optional<std::size_t> positionOf(const Lines& fileList, const std::string& path);

// The flash path that a path appended to the file list gets: the one the next start
// rebuilds for it.
std::string flashPathForNewEntry(const Lines& fileList, const std::string& path,
                                 const std::string& copiesFolder);

// Why a path cannot go into the file list, or nothing.
std::optional<std::string> pathProblem(const std::string& path);

// Removes entry index (0-based) from the file list and, where it has that line,
// from the flash-side list.
void removeEntry(Lines& fileList, Lines& flashList, std::size_t index);

// Writes the computer's file list, making the lists folder first when missing.
void saveFileList(Platform& platform, const WorkArea& area, const std::string& computer,
                  const Lines& fileList);

// Saves a flash-side list as a user list; a line the code page cannot hold is refused
// before anything is written.
void saveUserList(Platform& platform, const std::string& path, const Lines& flashList);
// Reads a user list; one that is missing cannot be opened either.
Lines loadUserList(Platform& platform, const std::string& path);

}  // namespace verdaline
