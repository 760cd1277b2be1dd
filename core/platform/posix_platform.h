#pragma once

#include <unordered_map>
#include <unordered_set>

#include "paths.h"
#include "platform.h"
#include "syscalls.h"

namespace verdaline {

class PosixPlatform : public Platform {
public:
    // Tests pass syscalls that fail on demand; the program uses the real ones.
    explicit PosixPlatform(Syscalls& syscalls);
    PosixPlatform();
    // Copies still pending are dropped: their targets stay as they were.
    ~PosixPlatform() override;
    PosixPlatform(const PosixPlatform&) = delete;
    PosixPlatform& operator=(const PosixPlatform&) = delete;

    VolumeSerial systemVolumeSerial() override;
    bool isFolder(const std::string& path) override;
    bool isFile(const std::string& path) override;
    FileState stateOf(const std::string& path) override;
    int makeFolder(const std::string& path) override;
    int readFile(const std::string& path, std::string& bytes) override;
    int writeFileInPieces(const std::string& path, const Pieces& nextPiece) override;
    int copyFile(const std::string& source, const std::string& target, CopyMode mode,
                 Copied* copied = nullptr) override;
    int startCopy(const std::string& source, const std::string& target, CopyMode mode,
                  bool afterPrevious = false) override;
    std::vector<Copied> finishCopies() override;
    void removeLeftovers(const std::string& folder) override;
    int removeFile(const std::string& path) override;
    int digestOf(const std::string& path, Digest& digest) override;
    std::string resolvedPath(const std::string& path) override;
    std::string mountPointOf(const std::string& path) override;
    std::optional<std::uint64_t> freeSpace(const std::string& folder) override;
    std::vector<std::string> filesIn(const std::string& folder) override;
    std::vector<std::string> namesIn(const std::string& folder) override;
    int moveFile(const std::string& from, const std::string& to) override;
    int lockFile(const std::string& path, std::chrono::milliseconds wait, std::unique_ptr<FileLock>& lock,
                 bool make = true) override;

protected:
    Syscalls& syscalls() { return m_sys; }
    void holdFolder(const std::string& folder) override;

private:
    // A copy written to its temporary file, waiting for its flush and its rename.
    struct PendingCopy {
        int fd = -1;
        std::string temporary;
        std::string target;  // the file itself, symbolic links followed
        struct timespec date {};
        std::string identity;  // the target's folder and folded name, as identityOf gives
        dev_t device = 0;
        std::uintmax_t bytes = 0;
        bool afterPrevious = false;
        Digest digest;  // of the bytes written
    };
    int writeCopy(const std::string& source, const std::string& target, CopyMode mode, PendingCopy& copy,
                  bool shared);
    Copied finishCopy(PendingCopy& copy, const int* flushError, bool fuse);
    void finishPending();
    void drop(PendingCopy& copy);
    std::string identityOf(const std::string& path, dev_t* device = nullptr);
    bool lookInHeldFolder(const std::string& path, struct stat& st) const;

    Syscalls m_ownSyscalls;
    Syscalls& m_sys;
    std::vector<PendingCopy> m_pending;
    std::unordered_set<std::string> m_pendingTargets;
    std::unordered_map<std::string, std::pair<dev_t, ino_t>> m_folders;  // while copies are pending
    std::uintmax_t m_pendingBytes = 0;
    std::vector<Copied> m_finished;
    static constexpr std::size_t kBufferSize = std::size_t(1) << 20;
    std::unique_ptr<char[]>
        m_buffer;              // one for every copy: a fresh one per small file costs more than the file
    int m_heldFolder = -1;     // the folder FolderScope holds open
    std::string m_heldPrefix;  // its path and '/'
};

}  // namespace verdaline
