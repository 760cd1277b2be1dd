#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace verdaline::texts {

inline constexpr const char* kApplicationTitle = "Verdaline";
inline constexpr const char* kUnknownComputer = "которого нет в Вашем списке";

// A count as the labels show it: "12 шт.".
std::string count(std::size_t n);

std::string lineOutsideCp1251(const std::string& path, const std::string& line);

std::string computerNameForbiddenCharacter(const std::string& name);
std::string computerNameOutsideCp1251(const std::string& name);
std::string computerNameTooLong(std::size_t longestBytes);
std::string computerNameTrailingDotOrSpace(const std::string& name);
std::string diskNumberUnreadable(int error);
// A name another computer on the stick has (letter case ignored), or that files left on
// the stick already carry.
std::string computerNameTaken(const std::string& name);
std::string computerNameLeftoverSpelledOtherwise(const std::string& leftover);
std::string computerRenamed(const std::string& from, const std::string& to);
// A rename cut short by a failure: what could not be moved; the next start finishes it.
std::string renameNotFinished(const std::string& from, const std::string& to, int error);
// A folder that could not be made: the folder error text, then what it means in words.
std::string folderNotMade(const std::string& folder, int error);
std::string pathOutsideCp1251(const std::string& path);
std::string pathWithLineBreak(const std::string& path);
std::string pathNotForStick(const std::string& path, char character);
std::string pathIsFolder(const std::string& path);
std::string pathIsDevice(const std::string& path);
std::string computerListUnreadable(const std::string& reason);
std::string workAreaBusy();
std::string userListOutsideCp1251(const std::string& line);
std::string duplicateCaption();
std::string duplicateEntry(const std::string& path, std::size_t position);
// What the last synchronisation did and when the next is due; either part may be missing.
// skippedAt: when the last automatic one found no stick.
std::string synchronisationStatus(const std::string& endedAt, std::size_t toFlash, std::size_t toComputer,
                                  std::size_t failed, std::size_t conflicts, const std::string& nextAt,
                                  const std::string& skippedAt = {});
// Why an entry of a run failed, in plain words: the entry's number and path, then the
// reason; onStick tells which side the failing copy wrote to, needed and free the bytes
// of a copy that found no room.
std::string failureReason(std::size_t number, const std::string& path, int error, bool onStick,
                          std::optional<std::uint64_t> needed, std::optional<std::uint64_t> free);
std::string noReportYet();
// Ends the reason of a "<" that found the stick write-protected.
std::string replacedVersionNotKept();
// The stick is gone: one message, whatever was being done.
std::string stickPulled();
// The window's line while the stick is gone.
std::string stickMissing();
std::string stickWriteProtected();
std::string reportNotSavedWriteProtected();

// Before a run's report when both sides of some entries had changed.
std::string conflictsKept(std::size_t conflicts);
// Adding a file from the stick.
std::string copyFailed(const std::string& source, const std::string& target, int error);
std::string notOnStick(const std::string& path);
std::string listedAlready(const std::string& path, std::size_t position);
std::string tiedAlready(const std::string& path, std::size_t position);
std::string copyOfAnotherEntry(const std::string& copy, std::size_t position);
std::string computerVersionNotKept(const std::string& path, int error);
std::string tieCaption();
std::string tieQuestion(const std::string& path, std::size_t position, const std::string& copy);
std::string tieHint(const std::string& path, std::size_t position);
// Entries whose copies a stick of an older version did not remember, given them now.
std::string copiesNowRemembered(std::size_t entries);
// Entries are numbered from 1, as the list shows them.
std::string copyOfTwoEntries(std::size_t entry, const std::string& path, std::size_t owner,
                             const std::string& ownerPath, const std::string& copy, const std::string& newCopy);

// A directed copy's plan: how many entries have their newer version on the other side,
// for the other arrow; and the same said of one entry.
std::string newerOtherWay(bool onStick, std::size_t count);
std::string newerOtherWayTip(bool onStick);

// Adding from the stick to a place whose folder is not there yet.
std::string createFolderQuestion(const std::string& folder);

// The computer's name changed on the stick while a window showed the old one.
std::string computerRenamedMeanwhile(const std::string& from, const std::optional<std::string>& to);

std::string untrustedComputerName(const std::string& computerListFile, const std::string& name);

// What may never be listed or given a name, and what a cut-short change leaves.
std::string pathInProgramFolder(const std::string& path);
std::string userListLineInProgramFolder(const std::string& line);
std::string userListLineOfAnotherEntry(const std::string& line, const std::string& owner);
std::string userListOtherLength(std::size_t lines, std::size_t entries);
std::string anotherComputersFile();
std::string computerNameEmpty();
std::string listChangeUndone(const std::string& reason);
std::string renameJournalDropped(const std::string& from, const std::string& to);

// Kept versions: taking one back, saving a copy of it, removing it.
std::string versionRestored(const std::string& path);
std::string versionNotRestored(const std::string& path, int error);
std::string versionNotSaved(const std::string& version, const std::string& target, int error);
std::string versionNotRemoved(const std::string& version, int error);
std::string versionGone(const std::string& version);
std::string entryGone(const std::string& path);
std::string versionRemoveQuestion(const std::string& version);
std::string versionRestoreQuestion(const std::string& date, const std::string& path);

}  // namespace verdaline::texts
