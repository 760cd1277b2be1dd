#include "computers.h"

#include <cstdio>

#include "copies_list.h"
#include "cp1251.h"
#include "errors.h"
#include "native_platform.h"
#include "texts.h"

namespace verdaline {
namespace {

// A stick takes names of up to 255 bytes; the longest name a computer's name goes into
// is the temporary file its file list is written through.
std::size_t longestNameBytes() {
    const WorkArea area("/");
    return 255 - fileNameOf(temporaryPathFor(area.fileListFile({}))).size();
}

std::string hex8(std::uint32_t value) {
    char buffer[9];
    std::snprintf(buffer, sizeof buffer, "%08X", value);
    return buffer;
}

}  // namespace

std::optional<std::string> diskNumberOf(const VolumeSerial& serial) {
    if (!serial.value) {
        return std::nullopt;
    }
    return hex8(*serial.value) + hex8(*serial.value);
}

Recognition recognise(const std::optional<std::string>& diskNumber, const Lines& computerList) {
    Recognition result;
    if (!diskNumber) {
        return result;
    }
    const std::string* found = nullptr;
    for (std::size_t i = 1; i < computerList.size(); ++i) {
        if (computerList[i] == *diskNumber) {
            found = &computerList[i - 1];
        }
    }
    if (found != nullptr) {
        if (computerNameProblem(*found)) {
            result.untrustedName = *found;
        } else {
            result.name = *found;
        }
    }
    return result;
}

bool nameTaken(const Lines& computerList, const std::string& name) {
    const std::string folded = foldCase(name);
    for (const auto& line : computerList) {
        if (foldCase(line) == folded) {
            return true;
        }
    }
    return false;
}

Lines freeComputerNames(const Lines& computerList) {
    Lines names;
    for (const char* name : {"Офисный", "Домашний", "Комп_1", "Комп_2", "Комп_3"}) {
        if (!nameTaken(computerList, name)) {
            names.emplace_back(name);
        }
    }
    for (int n = 4; names.empty(); ++n) {
        if (std::string name = "Комп_" + std::to_string(n); !nameTaken(computerList, name)) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

namespace {

// A name a computer is newly given: never an empty one (a stick of an older version may
// hold one, which its computer keeps).
std::optional<std::string> newNameProblem(const std::string& name) {
    if (name.find_first_not_of(" \t") == std::string::npos) {
        return texts::computerNameEmpty();
    }
    return computerNameProblem(name);
}

// The copies folders and lists of that name left on the stick, as they are spelled
// there (in any letter case), each beside the name it would have now.
std::vector<std::pair<std::string, std::string>> leftoversNamed(Platform& platform, const WorkArea& area,
                                                                const std::string& name) {
    std::vector<std::pair<std::string, std::string>> found;
    for (const auto& path : {area.copiesFolder(name), area.fileListFile(name), area.copiesListFile(name)}) {
        const std::string folder = path.substr(0, path.size() - fileNameOf(path).size());
        const std::string wanted = foldCase(fileNameOf(path));
        for (auto& entry : platform.namesIn(folder)) {
            if (foldCase(entry) == wanted) {
                found.emplace_back(std::move(entry), fileNameOf(path));
            }
        }
    }
    return found;
}

bool leftoverNamed(Platform& platform, const WorkArea& area, const std::string& name) {
    return !leftoversNamed(platform, area, name).empty();
}

}  // namespace

std::optional<std::string> computerNameProblem(const std::string& name) {
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || std::string_view("\\/:*?\"<>|").find(ch) != std::string_view::npos) {
            return texts::computerNameForbiddenCharacter(name);
        }
    }
    if (!fitsCp1251(name)) {
        return texts::computerNameOutsideCp1251(name);
    }
    if (name.size() > longestNameBytes()) {
        return texts::computerNameTooLong(longestNameBytes());
    }
    if (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
        return texts::computerNameTrailingDotOrSpace(name);
    }
    return std::nullopt;
}

std::optional<std::string> registerComputer(Platform& platform, const WorkArea& area, Lines& computerList,
                                            const std::string& name,
                                            const std::optional<std::string>& diskNumber,
                                            int diskNumberError) {
    if (!diskNumber) {
        return texts::diskNumberUnreadable(diskNumberError);
    }
    if (auto problem = newNameProblem(name)) {
        return problem;
    }
    const WorkAreaLock lock(platform, area);
    // The list as the stick has it now; one that cannot be read is not replaced by a
    // list of this computer alone.
    try {
        computerList = readListFile(platform, area.computerListFile()).value_or(Lines{});
    } catch (const Failure& failure) {
        return texts::computerListUnreadable(failure.what());
    }
    if (nameTaken(computerList, name)) {
        return texts::computerNameTaken(name);
    }
    // A computer registered again under its old name takes back what it left; a name
    // that differs from that one in letter case only is refused, as on a stick the two
    // are one.
    for (const auto& [leftover, now] : leftoversNamed(platform, area, name)) {
        if (leftover != now) {
            return texts::computerNameLeftoverSpelledOtherwise(leftover);
        }
    }
    computerList.push_back(name);
    computerList.push_back(*diskNumber);
    writeListFile(platform, area.computerListFile(), computerList);
    return std::nullopt;
}

namespace {

// Moves a file or folder of the old name to the new one, unless that was done already.
// A name that differs in letter case only goes by way of a third name: on a stick the
// two are one file, and a move onto it would find it taken.
void moveIfThere(Platform& platform, const std::string& from, const std::string& to, bool folder) {
    const auto there = [&platform, folder](const std::string& path) {
        return folder ? platform.isFolder(path) : platform.isFile(path);
    };
    // A move by way of the third name that was cut short is finished from there.
    if (const std::string between = temporaryPathFor(to); foldCase(from) == foldCase(to) && there(between)) {
        if (const int error = platform.moveFile(between, to)) {
            throw Failure(texts::renameNotFinished(between, to, error), error);
        }
        return;
    }
    if (from == to || !there(from)) {
        return;
    }
    int error = 0;
    if (foldCase(from) == foldCase(to)) {
        const std::string between = temporaryPathFor(to);
        error = platform.moveFile(from, between);
        if (error == 0) {
            error = platform.moveFile(between, to);
        }
    } else {
        error = platform.moveFile(from, to);
    }
    if (error != 0) {
        throw Failure(texts::renameNotFinished(from, to, error), error);
    }
}

// Every step can be done again: what was done already is found done.
void completeRename(Platform& platform, const WorkArea& area, const std::string& from,
                    const std::string& to) {
    repointCopies(platform, area, from, to);
    moveIfThere(platform, area.copiesFolder(from), area.copiesFolder(to), true);
    for (const auto fileOf : {&WorkArea::fileListFile, &WorkArea::copiesListFile, &WorkArea::reportFile,
                              &WorkArea::computerWritesMarker}) {
        moveIfThere(platform, (area.*fileOf)(from), (area.*fileOf)(to), false);
    }
    Lines computers = readListFile(platform, area.computerListFile()).value_or(Lines{});
    bool renamed = false;
    for (std::size_t i = 0; i < computers.size(); i += 2) {
        if (computers[i] == from) {
            computers[i] = to;
            renamed = true;
        }
    }
    if (renamed) {
        writeListFile(platform, area.computerListFile(), computers);
    }
    if (const int error = platform.removeFile(area.renameJournal()); error != 0 && !isNotFound(error)) {
        throw Failure(cannotCreateFileText(area.renameJournal(), error), error);
    }
}

}  // namespace

std::optional<std::string> renameComputer(Platform& platform, const WorkArea& area, const std::string& from,
                                          const std::string& to) {
    if (auto problem = newNameProblem(to)) {
        return problem;
    }
    if (to == from) {
        return std::nullopt;
    }
    const WorkAreaLock lock(platform, area);
    Lines computers = readListFile(platform, area.computerListFile()).value_or(Lines{});
    // The computer's own name in another letter case is its own to take.
    const bool caseOnly = foldCase(to) == foldCase(from);
    for (std::size_t i = 0; caseOnly && i < computers.size(); i += 2) {
        if (computers[i] == from) {
            computers.erase(
                computers.begin() + static_cast<std::ptrdiff_t>(i),
                computers.begin() + static_cast<std::ptrdiff_t>(std::min(i + 2, computers.size())));
            break;
        }
    }
    // A name that files left on the stick carry would take them over, in any letter case:
    // the stick does not tell them apart.
    if (nameTaken(computers, to) || (!caseOnly && leftoverNamed(platform, area, to))) {
        return texts::computerNameTaken(to);
    }
    writeListFile(platform, area.renameJournal(), Lines{from, to});
    completeRename(platform, area, from, to);
    return std::nullopt;
}

std::optional<std::string> finishRename(Platform& platform, const WorkArea& area) {
    // What a write cut short left beside the lists (the journal's own temporary file
    // among them) is removed under the lock, so that no other program's write is taken.
    bool leftovers = false;
    for (const auto& name : platform.namesIn(area.listsFolder())) {
        leftovers = leftovers || isTemporaryName(name);
    }
    if (!leftovers && !platform.isFile(area.renameJournal())) {
        return std::nullopt;
    }
    try {
        const WorkAreaLock lock(platform, area);
        platform.removeLeftovers(area.listsFolder());
        if (!platform.isFile(area.renameJournal())) {
            return std::nullopt;
        }
        const Lines journal = readListFile(platform, area.renameJournal()).value_or(Lines{});
        if (journal.size() != 2 || computerNameProblem(journal[0]) || computerNameProblem(journal[1])) {
            platform.removeFile(area.renameJournal());  // not one this program wrote
            return std::nullopt;
        }
        // Carried out only where it is sound: the old computer is there (or its rename is
        // done but for the journal), and the new name is no other computer's.
        const Lines computers = readListFile(platform, area.computerListFile()).value_or(Lines{});
        const auto listed = [&computers](const std::string& name) {
            for (std::size_t i = 0; i < computers.size(); i += 2) {
                if (computers[i] == name) {
                    return true;
                }
            }
            return false;
        };
        const std::string& from = journal[0];
        const std::string& to = journal[1];
        const bool caseOnly = foldCase(from) == foldCase(to);
        if ((listed(from) && (caseOnly || !nameTaken(computers, to))) || (!listed(from) && listed(to))) {
            completeRename(platform, area, from, to);
            return std::nullopt;
        }
        platform.removeFile(area.renameJournal());
        return texts::renameJournalDropped(from, to);
    } catch (const WriteProtected&) {
        // Read as it stands; the rename is finished where the stick can be written.
    }
    return std::nullopt;
}

Lines copiesFolders(Platform& platform, const WorkArea& area, const Lines& computerList) {
    Lines folders;
    for (std::size_t i = 0; i < computerList.size(); i += 2) {
        if (const std::string folder = area.copiesFolder(computerList[i]);
            !computerNameProblem(computerList[i]) && platform.isFolder(folder)) {
            folders.push_back(folder);
        }
    }
    return folders;
}

void requireStillNamed(Platform& platform, const WorkArea& area, const std::string& computer) {
    const auto list = readListFile(platform, area.computerListFile());
    if (!list) {
        return;
    }
    for (std::size_t i = 0; i < list->size(); i += 2) {
        if ((*list)[i] == computer) {
            return;
        }
    }
    throw Failure(texts::computerRenamedMeanwhile(computer, std::nullopt));
}

}  // namespace verdaline
