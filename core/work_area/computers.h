#pragma once

#include <optional>
#include <string>

#include "list_file.h"
#include "platform.h"
#include "work_area.h"

namespace verdaline {

// The computer's identity: the system volume's serial as 8 upper-case hexadecimal
// digits, written twice. Nothing when the serial cannot be read; such a computer
// matches no line of a computer list.
std::optional<std::string> diskNumberOf(const VolumeSerial& serial);

struct Recognition {
    std::optional<std::string> name;  // the computer's name when recognised
    // A name found for this computer that cannot be part of file names (a computer
    // list edited by hand); the computer then counts as not recognised.
    std::optional<std::string> untrustedName;
};

// Every line equal to the disk number names the computer by the line before it;
// the last such line decides.
Recognition recognise(const std::optional<std::string>& diskNumber, const Lines& computerList);

// The name and the disk number appended; a name equal to any earlier line, letter case
// ignored, gets the list's new line count appended (Офисный -> Офисный3).
void appendComputer(Lines& computerList, const std::string& name, const std::string& diskNumber);

// Why a name cannot be a computer's name, or nothing. The name goes into the names
// of files and folders on the flash drive and into a code page 1251 list.
std::optional<std::string> computerNameProblem(const std::string& name);

// Registers the computer under the work area's lock: reads the computer list again,
// appends the computer and writes the list; computerList becomes what the stick holds.
// A refusal (bad name, no disk number, a list that cannot be read) comes back as its
// message and writes nothing; a disk failure throws Failure.
std::optional<std::string> registerComputer(Platform& platform, const WorkArea& area, Lines& computerList,
                                            const std::string& name,
                                            const std::optional<std::string>& diskNumber,
                                            int diskNumberError);

}  // namespace verdaline
