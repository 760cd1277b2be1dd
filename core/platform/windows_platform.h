#pragma once

#ifdef _WIN32

#include <vector>

#include "paths.h"
#include "platform.h"

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
    int copyFile(const std::string& source, const std::string& target, CopyMode mode,
                 Copied* copied = nullptr) override;
    // Each copy here is flushed and renamed as it is started.
    int startCopy(const std::string& source, const std::string& target, CopyMode mode,
                  bool afterPrevious = false) override;
    std::vector<Copied> finishCopies() override;
    void removeLeftovers(const std::string& folder) override;
    int removeFile(const std::string& path) override;
    int digestOf(const std::string& path, Digest& digest) override;
    std::string mountPointOf(const std::string& path) override;
    std::optional<std::uint64_t> freeSpace(const std::string& folder) override;
    std::vector<std::string> filesIn(const std::string& folder) override;
    std::vector<std::string> namesIn(const std::string& folder) override;
    int moveFile(const std::string& from, const std::string& to) override;
    int lockFile(const std::string& path, std::chrono::milliseconds wait, std::unique_ptr<FileLock>& lock,
                 bool make = true) override;

private:
    int copyWithDigest(const std::string& source, const std::string& target, CopyMode mode, Copied& done);

    std::vector<Copied> m_finished;
    int m_lastStartError = 0;
};

// UTF-8 to the wide text of Windows' calls, and back (length -1: up to the terminating zero).
std::wstring widened(const std::string& utf8);
std::string narrow(const wchar_t* text, int length = -1);

}  // namespace verdaline

#endif
