#include "versions.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <tuple>
#include <unordered_set>

#include "copies_list.h"
#include "cp1251.h"
#include "decision.h"
#include "errors.h"
#include "texts.h"

namespace verdaline {
namespace {

// The kind of a kept version when it is the entry's: by what the folder remembers of it,
// or, for one it does not (kept by an older version), by its name, unless a copy of that
// name lies beside the entry's.
std::optional<VersionKind> kindFor(Platform& platform, const KeptRecord* record, const std::string& name,
                                   const std::string& flashPath, const std::string& computerPath,
                                   const std::unordered_set<std::string>& sharing) {
    const std::string copyName = fileNameOf(flashPath);
    if (record) {
        const bool its = foldCase(record->copyName) == foldCase(copyName) &&
                         (record->computerPath == computerPath ||
                          (record->kind != VersionKind::Removed && sharing.contains(record->computerPath)));
        return its ? std::optional(record->kind) : std::nullopt;
    }
    const auto byName = kindByName(name, copyName);
    if (byName && name != copyName &&
        platform.isFile(flashPath.substr(0, flashPath.size() - copyName.size()) + name)) {
        return std::nullopt;
    }
    return byName;
}

struct Entry {
    std::size_t index;
    StickLists stick;
    const std::string& flash() const { return stick.lists.flash[index]; }
};

// The entry at computerPath as the stick holds it now; throws Failure when it is gone.
Entry entryAt(Platform& platform, const WorkArea& area, const std::string& computer,
              const std::string& computerPath) {
    StickLists stick = readStoredLists(platform, area, computer);
    const auto& files = stick.lists.files;
    const auto at = std::find(files.begin(), files.end(), computerPath);
    if (at == files.end()) {
        throw Failure(texts::entryGone(computerPath));
    }
    return {static_cast<std::size_t>(at - files.begin()), std::move(stick)};
}

// Throws Failure unless version is one of the entry's kept versions.
void requireKept(Platform& platform, const WorkArea& area, const std::string& computer,
                 const std::string& computerPath, const std::string& flashPath, const std::string& version) {
    const auto kept = keptVersionsOf(platform, area, computer, computerPath, flashPath);
    if (std::none_of(kept.begin(), kept.end(), [&](const FileVersion& v) { return v.path == version; })) {
        throw Failure(texts::versionGone(version));
    }
}

}  // namespace

std::string storedCopyOf(Platform& platform, const WorkArea& area, const std::string& computer,
                         const std::string& computerPath) {
    return entryAt(platform, area, computer, computerPath).flash();
}

std::vector<FileVersion> keptVersionsOf(Platform& platform, const WorkArea& area, const std::string& computer,
                                        const std::string& computerPath, const std::string& flashPath) {
    const std::string oldFiles = oldFilesBeside(area, computer, flashPath);
    const Lines sharers = entriesOnCopy(platform, area, flashPath);
    const std::unordered_set<std::string> sharing(sharers.begin(), sharers.end());
    VersionMemory memory(platform);
    std::vector<FileVersion> versions;
    for (const auto& name : platform.filesIn(oldFiles)) {
        const std::string path = oldFiles + kSeparator + name;
        if (const auto kind =
                kindFor(platform, memory.recordOf(path), name, flashPath, computerPath, sharing)) {
            const Platform::FileState state = platform.stateOf(path);
            versions.push_back({*kind, path, state.time(), state.size});
        }
    }
    std::stable_sort(versions.begin(), versions.end(),
                     [](const FileVersion& a, const FileVersion& b) { return a.time > b.time; });
    return versions;
}

std::vector<FileVersion> versionsOf(Platform& platform, const WorkArea& area, const std::string& computer,
                                    const std::string& computerPath, const std::string& flashPath) {
    std::vector<FileVersion> versions;
    for (const auto& [kind, path] :
         {std::pair{VersionKind::OnComputer, &computerPath}, std::pair{VersionKind::OnStick, &flashPath}}) {
        if (const Platform::FileState state = platform.stateOf(*path); state.exists) {
            versions.push_back({kind, *path, state.time(), state.size});
        }
    }
    auto kept = keptVersionsOf(platform, area, computer, computerPath, flashPath);
    versions.insert(versions.end(), std::make_move_iterator(kept.begin()),
                    std::make_move_iterator(kept.end()));
    return versions;
}

void restoreVersion(Platform& platform, const WorkArea& area, const std::string& computer,
                    const std::string& computerPath, const std::string& version) {
    const WorkAreaLock lock(platform, area);
    const Entry entry = entryAt(platform, area, computer, computerPath);
    const std::string& copy = entry.flash();
    requireKept(platform, area, computer, computerPath, copy, version);
    if (refusedCopy(platform, area, computerPath, true) != 0) {
        throw Failure(texts::pathInProgramFolder(computerPath));
    }
    const std::string oldFiles = oldFilesBeside(area, computer, copy);
    const std::string copyName = fileNameOf(copy);
    VersionMemory memory(platform);
    KeptVersions keeping(platform, &memory);
    // Both versions it replaces are kept first, each with its kind, even where they are alike.
    const Platform::FileState onStick = platform.stateOf(copy);
    const Platform::FileState onComputer = platform.stateOf(computerPath);
    std::optional<std::string> stickKept;
    std::optional<std::string> computerKept;
    const auto fail = [&](int error) {
        for (const auto* place : {&stickKept, &computerKept}) {
            if (*place) {
                keeping.notReplaced(**place);
            }
        }
        throw Failure(texts::versionNotRestored(computerPath, error), error);
    };
    for (const auto& [state, source, place] :
         {std::tuple{&onStick, &copy, &stickKept}, std::tuple{&onComputer, &computerPath, &computerKept}}) {
        if (!state->exists) {
            continue;
        }
        *place = keeping.placeFor(oldFiles, copyName, static_cast<std::time_t>(state->seconds), false);
        if (const int error = platform.copyFile(*source, **place, CopyMode::Backup)) {
            fail(error);
        }
    }
    Copied toStick;
    if (const int error = platform.copyFile(version, copy, CopyMode::FromSource, &toStick)) {
        fail(error);
    }
    Copied toComputer;
    int error = 0;
    try {
        ensureFolders(platform,
                      computerPath.substr(0, computerPath.size() - fileNameOf(computerPath).size()));
        error = platform.copyFile(version, computerPath, CopyMode::OnComputer, &toComputer);
    } catch (const Failure& failure) {
        error = failure.error() != 0 ? failure.error() : ENOENT;
    }
    if (error != 0) {
        // The copy as it was.
        if (stickKept) {
            platform.copyFile(*stickKept, copy, CopyMode::FromSource);
        } else {
            platform.removeFile(copy);
        }
        fail(error);
    }
    if (computerKept) {
        keeping.replaced(oldFiles, copyName, *computerKept,
                         {VersionKind::FromComputer, copyName, computerPath});
    }
    if (stickKept) {
        keeping.replaced(oldFiles, copyName, *stickKept, {VersionKind::Replaced, copyName, computerPath});
    }
    memory.save();
    const EntryState equal{
        {toComputer.time, toComputer.size}, {toStick.time, toStick.size}, toStick.digest, true};
    rememberStates(platform, area, computer, entry.stick.lists.files, entry.stick.lists.flash,
                   {{entry.index, equal}});
}

void removeKeptVersion(Platform& platform, const WorkArea& area, const std::string& computer,
                       const std::string& computerPath, const std::string& version) {
    const WorkAreaLock lock(platform, area);
    const Entry entry = entryAt(platform, area, computer, computerPath);
    requireKept(platform, area, computer, computerPath, entry.flash(), version);
    if (const int error = platform.removeFile(version)) {
        throw Failure(texts::versionNotRemoved(version, error), error);
    }
    VersionMemory memory(platform);
    memory.forgotten(version);
    memory.save();
}

void saveVersionAs(Platform& platform, const WorkArea& area, const std::string& version,
                   const std::string& target) {
    if (insideProgramFolder(platform, area, target)) {
        throw Failure(texts::pathInProgramFolder(target));
    }
    if (const int error = platform.copyFile(version, target, CopyMode::OnComputer)) {
        throw Failure(texts::versionNotSaved(version, target, error), error);
    }
}

}  // namespace verdaline
