#pragma once

#ifdef _WIN32

#include <vector>

#include "platform.h"
#include "work_area.h"

namespace verdaline {

// The platform on Windows: UTF-8 paths in, UTF-16 only at the system calls, error
// numbers from GetLastError.
class WindowsPlatform : public Platform {
public:
    VolumeSerial systemVolumeSerial() override;
    bool isFolder(const std::string& path) override;
    bool isFile(const std::string& path) override;
    FileState stateOf(const std::string& path) override;
    int makeFolder(const std::string& path) override;
    int readFile(const std::string& path, std::string& bytes) override;
    int writeFileInPieces(const std::string& path, const Pieces& nextPiece) override;
    int copyFile(const std::string& source, const std::string& target, CopyMode mode) override;
    // Each copy here is flushed and renamed as it is started.
    int startCopy(const std::string& source, const std::string& target, CopyMode mode,
                  bool afterPrevious = false) override;
    std::vector<int> finishCopies() override;
    void removeLeftovers(const std::string& folder) override;
    int removeFile(const std::string& path) override;
    int compareFiles(const std::string& a, const std::string& b, bool& same) override;
    std::string mountPointOf(const std::string& path) override;
    std::optional<std::uint64_t> freeSpace(const std::string& folder) override;
    std::vector<std::string> filesIn(const std::string& folder) override;
    int moveFile(const std::string& from, const std::string& to) override;
    int lockFile(const std::string& path, std::chrono::milliseconds wait, std::unique_ptr<FileLock>& lock,
                 bool make = true) override;

private:
    std::vector<int> m_finished;
    int m_lastStartError = 0;
};


// The system's text for a GetLastError number.
std::string windowsErrorText(int error);

}  // namespace verdaline

#endif
