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

// Whether a name equals a line of the computer list, letter case ignored: sticks ignore
// it, so "офис" would share the files of "Офис".
bool nameTaken(const Lines& computerList, const std::string& name);

// The names the registration box offers, none of them taken; the first is proposed.
Lines freeComputerNames(const Lines& computerList);

// Why a name cannot be a computer's name, or nothing. The name goes into the names
// of files and folders on the flash drive and into a code page 1251 list.
std::optional<std::string> computerNameProblem(const std::string& name);

// Registers the computer under the work area's lock: reads the computer list again,
// appends the name and the disk number and writes the list; computerList becomes what
// the stick holds. A refusal (bad or taken name, no disk number, a list that cannot be
// read) comes back as its message and writes nothing; a disk failure throws Failure.
std::optional<std::string> registerComputer(Platform& platform, const WorkArea& area, Lines& computerList,
                                            const std::string& name,
                                            const std::optional<std::string>& diskNumber,
                                            int diskNumberError);

// Renames the computer under the work area's lock: every copies list that names a copy
// in its copies folder (another computer's entries share them), the copies folder, its
// lists, report and the computer list follow. Each step is written in a journal first,
// so that a pulled stick leaves a rename that finishRename completes. A refusal comes
// back as its message and writes nothing; a disk failure throws Failure.
std::optional<std::string> renameComputer(Platform& platform, const WorkArea& area, const std::string& from,
                                          const std::string& to);

// Throws Failure when the stick's computer list no longer names the computer (renamed or
// removed by another program): a list, a folder or a report written under that name would
// be no computer's. Called under the work area's lock, before anything is written; a stick
// without a computer list is not checked.
void requireStillNamed(Platform& platform, const WorkArea& area, const std::string& computer);

// The copies folders of the computers on the stick that have one, in the list's order.
Lines copiesFolders(Platform& platform, const WorkArea& area, const Lines& computerList);

// Completes a rename that a pulled stick or a killed program cut short, where its journal
// is sound; a journal that is not (its computer gone, its new name another computer's) is
// dropped, changing nothing, and its message comes back. Removes what writes cut short
// left beside the lists. Every start does it before it recognises the computer.
std::optional<std::string> finishRename(Platform& platform, const WorkArea& area);

}  // namespace verdaline
