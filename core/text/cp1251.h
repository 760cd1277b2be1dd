#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace verdaline {

// The work area's files are code page 1251; in memory every text is UTF-8.
// Every byte maps to its own character (0x98, unassigned in the code page, maps to
// U+0098), so any file survives a read and a write unchanged.
std::string decodeCp1251(std::string_view bytes);

// Nothing when the text holds a character the code page has no byte for
// (or is not valid UTF-8).
std::optional<std::string> encodeCp1251(std::string_view utf8);

// Appends the text's bytes; false, and nothing appended, when it holds such a character.
bool appendCp1251(std::string_view utf8, std::string& bytes);

// For texts that only inform (the copy report): such a character becomes '?'.
std::string encodeCp1251Lossy(std::string_view utf8);
void appendCp1251Lossy(std::string_view utf8, std::string& bytes);

bool fitsCp1251(std::string_view utf8);

// Upper-case and lower-case letters of the code page made equal, the way the
// file systems of flash drives (FAT, exFAT, NTFS) compare names.
std::string foldCase(std::string_view utf8);

}  // namespace verdaline
