#include "work_area.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "cp1251.h"
#include "errors.h"
#include "texts.h"

namespace verdaline {

WorkArea::WorkArea(std::string programFolder) : m_programFolder(std::move(programFolder)) {}

std::string WorkArea::listsFolder() const {
    return m_programFolder + kListsFolderName;
}

std::string WorkArea::computerListFile() const {
    return listsFolder() + kSeparator + "Список компьютеров.txt";
}

std::string WorkArea::lockFile() const {
    return listsFolder() + kSeparator + ".verdaline.lock";
}

std::string WorkArea::fileListFile(const std::string& computer) const {
    return listsFolder() + kSeparator + "Список файлов на компьютере_" + computer + "_.txt";
}

std::string WorkArea::copiesListFile(const std::string& computer) const {
    return listsFolder() + kSeparator + "Список копий_" + computer + "_.txt";
}

std::string WorkArea::reportFile(const std::string& computer) const {
    return listsFolder() + kSeparator + "Отчет копирования_" + computer + "_.txt";
}

std::string WorkArea::computerWritesMarker(const std::string& computer) const {
    return listsFolder() + kSeparator + ".verdaline-writes-computer_" + computer;
}

std::string WorkArea::renameJournal() const {
    return listsFolder() + kSeparator + ".verdaline-renaming";
}

std::string WorkArea::copiesFolder(const std::string& computer) const {
    return m_programFolder + kCopiesFolderPrefix + computer;
}

std::string WorkArea::oldFilesFolder(const std::string& computer) const {
    return copiesFolder(computer) + kSeparator + kOldFilesFolderName;
}

std::string WorkArea::backupPath(const std::string& computer, const std::string& fileName) const {
    return oldFilesFolder(computer) + kSeparator + fileName;
}


std::string holdingFolderOf(const std::string& path) {
    const auto last = path.find_last_of(kSeparators);
    if (last == std::string::npos || last == 0) {
        return {};
    }
    const auto before = path.find_last_of(kSeparators, last - 1);
    std::string folder =
        before == std::string::npos ? path.substr(0, last) : path.substr(before + 1, last - before - 1);
#ifdef _WIN32
    if (folder.size() == 2 && folder[1] == ':') {
        return {};
    }
#endif
    return folder;
}

bool isAbsolutePath(const std::string& path) {
#ifdef _WIN32
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    return (path.size() >= 3 && path[1] == ':' && separator(path[2])) ||
           (path.size() >= 2 && separator(path[0]) && separator(path[1]));
#else
    return !path.empty() && path.front() == kSeparator;
#endif
}

namespace {

// The components of a path after its root, without empty ones, "." and ".." (which
// takes the one before it away, never the root).
std::vector<std::string_view> plainComponents(std::string_view rest, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0; start <= rest.size();) {
        const auto end = std::min(rest.find(separator, start), rest.size());
        const std::string_view part = rest.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    return parts;
}

}  // namespace

std::string plainPath(const std::string& given) {
#ifdef _WIN32
    std::string path = given;
    std::replace(path.begin(), path.end(), '/', '\\');
    // "\\?\C:\x" names what "C:\x" names, "\\?\UNC\server\share" what "\\server\share" names.
    if (path.rfind("\\\\?\\UNC\\", 0) == 0) {
        path = "\\\\" + path.substr(8);
    } else if (path.rfind("\\\\?\\", 0) == 0) {
        path = path.substr(4);
    }
    std::string plain;
    std::string_view rest(path);
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') {
        plain = {static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))), ':'};
        rest.remove_prefix(2);
    } else if (path.rfind("\\\\", 0) == 0) {
        // A share: its server and share name are the root.
        const auto share = path.find('\\', path.find('\\', 2) + 1);
        plain = path.substr(0, share);
        rest = share == std::string::npos ? std::string_view() : rest.substr(share);
    } else {
        return given;
    }
    for (std::string_view part : plainComponents(rest, '\\')) {
        const auto kept = part.find_last_not_of(". ");
        plain += '\\';
        plain += kept == std::string_view::npos ? part : part.substr(0, kept + 1);
    }
    return plain.size() == 2 ? plain + '\\' : plain;
#else
    if (!isAbsolutePath(given)) {
        return given;
    }
    std::string plain;
    for (std::string_view part : plainComponents(given, '/')) {
        plain += '/';
        plain += part;
    }
    return plain.empty() ? "/" : plain;
#endif
}

bool isDeviceName(const std::string& fileName) {
    std::string stem = fileName.substr(0, fileName.find('.'));
    stem.erase(stem.find_last_not_of(' ') + 1);
    for (char& c : stem) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    static constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN",    "AUX",
                                                                 "NUL", "CONIN$", "CONOUT$"};
    const bool numbered = stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
                          stem[3] >= '0' && stem[3] <= '9';
    return numbered || std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end();
}

std::string stickSafeName(const std::string& name) {
    const auto kept = name.find_last_not_of(". ");
    if (kept == std::string::npos) {
        return "_";
    }
    std::string safe = name.substr(0, kept + 1);
    if (isDeviceName(safe)) {
        std::string stem = safe.substr(0, safe.find('.'));
        stem.erase(stem.find_last_not_of(' ') + 1);
        return stem + '_' + safe.substr(stem.size());
    }
    return safe;
}

WorkAreaLock::WorkAreaLock(Platform& platform, const WorkArea& area, std::chrono::milliseconds wait) {
    try {
        ensureFolder(platform, area.listsFolder());
    } catch (const Failure& failure) {
        if (isWriteProtection(failure.error())) {
            throw WriteProtected(texts::stickWriteProtected(), failure.error());
        }
        throw;
    }
    const int error = platform.lockFile(area.lockFile(), wait, m_lock);
    if (error == EWOULDBLOCK) {
        throw Failure(texts::workAreaBusy());
    }
    if (isWriteProtection(error)) {
        throw WriteProtected(texts::stickWriteProtected(), error);
    }
    if (error != 0) {
        throw Failure(cannotCreateFileText(area.lockFile(), error), error);
    }
}

WorkAreaLock::WorkAreaLock(Platform& platform, const WorkArea& area, Reading,
                           std::chrono::milliseconds wait) {
    const int error = platform.lockFile(area.lockFile(), wait, m_lock, false);
    if (error == EWOULDBLOCK) {
        throw Failure(texts::workAreaBusy());
    }
    if (error != 0 && !isNotFound(error) && !isWriteProtection(error)) {
        throw Failure(cannotCreateFileText(area.lockFile(), error), error);
    }
}

bool insideProgramFolder(Platform& platform, const WorkArea& area, const std::string& path) {
    if (!isAbsolutePath(path)) {
        return false;
    }
    // The program's own: every file beside the program, and the folders it and its lists,
    // copies and libraries keep. A folder of the user's beside them stays the user's.
    const auto owns = [](const std::string& folder, const std::string& candidate) {
        const std::string prefix = foldCase(folder.back() == kSeparator ? folder : folder + kSeparator);
        const std::string folded = foldCase(candidate);
        if (!folded.starts_with(prefix) || folded.size() == prefix.size()) {
            return folded + kSeparator == prefix;
        }
        const std::string rest = folded.substr(prefix.size());
        const auto separator = rest.find(kSeparator);
        if (separator == std::string::npos) {
            return true;
        }
        const std::string top = rest.substr(0, separator);
        return top == foldCase(kListsFolderName) || top.starts_with(foldCase(kCopiesFolderPrefix)) ||
               top == "lib" || top == "plugins" || top == "translations";
    };
    const std::string& folder = area.programFolder();
    const std::string plain = plainPath(path);
    return owns(folder, plain) || owns(platform.resolvedPath(folder), platform.resolvedPath(plain));
}

bool stickPresent(Platform& platform, const WorkArea& area) {
    return platform.isFolder(area.programFolder()) &&
           (area.mountPoint().empty() || platform.mountPointOf(area.programFolder()) == area.mountPoint());
}

std::string failureText(Platform& platform, const WorkArea& area, const std::exception& failure) {
    return stickPresent(platform, area) ? failure.what() : texts::stickPulled();
}

void ensureFolder(Platform& platform, const std::string& path) {
    if (platform.isFolder(path)) {
        return;
    }
    if (const int error = platform.makeFolder(path)) {
        throw Failure(texts::folderNotMade(path, error), error);
    }
}

void ensureFolders(Platform& platform, const std::string& path) {
    for (auto slash = path.find(kSeparator, 1); slash != std::string::npos;
         slash = path.find(kSeparator, slash + 1)) {
        ensureFolder(platform, path.substr(0, slash));
    }
    if (!path.empty() && path.back() != kSeparator) {
        ensureFolder(platform, path);
    }
}

}  // namespace verdaline
