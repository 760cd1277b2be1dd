#include "temp_tree.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "work_area.h"

namespace verdaline::testing {

namespace fs = std::filesystem;

// Paths are UTF-8 in the program; std::filesystem takes them as such only through u8string.
fs::path fsPath(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

namespace {

std::string utf8Of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
std::string relativeOf(const fs::path& path, const std::string& root) {
    std::string relative = utf8Of(path).substr(root.size());
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return relative;
}

}  // namespace

TempTree::TempTree(const std::string& parent) {
    const fs::path base = parent.empty() ? fs::temp_directory_path() : fsPath(parent);
    std::random_device random;
    for (;;) {
        const fs::path folder = base / ("verdaline-test-" + std::to_string(random()));
        if (fs::create_directory(folder)) {
            m_root = utf8Of(folder.lexically_normal()) + kSeparator;
            return;
        }
    }
}

std::string TempTree::path(const std::string& relative) const {
    return m_root + native(relative);
}

std::string native(std::string path) {
    std::replace(path.begin(), path.end(), '/', kSeparator);
    return path;
}

TempTree::~TempTree() {
    std::error_code ignored;
    // Read-only files and folders made by a test must not stop the clean-up.
    for (auto it = fs::recursive_directory_iterator(fsPath(m_root), ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(fsPath(m_root), ignored);
}

void TempTree::write(const std::vector<Row>& rows) const {
    for (const auto& row : rows) {
        write(row.path, row.bytes);
        if (row.mtime) {
            setTime(row.path, *row.mtime);
        }
    }
}

void TempTree::write(const std::string& relative, const std::string& bytes) const {
    const fs::path target = fsPath(path(relative));
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) {
        throw std::runtime_error("cannot write " + relative);
    }
}

void TempTree::makeFolder(const std::string& relative) const {
    fs::create_directories(fsPath(path(relative)));
}

void TempTree::setTime(const std::string& relative, std::time_t seconds, long nanoseconds) const {
#ifdef _WIN32
    const std::int64_t ticks = (static_cast<std::int64_t>(seconds) + 11644473600) * 10000000 + nanoseconds / 100;
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    HANDLE file = ::CreateFileW(fsPath(path(relative)).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const bool set = file != INVALID_HANDLE_VALUE && ::SetFileTime(file, nullptr, &time, &time);
    ::CloseHandle(file);
    if (!set) {
        throw std::runtime_error("SetFileTime failed on " + relative);
    }
#else
    // Both times: a FUSE exFAT driver ignores a change of the modification time alone.
    const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    if (::utimensat(AT_FDCWD, path(relative).c_str(), times, 0) != 0) {
        throw std::runtime_error("utimensat failed on " + relative);
    }
#endif
}

bool TempTree::exists(const std::string& relative) const {
    return fs::exists(fsPath(path(relative)));
}

bool TempTree::isFolder(const std::string& relative) const {
    return fs::is_directory(fsPath(path(relative)));
}

std::string TempTree::read(const std::string& relative) const {
    std::ifstream in(fsPath(path(relative)), std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + relative);
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::map<std::string, std::string> TempTree::files() const {
    std::map<std::string, std::string> result;
    for (const auto& entry : fs::recursive_directory_iterator(fsPath(m_root))) {
        if (entry.is_regular_file()) {
            const std::string relative = relativeOf(entry.path(), m_root);
            result[relative] = read(relative);
        }
    }
    return result;
}

std::string TempTree::dump() const {
    std::string out = "tree " + m_root + ":\n";
    for (const auto& [relative, bytes] : files()) {
        out += "  " + relative + "  [" + std::to_string(bytes.size()) + " bytes]\n";
    }
    return out;
}

std::time_t localTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

}  // namespace verdaline::testing
