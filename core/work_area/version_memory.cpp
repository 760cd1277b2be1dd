#include "version_memory.h"

#include <string_view>

#include "copies_list.h"
#include "errors.h"
#include "flash_paths.h"
#include "list_file.h"

namespace verdaline {
namespace {

constexpr const char* kMemoryName = ".verdaline-versions.txt";

struct KindWord {
    VersionKind kind;
    const char* word;
};
constexpr KindWord kKindWords[] = {
    {VersionKind::OnComputer, "на компьютере"},  {VersionKind::OnStick, "на флешке"},
    {VersionKind::Replaced, "замененная"},       {VersionKind::Conflict, "конфликт"},
    {VersionKind::FromComputer, "с компьютера"}, {VersionKind::Removed, "удаленная из списка"},
};

// A kept version's kind, as its folder's memory writes it.
std::optional<VersionKind> kindOfWord(std::string_view word) {
    for (const auto& [kind, text] : kKindWords) {
        if (word == text && kind != VersionKind::OnComputer && kind != VersionKind::OnStick) {
            return kind;
        }
    }
    return std::nullopt;
}

// A place in an old-files folder for a version of that name that no other file there has.
std::string placeAside(Platform& platform, const std::string& oldFiles, const std::string& name) {
    for (unsigned n = 1;; ++n) {
        const std::string target = oldFiles + kSeparator + asideName(name, n);
        if (!platform.isFile(target) && !platform.isFolder(target)) {
            return target;
        }
    }
}

}  // namespace

std::string versionKindText(VersionKind kind) {
    for (const auto& [known, text] : kKindWords) {
        if (known == kind) {
            return text;
        }
    }
    return {};
}

std::string VersionMemory::fileIn(const std::string& oldFiles) {
    return oldFiles + kSeparator + kMemoryName;
}

VersionMemory::Folder& VersionMemory::folderOf(const std::string& kept, std::string& name) {
    name = fileNameOf(kept);
    const std::string folder =
        kept.substr(0, kept.size() - name.size() - (name.size() < kept.size() ? 1 : 0));
    auto found = m_folders.find(folder);
    if (found != m_folders.end()) {
        return found->second;
    }
    Folder& memory = m_folders[folder];
    try {
        readListFile(m_platform, fileIn(folder), [&](std::string&& line) {
            // name, kind, copy's name, computer path: the path last, as it may hold a tab.
            const auto first = line.find('\t');
            const auto second = first == std::string::npos ? first : line.find('\t', first + 1);
            const auto third = second == std::string::npos ? second : line.find('\t', second + 1);
            const auto kind = third == std::string::npos
                                  ? std::nullopt
                                  : kindOfWord(std::string_view(line).substr(first + 1, second - first - 1));
            if (!kind) {
                memory.others.push_back(std::move(line));
                return;
            }
            memory.records[line.substr(0, first)] =
                KeptRecord{*kind, line.substr(second + 1, third - second - 1), line.substr(third + 1)};
        });
    } catch (const Failure&) {
        memory.readable = false;
        memory.records.clear();
    }
    return memory;
}

const KeptRecord* VersionMemory::recordOf(const std::string& kept) {
    std::string name;
    Folder& folder = folderOf(kept, name);
    const auto found = folder.records.find(name);
    return found == folder.records.end() ? nullptr : &found->second;
}

void VersionMemory::noted(const std::string& kept, KeptRecord record) {
    std::string name;
    Folder& folder = folderOf(kept, name);
    folder.records[name] = std::move(record);
    folder.changed = true;
}

void VersionMemory::moved(const std::string& from, const std::string& to) {
    std::string name;
    std::string newName;
    Folder& folder = folderOf(from, name);
    folderOf(to, newName);
    auto found = folder.records.find(name);
    if (found != folder.records.end()) {
        KeptRecord record = std::move(found->second);
        folder.records.erase(found);
        folder.records[newName] = std::move(record);
    } else {
        folder.records.erase(newName);
    }
    folder.changed = true;
}

void VersionMemory::forgotten(const std::string& kept) {
    std::string name;
    Folder& folder = folderOf(kept, name);
    folder.changed = folder.records.erase(name) > 0 || folder.changed;
}

void VersionMemory::save() noexcept {
    for (auto& [path, folder] : m_folders) {
        if (!folder.changed || !folder.readable || !m_platform.isFolder(path)) {
            continue;
        }
        Lines lines = folder.others;
        for (const auto& [name, record] : folder.records) {
            std::string line = name;
            line.append(1, '\t').append(versionKindText(record.kind)).append(1, '\t').append(record.copyName);
            lines.push_back(line.append(1, '\t').append(record.computerPath));
        }
        try {
            writeListFile(m_platform, fileIn(path), lines);
            folder.changed = false;
        } catch (...) {
            // Kept as it was: the versions are there all the same, told by their names.
        }
    }
}

std::string oldFilesBeside(const WorkArea& area, const std::string& computer, const std::string& flashPath) {
    const auto folder = copiesFolderOf(area, flashPath);
    return folder ? *folder + kSeparator + kOldFilesFolderName : area.oldFilesFolder(computer);
}

std::string asideName(const std::string& name, unsigned n) {
    return nameWithSuffix(name, n == 1 ? " (прежний)" : " (прежний " + std::to_string(n) + ")");
}

void keepAside(Platform& platform, const std::string& path, const std::string& computerPath) {
    const std::string name = fileNameOf(path);
    const std::string oldFiles = path.substr(0, path.size() - name.size()) + kOldFilesFolderName;
    if (platform.isFile(path) && (platform.isFolder(oldFiles) || platform.makeFolder(oldFiles) == 0)) {
        const std::string aside = placeAside(platform, oldFiles, name);
        if (platform.moveFile(path, aside) == 0) {
            VersionMemory memory(platform);
            memory.noted(aside, {VersionKind::Removed, name, computerPath});
            memory.save();
        }
    }
}

int keepComputerVersion(Platform& platform, const WorkArea& area, const std::string& computer,
                        const std::string& path, const std::string& flashPath, VersionMemory& memory,
                        std::optional<std::string>& kept) {
    if (!platform.isFile(path)) {
        return 0;
    }
    const std::string oldFiles = oldFilesBeside(area, computer, flashPath);
    ensureFolders(platform, oldFiles);
    const std::string place = placeAside(platform, oldFiles, fileNameOf(path));
    const int error = platform.copyFile(path, place, CopyMode::Backup);
    if (error == 0) {
        kept = place;
        memory.noted(place, {VersionKind::FromComputer, fileNameOf(flashPath), path});
    }
    return error;
}

}  // namespace verdaline
