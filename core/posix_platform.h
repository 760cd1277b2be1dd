#pragma once

#include "platform.h"
#include "syscalls.h"

namespace verdaline {

class PosixPlatform : public Platform {
public:
    // Tests pass syscalls that fail on demand; the program uses the real ones.
    explicit PosixPlatform(Syscalls& syscalls);
    PosixPlatform();

    VolumeSerial systemVolumeSerial() override;
    bool isFolder(const std::string& path) override;
    bool isFile(const std::string& path) override;
    std::optional<FileDate> modificationDate(const std::string& path) override;
    int makeFolder(const std::string& path) override;
    int readFile(const std::string& path, std::string& bytes) override;
    int writeFile(const std::string& path, std::string_view bytes) override;
    int copyFile(const std::string& source, const std::string& target, CopyMode mode) override;
    void removeLeftovers(const std::string& folder) override;
    std::string mountPointOf(const std::string& path) override;
    std::vector<std::string> filesIn(const std::string& folder) override;
    int moveFile(const std::string& from, const std::string& to) override;  // posix_moves.cpp
    int lockFile(const std::string& path, std::chrono::milliseconds wait,
                 std::unique_ptr<FileLock>& lock) override;

protected:
    Syscalls& syscalls() { return m_sys; }

private:
    Syscalls m_ownSyscalls;
    Syscalls& m_sys;
};

// The hidden file in the target's folder that a safe write fills before renaming it
// over the target. Its name is fixed by the target's, so a file left by a killed run
// is replaced by the next write of the same target, and it is never longer than the
// longest name the folder may already hold.
std::string temporaryPathFor(const std::string& target);
// Whether a file name is one that temporaryPathFor gives.
bool isTemporaryName(const std::string& name);

}  // namespace verdaline
