#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform.h"

namespace verdaline {

using Lines = std::vector<std::string>;

// A line ends at CR LF, a lone CR or a lone LF; one line end at the very end adds no
// entry, every other empty line is an entry. Lines are kept exactly as they stand.
Lines splitLines(std::string_view text);

// Every line followed by CR LF.
std::string joinLines(const Lines& lines);

// The list file's lines, decoded from code page 1251; nothing when no file (a folder
// does not count) has that name. A file that exists but cannot be read throws
// Failure("Cannot open file ...").
std::optional<Lines> readListFile(Platform& platform, const std::string& path);
// The same, each line handed to eachLine as it is decoded, so that a long list is not
// held twice; false when there is no such file.
bool readListFile(Platform& platform, const std::string& path, const std::function<void(std::string&&)>& eachLine);

// Writes the lines whole in code page 1251 with CR LF. Throws Failure("Cannot create
// file ...") when the file cannot be written, and refuses before touching the disk a
// line that the code page cannot hold.
void writeListFile(Platform& platform, const std::string& path, const Lines& lines);
// The same for lines made one at a time by lineAt, each made twice: once to be checked,
// once to be written.
void writeListFile(Platform& platform, const std::string& path, std::size_t lines,
                   const std::function<std::string(std::size_t)>& lineAt);

// The first line that code page 1251 cannot hold, if any.
const std::string* firstLineOutsideCp1251(const Lines& lines);

}  // namespace verdaline
