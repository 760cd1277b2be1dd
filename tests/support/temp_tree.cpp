#include "temp_tree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace verdaline::testing {

namespace fs = std::filesystem;

TempTree::TempTree(const std::string& parent) {
    std::string pattern =
        ((parent.empty() ? fs::temp_directory_path() : fs::path(parent)) / "verdaline-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_root = pattern + "/";
}

TempTree::~TempTree() {
    std::error_code ignored;
    // Read-only files and folders made by a test must not stop the clean-up.
    for (auto it = fs::recursive_directory_iterator(m_root, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(m_root, ignored);
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
    const fs::path target = path(relative);
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) {
        throw std::runtime_error("cannot write " + target.string());
    }
}

void TempTree::makeFolder(const std::string& relative) const {
    fs::create_directories(path(relative));
}

void TempTree::setTime(const std::string& relative, std::time_t seconds, long nanoseconds) const {
    const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    if (::utimensat(AT_FDCWD, path(relative).c_str(), times, 0) != 0) {
        throw std::runtime_error("utimensat failed on " + relative);
    }
}

bool TempTree::exists(const std::string& relative) const {
    return fs::exists(path(relative));
}

bool TempTree::isFolder(const std::string& relative) const {
    return fs::is_directory(path(relative));
}

std::string TempTree::read(const std::string& relative) const {
    std::ifstream in(path(relative), std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + relative);
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::map<std::string, std::string> TempTree::files() const {
    std::map<std::string, std::string> result;
    for (const auto& entry : fs::recursive_directory_iterator(m_root)) {
        if (entry.is_regular_file()) {
            const std::string relative = entry.path().string().substr(m_root.size());
            result[relative] = read(relative);
        }
    }
    return result;
}

std::string TempTree::dump() const {
    std::ostringstream out;
    out << "tree " << m_root << ":\n";
    for (const auto& entry : fs::recursive_directory_iterator(m_root)) {
        out << "  " << entry.path().string().substr(m_root.size());
        if (entry.is_directory()) {
            out << "/";
        } else {
            out << "  [" << entry.file_size() << " bytes]";
        }
        out << "\n";
    }
    return out.str();
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
