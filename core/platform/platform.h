#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "file_state.h"

namespace verdaline {

// What the permission bits of a copy become.
enum class CopyMode {
    FromSource,  // the source's bits: a copy on the flash drive
    OnComputer,  // the replaced file's bits, or a new document's (0666 less the umask):
                 // bits read from a stick are never carried to the computer
    Backup,      // the source's bits, writable by the owner so that the next backup of
                 // the same name can replace it
};

struct VolumeSerial {
    std::optional<std::uint32_t> value;  // nothing when it could not be read
    int error = 0;                       // the system's error number then (0: read as zero)
};

// A lock held until the object is destroyed.
class FileLock {
public:
    virtual ~FileLock() = default;
};

// How a copy went: its error number (0 when made) and, when made, the date its target
// holds as the target's file system keeps it (read back, which may be coarser than the
// source's), the source's date and size as they were read, and the digest of the bytes
// copied.
struct Copied {
    int error = 0;
    FileTime time;
    FileTime sourceTime;
    std::uint64_t size = 0;
    Digest digest;
};

// Bytes copied so far and the size of the file being copied.
using CopyProgress = std::function<void(std::uint64_t copied, std::uint64_t size)>;

// Everything the program asks of the operating system. The program gets the real
// one; tests give any volume serial and make any call fail.
// Calls that can fail return 0 or the system's error number.
class Platform {
public:
    virtual ~Platform() = default;

    // Who hears of a copy's progress while the scope lasts.
    class ProgressScope {
    public:
        ProgressScope(Platform& platform, CopyProgress listener) : m_platform(platform) {
            m_platform.m_progress = std::move(listener);
        }
        ~ProgressScope() { m_platform.m_progress = nullptr; }
        ProgressScope(const ProgressScope&) = delete;
        ProgressScope& operator=(const ProgressScope&) = delete;

    private:
        Platform& m_platform;
    };

    // While the scope lasts, files of the folder may be looked at (stateOf) through the
    // folder held open, which saves walking its path for each of them: a run holds its
    // copies folder, whose files it looks at one by one.
    class FolderScope {
    public:
        FolderScope(Platform& platform, const std::string& folder) : m_platform(platform) {
            m_platform.holdFolder(folder);
        }
        ~FolderScope() { m_platform.holdFolder({}); }
        FolderScope(const FolderScope&) = delete;
        FolderScope& operator=(const FolderScope&) = delete;

    private:
        Platform& m_platform;
    };

    virtual VolumeSerial systemVolumeSerial() = 0;

    virtual bool isFolder(const std::string& path) = 0;
    // A file that is not a folder.
    virtual bool isFile(const std::string& path) = 0;
    // What a copy run asks of a path, in one look.
    struct FileState {
        bool exists = false;  // a file that is not a folder, dated or not
        // The modification date of a file that exists for the copy runs: dated within
        // 1980..2107. Nothing otherwise.
        std::optional<FileDate> date;
        // Whether the path names the target of a pending copy, which shows its old
        // version until the copy is finished: then the rest says nothing.
        bool pending = false;
        std::int64_t seconds = 0;      // a file's modification time, seconds since the epoch
        std::uint64_t size = 0;        // and its size in bytes
        std::int32_t nanoseconds = 0;  // within that second, as far as the file system keeps it
        bool special = false;          // a device or a pipe, not a regular file
        FileTime time() const { return {seconds, nanoseconds}; }
    };
    virtual FileState stateOf(const std::string& path) = 0;
    std::optional<FileDate> modificationDate(const std::string& path) { return stateOf(path).date; }
    // One level; the parent must exist.
    virtual int makeFolder(const std::string& path) = 0;

    virtual int readFile(const std::string& path, std::string& bytes) = 0;
    // Replaces the file whole, or leaves it as it was: the text goes to a temporary
    // file that is flushed and then renamed over the target. A read-only target is
    // not replaced.
    int writeFile(const std::string& path, std::string_view bytes);
    // The same for a text given in pieces, so that a long one is never held whole:
    // nextPiece gives one piece a call, and an empty piece at the end.
    using Pieces = std::function<std::string_view()>;
    virtual int writeFileInPieces(const std::string& path, const Pieces& nextPiece) = 0;

    // Creates or replaces target with the bytes and modification time of source, a
    // regular file, as writeFile does: through a flushed temporary file renamed over
    // the target, so that a failure leaves the target as it was. The date must hold on
    // the target's file system to the two-second step, or the copy fails. A read-only
    // target is not replaced (EACCES); a source that changes while it is read fails the
    // copy (EBUSY), so a torn copy never carries the source's date. A target that is a
    // symbolic link is written through: the file it names is replaced, the link kept.
    // What the target holds afterwards goes to copied, when given.
    virtual int copyFile(const std::string& source, const std::string& target, CopyMode mode,
                         Copied* copied = nullptr) = 0;
    // A copy as copyFile makes it, except that its flush and rename wait, so that the
    // copies of a run share one flush: startCopy writes the temporary file and leaves
    // the copy pending (0), or fails at once with the error number and leaves nothing.
    // A copy that afterPrevious ties to the copy started just before it is renamed only
    // when that one was; it fails with that one's error otherwise.
    virtual int startCopy(const std::string& source, const std::string& target, CopyMode mode,
                          bool afterPrevious = false) = 0;
    // Flushes the pending copies in one pass, then checks the date of each and renames
    // it over its target, in the order started. Gives the error number (0 when done) of
    // every copy started since the last call, in that order: copies may be finished
    // earlier, when too many wait or a new one has the same target. A flush that fails
    // fails each copy it was to flush.
    virtual std::vector<Copied> finishCopies() = 0;
    // Removes the temporary files that a killed copy or write left in a folder.
    virtual void removeLeftovers(const std::string& folder) = 0;
    virtual int removeFile(const std::string& path) = 0;
    // The digest of a regular file's content, read piece by piece; the error number when
    // it cannot be read.
    virtual int digestOf(const std::string& path, Digest& digest) = 0;

    // Renames a file inside its file system, never over another file (EEXIST then).
    virtual int moveFile(const std::string& from, const std::string& to) = 0;
    // An exclusive lock on the file (made when missing, unless only an existing one is
    // wanted), for every program that takes it: waits up to wait for another holder, then
    // gives EWOULDBLOCK.
    virtual int lockFile(const std::string& path, std::chrono::milliseconds wait,
                         std::unique_ptr<FileLock>& lock, bool make = true) = 0;

    // The path with the links of its folders and of the file itself followed, as far as
    // they exist; the path as given where that cannot be told.
    virtual std::string resolvedPath(const std::string& path) { return path; }
    // The folder where the file system that holds path is mounted ("/" at most).
    virtual std::string mountPointOf(const std::string& path) = 0;
    // The bytes free for a new file in the folder, or nothing when that cannot be told.
    virtual std::optional<std::uint64_t> freeSpace(const std::string& folder) = 0;
    // Names of the visible files (not folders, not hidden) in a folder, sorted as a file
    // manager sorts them.
    virtual std::vector<std::string> filesIn(const std::string& folder) = 0;
    // Names of everything in a folder, folders and hidden files too, in no order.
    virtual std::vector<std::string> namesIn(const std::string& folder) = 0;

protected:
    // Called by a copy after each piece it writes.
    void reportProgress(std::uint64_t copied, std::uint64_t size) const {
        if (m_progress) {
            m_progress(copied, size);
        }
    }

    // Holds the folder open for FolderScope (an empty path lets it go); a platform
    // that gains nothing by it does nothing.
    virtual void holdFolder(const std::string& folder) { (void)folder; }

private:
    CopyProgress m_progress;
};

// The folder of the running executable, with its trailing '/'. argv0 names the program when the
// dynamic loader was started with it.
std::string executableFolder(const char* argv0);

inline int Platform::writeFile(const std::string& path, std::string_view bytes) {
    bool given = false;
    return writeFileInPieces(path, [&]() -> std::string_view {
        if (given) {
            return {};
        }
        given = true;
        return bytes;
    });
}

}  // namespace verdaline
