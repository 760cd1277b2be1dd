#include "file_list.h"

#include <cerrno>

#include "cp1251.h"
#include "errors.h"
#include "flash_paths.h"
#include "texts.h"

namespace verdaline {

std::optional<std::size_t> positionOf(const Lines& fileList, const std::string& path) {
    for (std::size_t i = 0; i < fileList.size(); ++i) {
        if (fileList[i] == path) {
            return i + 1;
        }
    }
    return std::nullopt;
}

std::string flashPathForNewEntry(const Lines& fileList, const std::string& path,
                                 const std::string& copiesFolder) {
    FlashPathBuilder builder(copiesFolder);
    builder.reserve(fileList.size() + 1);
    for (const auto& entry : fileList) {
        builder.add(entry);
    }
    return builder.add(path);
}

std::optional<std::string> pathProblem(const std::string& path) {
    if (!fitsCp1251(path)) {
        return texts::pathOutsideCp1251(path);
    }
    return std::nullopt;
}

void removeEntry(Lines& fileList, Lines& flashList, std::size_t index) {
    if (index < flashList.size()) {
        flashList.erase(flashList.begin() + static_cast<std::ptrdiff_t>(index));
    }
    if (index < fileList.size()) {
        fileList.erase(fileList.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

void saveFileList(Platform& platform, const WorkArea& area, const std::string& computer,
                  const Lines& fileList) {
    ensureFolder(platform, area.listsFolder());
    writeListFile(platform, area.fileListFile(computer), fileList);
}

void saveUserList(Platform& platform, const std::string& path, const Lines& flashList) {
    writeListFile(platform, path, flashList);
}

Lines loadUserList(Platform& platform, const std::string& path) {
    auto lines = readListFile(platform, path);
    if (!lines) {
        throw Failure(cannotOpenFileText(path, platform.isFolder(path) ? EISDIR : ENOENT));
    }
    return std::move(*lines);
}

}  // namespace verdaline
