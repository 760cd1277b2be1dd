#pragma once

#include <cerrno>
#include <map>
#include <optional>
#include <string>

#include "clock.h"
#include "errors.h"
#include "native_platform.h"

namespace verdaline::testing {

// The real platform with a volume serial of the test's choosing, and calls that a
// test can make fail for one path.
class TestPlatform : public NativePlatform {
public:
    using NativePlatform::NativePlatform;

    VolumeSerial serial{0x1A2B3C4D, 0};
    std::map<std::string, int> failMakeFolder;  // path -> error number
    std::map<std::string, int> failRead;
    std::map<std::string, int> failWrite;
    std::string writeProtected;  // a folder that nothing can write, as a locked stick
    std::optional<std::string> mountedAt;  // where every path seems mounted: a stick detached, or back

    int makeFolder(const std::string& path) override;
    int readFile(const std::string& path, std::string& bytes) override;
    int writeFileInPieces(const std::string& path, const Pieces& nextPiece) override;
    int copyFile(const std::string& source, const std::string& target, CopyMode mode,
                 Copied* copied = nullptr) override;
    int startCopy(const std::string& source, const std::string& target, CopyMode mode,
                  bool afterPrevious = false) override;
    int removeFile(const std::string& path) override;
    int moveFile(const std::string& from, const std::string& to) override;
    int lockFile(const std::string& path, std::chrono::milliseconds wait, std::unique_ptr<FileLock>& lock,
                 bool make = true) override;

    VolumeSerial systemVolumeSerial() override { return serial; }
    std::string mountPointOf(const std::string& path) override {
        return mountedAt ? *mountedAt : NativePlatform::mountPointOf(path);
    }

private:
    bool isWriteProtected(const std::string& path) const;
};

// The error number of a path whose folder is missing.
// That of a folder where a file should be.
// That of a write to a write-protected stick.
#ifdef _WIN32
constexpr int kNoFolder = 3;         // ERROR_PATH_NOT_FOUND
constexpr int kFolderInTheWay = 5;   // ERROR_ACCESS_DENIED
constexpr int kWriteProtected = 19;  // ERROR_WRITE_PROTECT
#else
constexpr int kNoFolder = ENOENT;
constexpr int kFolderInTheWay = EISDIR;
constexpr int kWriteProtected = EROFS;
#endif

// The message of the Failure that work throws, or "no failure".
template <typename Work>
std::string failureOf(Work&& work) {
    try {
        work();
    } catch (const Failure& failure) {
        return failure.what();
    }
    return "no failure";
}

// A clock that always says the same time.
class FixedClock : public Clock {
public:
    std::string stamp = "06.12.2026 16:18:02";
    std::string timestamp() override { return stamp; }
    std::string timeOfDay(std::time_t) override { return "16:18:02"; }
};

// Lines joined as a list file holds them: code page 1251 bytes, CR LF after each.
std::string cp1251Lines(std::initializer_list<const char*> utf8Lines);

}  // namespace verdaline::testing
