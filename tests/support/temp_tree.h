#pragma once

#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace verdaline::testing {

// A fresh temporary folder, removed with everything in it at the end of the test.
// Files are written from rows {relative path, bytes, modification time} and the
// tree is read back as rows, so a test compares a whole tree at once.
class TempTree {
public:
    struct Row {
        std::string path;
        std::string bytes;
        std::optional<std::time_t> mtime = {};
    };

    // In the system's temporary folder, or in the given one.
    explicit TempTree(const std::string& parent = {});
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The folder with a trailing separator, as the program folder is given.
    const std::string& root() const { return m_root; }
    // Relative paths are written with '/', which becomes the system's separator.
    std::string path(const std::string& relative) const;

    void write(const std::vector<Row>& rows) const;
    void write(const std::string& relative, const std::string& bytes) const;
    void makeFolder(const std::string& relative) const;
    // Sets the modification time in seconds and nanoseconds since the epoch.
    void setTime(const std::string& relative, std::time_t seconds, long nanoseconds = 0) const;

    bool exists(const std::string& relative) const;
    bool isFolder(const std::string& relative) const;
    std::string read(const std::string& relative) const;
    // Every file under the root: relative path -> bytes.
    std::map<std::string, std::string> files() const;
    // The tree as text, for failure messages.
    std::string dump() const;

private:
    std::string m_root;
};

// A UTF-8 path as std::filesystem takes it on every system.
std::filesystem::path fsPath(const std::string& utf8);
// A path written with '/' in the system's separator.
std::string native(std::string path);

// Local time to seconds since the epoch, for readable test data.
std::time_t localTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace verdaline::testing
