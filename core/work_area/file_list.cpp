#include "file_list.h"

#include <cerrno>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "computers.h"
#include "copies_list.h"
#include "cp1251.h"
#include "errors.h"
#include "flash_paths.h"
#include "texts.h"
#include "version_memory.h"

namespace verdaline {
namespace {

// Characters that the file systems of sticks refuse in a name, besides control characters.
constexpr std::string_view kNotOnStick = ":*?\"<>|\\";

std::optional<char> characterNotOnStick(const std::string& name) {
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || kNotOnStick.find(c) != std::string_view::npos) {
            return c;
        }
    }
    return std::nullopt;
}

std::string comparable(const std::string& path) {
    return isAbsolutePath(path) ? plainPath(path) : path;
}

// Two entries name one file when their keys are equal: Windows ignores letter case in
// paths, Linux does not.
std::string entryKey(const std::string& path) {
#ifdef _WIN32
    return foldCase(comparable(path));
#else
    return comparable(path);
#endif
}

// A path that names something else than a regular file or nothing: a folder, or a device
// (on Windows by its name, wherever it stands; here by what it is).
std::optional<std::string> notAFile(Platform& platform, const std::string& path) {
    if (platform.isFolder(path)) {
        return texts::pathIsFolder(path);
    }
#ifdef _WIN32
    const bool device = isDeviceName(fileNameOf(path));
#else
    const bool device = platform.stateOf(path).special;
#endif
    return device ? std::optional(texts::pathIsDevice(path)) : std::nullopt;
}

// A shared copy as the stick spells it: the file's own name in its folder, whatever letter
// case picked it.
std::string spelledOnStick(Platform& platform, const std::string& folder, const std::string& name) {
    std::string spelled = folder;
    std::string file = name;
    for (const auto& found : platform.filesIn(folder)) {
        if (found == name) {
            file = found;
            break;
        }
        if (foldCase(found) == foldCase(name)) {
            file = found;
        }
    }
    spelled += kSeparator;
    spelled += file;
    return spelled;
}

// The lists of the stick as a window shows them: held while the stick's are the ones held.
// The states go with the stick's copies, not with lines typed over them.
FileLists shown(const StoredLists& stick, const FileLists& held) {
    const std::uint64_t remembered = digestOf(stick.flash);
    if (stick.files != held.files || remembered != held.remembered) {
        return {stick.files, stick.flash, remembered, stick.states};
    }
    FileLists lists = held;
    lists.states = stick.states;
    for (std::size_t i = 0; i < lists.states.size(); ++i) {
        if (i >= held.flash.size() || held.flash[i] != stick.flash[i]) {
            lists.states[i].reset();
        }
    }
    return lists;
}

// The lists as read, when none are held yet: moved, not copied, a long list being long.
FileLists shown(StoredLists&& stick) {
    const std::uint64_t remembered = digestOf(stick.flash);
    return {std::move(stick.files), std::move(stick.flash), remembered, std::move(stick.states)};
}

// Before a list change, the copies that no entry uses (nor the window holds, nor the
// change takes) go aside, as a removed entry's copy does: a removal or an addition cut
// short leaves none lying in the copies folder, and a file added again takes its name.
void putAsideUnusedCopies(Platform& platform, const WorkArea& area, const std::string& computer,
                          const StoredLists& lists, const FileLists& held, const std::string& taken = {}) {
    Lines used = lists.flash;
    used.insert(used.end(), held.flash.begin(), held.flash.end());
    used.push_back(taken);
    for (const auto& path : unusedCopies(platform, area, computer, used)) {
        keepAside(platform, path, {});
    }
}

// The entries' positions by the plain spelling of their paths.
std::unordered_map<std::string, std::size_t> positionsOf(const Lines& files) {
    std::unordered_map<std::string, std::size_t> positions;
    positions.reserve(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        positions.try_emplace(entryKey(files[i]), i + 1);
    }
    return positions;
}

// Puts an entry's line into the flash-side list shown, on its entry's number whatever the
// user made of that list.
void showLine(Lines& flash, std::size_t line, const std::string& flashPath) {
    if (flash.size() < line) {
        flash.resize(line);
    }
    flash.insert(flash.begin() + static_cast<std::ptrdiff_t>(line), flashPath);
}

const Notice& warning() {
    static const Notice notice{texts::kApplicationTitle, {}};
    return notice;
}

}  // namespace

std::optional<std::size_t> positionOf(const Lines& fileList, const std::string& path) {
    const std::string wanted = entryKey(path);
    for (std::size_t i = 0; i < fileList.size(); ++i) {
        if (entryKey(fileList[i]) == wanted) {
            return i + 1;
        }
    }
    return std::nullopt;
}

std::optional<std::string> pathProblem(const std::string& path) {
    if (path.find_first_of("\r\n") != std::string::npos) {
        return texts::pathWithLineBreak(path);
    }
    if (!fitsCp1251(path)) {
        return texts::pathOutsideCp1251(path);
    }
    if (fileNameOf(path).empty()) {
        return texts::pathIsFolder(path);
    }
    return std::nullopt;
}

FileLists listsOnStick(Platform& platform, const WorkArea& area, const std::string& computer,
                       const FileLists& held) {
    return shown(readStoredLists(platform, area, computer).lists, held);
}

std::optional<FileLists> changedOnStick(Platform& platform, const WorkArea& area, const std::string& computer,
                                        const FileLists& held) {
    try {
        const WorkAreaLock lock(platform, area, WorkAreaLock::Reading::Yes, {});
        FileLists lists = listsOnStick(platform, area, computer, held);
        if (lists != held) {
            return lists;
        }
    } catch (const Failure&) {
        // Read again at the next look or the next change, which reports it.
    }
    return std::nullopt;
}

namespace {

// The lists read, the copies not remembered yet given and remembered (with a notice)
// when the stick can be written; the caller holds the lock for writing.
ListChange remembered(Platform& platform, const WorkArea& area, const std::string& computer,
                      StickLists stick) {
    ListChange change;
    if (stick.notRemembered > 0) {
        try {
            saveStoredLists(platform, area, computer, stick, stick.lists);
            const StoredLists& lists = stick.lists;
            for (const auto& [entry, owner] : stick.onOwnersCopy) {
                change.notices.push_back(
                    {warning().caption, texts::copyOfTwoEntries(entry + 1, lists.files[entry], owner + 1,
                                                                lists.files[owner], lists.flash[owner],
                                                                lists.flash[entry])});
            }
            if (stick.notRemembered > stick.onOwnersCopy.size()) {
                change.notices.push_back(
                    {warning().caption,
                     texts::copiesNowRemembered(stick.notRemembered - stick.onOwnersCopy.size())});
            }
        } catch (const Failure&) {
            // A stick that cannot be written now: the copies are given the same way next time.
        }
    }
    change.lists = shown(std::move(stick.lists));
    return change;
}

}  // namespace

ListsStamp stampOf(Platform& platform, const WorkArea& area, const std::string& computer) {
    const auto side = [&platform](const std::string& path) -> std::optional<SideState> {
        const Platform::FileState state = platform.stateOf(path);
        return state.exists ? std::optional(SideState{state.time(), state.size}) : std::nullopt;
    };
    return {side(area.fileListFile(computer)), side(area.copiesListFile(computer))};
}

std::optional<ListChange> loadLists(Platform& platform, const WorkArea& area, const std::string& computer) {
    {
        const WorkAreaLock reading(platform, area, WorkAreaLock::Reading::Yes);
        if (!platform.isFile(area.fileListFile(computer))) {
            return std::nullopt;
        }
        StickLists stick = readStoredLists(platform, area, computer);
        if (stick.notRemembered == 0) {
            return remembered(platform, area, computer, std::move(stick));
        }
    }
    try {
        const WorkAreaLock writing(platform, area);
        return loadLists(platform, area, computer, writing);
    } catch (const Failure&) {
        // Nothing can write the stick now: the copies are given the same way, unremembered.
        return ListChange{readLists(platform, area, computer).value_or(FileLists{}), {}, {}, {}, {}};
    }
}

std::optional<FileLists> readLists(Platform& platform, const WorkArea& area, const std::string& computer) {
    const WorkAreaLock reading(platform, area, WorkAreaLock::Reading::Yes);
    if (!platform.isFile(area.fileListFile(computer))) {
        return std::nullopt;
    }
    return shown(readStoredLists(platform, area, computer).lists);
}

ListChange loadLists(Platform& platform, const WorkArea& area, const std::string& computer,
                     const WorkAreaLock&) {
    return remembered(platform, area, computer, readStoredLists(platform, area, computer));
}

ListChange addEntries(Platform& platform, const WorkArea& area, const std::string& computer,
                      const FileLists& held, const std::vector<std::string>& paths) {
    const WorkAreaLock lock(platform, area);
    requireStillNamed(platform, area, computer);
    const StickLists stick = readStoredLists(platform, area, computer);
    putAsideUnusedCopies(platform, area, computer, stick.lists, held);
    StoredLists lists = stick.lists;
    ListChange change{shown(lists, held), {}, {}, {}, {}};
    ensureFolder(platform, area.copiesFolder(computer));
    std::unordered_map<std::string, std::size_t> positions = positionsOf(lists.files);
    std::optional<NewCopies> copies;
    bool save = paths.empty();
    for (const auto& given : paths) {
        auto problem = pathProblem(given);
        if (!problem) {
            problem = notAFile(platform, given);
        }
        if (!problem && insideProgramFolder(platform, area, given)) {
            problem = texts::pathInProgramFolder(given);
        }
        if (const auto bad = problem ? std::nullopt : characterNotOnStick(fileNameOf(given))) {
            problem = texts::pathNotForStick(given, *bad);
        }
        if (problem) {
            change.notices.push_back({warning().caption, *problem});
            continue;
        }
        save = true;
        const std::string path = comparable(given);
        if (const auto known = positions.find(entryKey(path)); known != positions.end()) {
            change.notices.push_back(
                {texts::duplicateCaption(), texts::duplicateEntry(given, known->second)});
            continue;
        }
        if (!copies) {
            copies.emplace(platform, area, computer, lists.flash);
        }
        const std::string flashPath = copies->give(path);
        lists.files.push_back(path);
        lists.flash.push_back(flashPath);
        lists.states.emplace_back();
        positions.emplace(entryKey(path), lists.files.size());
        change.lists.files.push_back(path);
        showLine(change.lists.flash, lists.files.size() - 1, flashPath);
        change.added.push_back(lists.files.size() - 1);
    }
    if (save) {
        saveStoredLists(platform, area, computer, stick, lists, true);
    }
    change.lists.remembered = digestOf(lists.flash);
    change.lists = shown(lists, change.lists);
    return change;
}

ListChange addFromFlash(Platform& platform, const WorkArea& area, const std::string& computer,
                        const FileLists& held, const std::string& flashFile, const std::string& computerPath,
                        bool tie) {
    const WorkAreaLock lock(platform, area);
    requireStillNamed(platform, area, computer);
    const StickLists stick = readStoredLists(platform, area, computer);
    putAsideUnusedCopies(platform, area, computer, stick.lists, held, flashFile);
    StoredLists lists = stick.lists;
    ListChange change{shown(lists, held), {}, {}, {}, {}};
    const auto refuse = [&](std::string text) {
        change.notices.push_back({warning().caption, std::move(text)});
        return change;
    };
    auto problem = pathProblem(computerPath);
    if (!problem) {
        problem = notAFile(platform, computerPath);
    }
    if (!problem && insideProgramFolder(platform, area, computerPath)) {
        problem = texts::pathInProgramFolder(computerPath);
    }
    if (const auto bad = problem ? std::nullopt : characterNotOnStick(fileNameOf(computerPath))) {
        problem = texts::pathNotForStick(computerPath, *bad);
    }
    if (problem) {
        return refuse(*problem);
    }
    if (!platform.isFile(flashFile) ||
        platform.mountPointOf(flashFile) != platform.mountPointOf(area.programFolder())) {
        return refuse(texts::notOnStick(flashFile));
    }
    const std::string path = comparable(computerPath);
    const auto folder = copiesFolderOf(area, comparable(flashFile));
    const std::optional<std::string> shared =
        folder ? std::optional(spelledOnStick(platform, *folder, fileNameOf(flashFile))) : std::nullopt;
    NewCopies copies(platform, area, computer, lists.flash);
    const auto listed = positionOf(lists.files, path);
    if (listed && !shared) {
        return refuse(texts::listedAlready(computerPath, *listed));
    }
    if (shared) {
        const auto owner = copies.entryOf(*shared);
        if (owner && owner == listed) {
            return refuse(texts::tiedAlready(computerPath, *listed));
        }
        if (owner) {
            return refuse(texts::copyOfAnotherEntry(*shared, *owner));
        }
    }
    if (listed && !tie) {
        change.canTie = listed;
        return change;
    }
    const std::string flashPath = shared ? *shared : copies.give(path);
    VersionMemory memory(platform);
    std::optional<std::string> kept;
    if (const int error = keepComputerVersion(platform, area, computer, path, flashPath, memory, kept)) {
        return refuse(texts::computerVersionNotKept(path, error));
    }
    Copied copied;
    if (const int error = platform.copyFile(flashFile, path, CopyMode::OnComputer, &copied)) {
        if (kept) {
            platform.removeFile(*kept);  // the computer's version stays where it was
        }
        return refuse(texts::copyFailed(flashFile, path, error));
    }
    // Both sides are equal now: from here on, the side that changes travels.
    std::optional<EntryState> equal;
    if (shared) {
        equal = EntryState{{copied.time, copied.size}, {copied.sourceTime, copied.size}, copied.digest, true};
    }
    std::optional<std::string> before;
    if (listed) {
        const std::size_t i = *listed - 1;
        before = lists.flash[i];
        lists.flash[i] = flashPath;
        lists.states[i] = equal;
        if (i < change.lists.flash.size()) {
            change.lists.flash[i] = flashPath;
        }
    } else {
        lists.files.push_back(path);
        lists.flash.push_back(flashPath);
        lists.states.push_back(equal);
        change.lists.files.push_back(path);
        showLine(change.lists.flash, lists.files.size() - 1, flashPath);
        change.added.push_back(lists.files.size() - 1);
    }
    try {
        saveStoredLists(platform, area, computer, stick, lists);
    } catch (const Failure& failure) {
        // All or nothing: the computer's file as it was, and the lists as they were where
        // they can still be written.
        if (kept) {
            if (platform.copyFile(*kept, path, CopyMode::OnComputer) == 0) {
                platform.removeFile(*kept);  // back in its place, it needs keeping no more
            }
        } else {
            platform.removeFile(path);
        }
        try {
            saveStoredLists(platform, area, computer, readStoredLists(platform, area, computer), stick.lists);
        } catch (const Failure&) {
            // Nothing more can be written there now.
        }
        throw Failure(texts::listChangeUndone(withFullStop(failure.what())), failure.error());
    }
    memory.save();
    change.lists.remembered = digestOf(lists.flash);
    change.lists = shown(lists, change.lists);
    if (before && !copyInUse(platform, area, computer, lists.flash, *before)) {
        keepAside(platform, *before, path);
    }
    return change;
}

ListChange removeEntry(Platform& platform, const WorkArea& area, const std::string& computer,
                       const FileLists& held, std::optional<std::size_t> index) {
    const WorkAreaLock lock(platform, area);
    requireStillNamed(platform, area, computer);
    const StickLists stick = readStoredLists(platform, area, computer);
    putAsideUnusedCopies(platform, area, computer, stick.lists, held);
    StoredLists lists = stick.lists;
    ListChange change{shown(lists, held), {}, {}, {}, {}};
    // The entry chosen in held, found again in the list as it is now.
    std::optional<std::size_t> at;
    if (index && *index < held.files.size()) {
        if (*index < lists.files.size() && lists.files[*index] == held.files[*index]) {
            at = *index;
        } else {
            for (std::size_t i = 0; i < lists.files.size() && !at; ++i) {
                if (lists.files[i] == held.files[*index]) {
                    at = i;
                }
            }
        }
    }
    std::string copy;
    if (at) {
        const auto line = static_cast<std::ptrdiff_t>(*at);
        change.removed = lists.files[*at];
        copy = lists.flash[*at];
        lists.files.erase(lists.files.begin() + line);
        lists.flash.erase(lists.flash.begin() + line);
        lists.states.erase(lists.states.begin() + line);
        change.lists.files.erase(change.lists.files.begin() + line);
        if (*at < change.lists.flash.size()) {
            change.lists.flash.erase(change.lists.flash.begin() + line);
        }
    }
    saveStoredLists(platform, area, computer, stick, lists);
    change.lists.remembered = digestOf(lists.flash);
    change.lists = shown(lists, change.lists);
    if (at && !copyInUse(platform, area, computer, lists.flash, copy)) {
        keepAside(platform, copy, *change.removed);
    }
    return change;
}

void saveUserList(Platform& platform, const std::string& path, const Lines& flashList) {
    writeListFile(platform, path, flashList);
}

std::vector<bool> entriesOnOthersCopies(Platform& platform, const WorkArea& area, const std::string& computer,
                                        const Lines& files, const Lines& flash) {
    const StoredLists own = readStoredLists(platform, area, computer).lists;
    const std::unordered_set<std::string> others = copiesOfOtherComputers(platform, area, computer);
    std::unordered_map<std::string, const std::string*> owners;
    for (std::size_t i = 0; i < own.flash.size(); ++i) {
        owners.emplace(foldCase(own.flash[i]), &own.files[i]);
    }
    std::vector<bool> foreign;
    for (std::size_t i = 0; i < files.size() && i < flash.size(); ++i) {
        const std::string folded = foldCase(flash[i]);
        const auto owner = owners.find(folded);
        if (owner != owners.end() ? *owner->second != files[i] : others.contains(folded)) {
            foreign.resize(files.size());
            foreign[i] = true;
        }
    }
    return foreign;
}

LoadedUserList loadUserList(Platform& platform, const WorkArea& area, const std::string& computer,
                            const std::string& path) {
    LoadedUserList loaded{readUserList(platform, area, path), {}};
    const WorkAreaLock reading(platform, area, WorkAreaLock::Reading::Yes);
    const StoredLists own = readStoredLists(platform, area, computer).lists;
    const std::unordered_set<std::string> others = copiesOfOtherComputers(platform, area, computer);
    std::unordered_map<std::string, std::size_t> ownCopies;
    for (std::size_t i = 0; i < own.flash.size(); ++i) {
        ownCopies.emplace(foldCase(own.flash[i]), i);
    }
    // Line i is entry i's copy: one that another entry owns would pair one file with another's.
    for (std::size_t i = 0; i < loaded.lines.size(); ++i) {
        const std::string& line = loaded.lines[i];
        const std::string folded = foldCase(line);
        const auto owner = ownCopies.find(folded);
        if (owner != ownCopies.end() && owner->second != i) {
            throw Failure(texts::userListLineOfAnotherEntry(line, own.files[owner->second]));
        }
        if (owner == ownCopies.end() && others.contains(folded)) {
            throw Failure(texts::userListLineOfAnotherEntry(line, texts::anotherComputersFile()));
        }
        if (insideProgramFolder(platform, area, line) && !copiesFolderOf(area, line)) {
            throw Failure(texts::userListLineInProgramFolder(line));
        }
    }
    if (loaded.lines.size() != own.files.size()) {
        loaded.notices.push_back(
            {warning().caption, texts::userListOtherLength(loaded.lines.size(), own.files.size())});
    }
    return loaded;
}

Lines readUserList(Platform& platform, const WorkArea& area, const std::string& path) {
    auto lines = readListFile(platform, path);
    if (!lines) {
#ifdef _WIN32
        constexpr int kIsFolder = 5;  // ERROR_ACCESS_DENIED, as Windows opens a folder
        constexpr int kMissing = 2;   // ERROR_FILE_NOT_FOUND
#else
        constexpr int kIsFolder = EISDIR;
        constexpr int kMissing = ENOENT;
#endif
        throw Failure(cannotOpenFileText(path, platform.isFolder(path) ? kIsFolder : kMissing));
    }
    // "<where the stick was>/Файлы с компьютера_X/<name>", with either separator, is that
    // copy where the stick is now.
    const std::string marker = kCopiesFolderPrefix;
    for (auto& line : *lines) {
        const auto at = line.rfind(marker);
        if (at == 0 || at == std::string::npos || (line[at - 1] != '/' && line[at - 1] != '\\') ||
            line.starts_with(area.programFolder())) {
            continue;
        }
        const std::string rest = line.substr(at);
        const auto separator = rest.find_first_of("/\\");
        if (separator == std::string::npos || separator + 1 == rest.size() ||
            rest.find_first_of("/\\", separator + 1) != std::string::npos) {
            continue;
        }
        line = area.programFolder() + rest.substr(0, separator) + kSeparator + rest.substr(separator + 1);
    }
    return std::move(*lines);
}

}  // namespace verdaline
