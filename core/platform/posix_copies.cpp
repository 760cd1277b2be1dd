// The calls behind the safe writes and copies: a temporary file filled, flushed, its
// date checked and renamed over the target; copies that share one flush; and the
// look at a file that a copy run takes.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "cp1251.h"
#include "posix_platform.h"

namespace verdaline {
namespace {

int writeAll(Syscalls& sys, int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = sys.write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

// What one look found under a path: its status, or why there was none (ENOENT: no file).
struct Found {
    struct stat st {};
    int error = 0;
};

Found look(const std::string& path) {
    Found found;
    if (::stat(path.c_str(), &found.st) != 0) {
        found.error = errno;
    }
    return found;
}

// A target that exists must be a regular file whose owner may write it; that is the
// read-only attribute of the flash drive's file systems, and root obeys it too.
int checkReplaceable(const Found& target) {
    if (target.error != 0) {
        return target.error == ENOENT ? 0 : target.error;
    }
    const struct stat& st = target.st;
    if (S_ISDIR(st.st_mode)) {
        return EISDIR;
    }
    if (!S_ISREG(st.st_mode)) {
        return EINVAL;
    }
    if ((st.st_mode & S_IWUSR) == 0) {
        return EACCES;
    }
    return 0;
}

// The file a path names once its symbolic links are followed, so that a copy replaces
// that file and keeps the link, as the Windows copy does. A link whose file is missing
// gives the path where that file would be. The look that finds no link is what the
// file's own status would be, so found keeps it.
int followLinks(std::string& path, Found& found) {
    for (int hops = 0; hops < 40; ++hops) {
        found = {};
        if (::lstat(path.c_str(), &found.st) != 0) {
            found.error = errno;
            return 0;
        }
        if (!S_ISLNK(found.st.st_mode)) {
            return 0;
        }
        std::string link(4096, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0) {
            return errno;
        }
        link.resize(static_cast<std::size_t>(n));
        path = link.front() == '/' ? link : path.substr(0, path.rfind('/') + 1) + link;
    }
    return ELOOP;
}

// A date that the file system did not keep, to the two-second step of the freshness
// rule, would make the next run copy the file again or let an older version win. The
// date it did keep (maybe coarser) goes to held.
int checkDateHeld(Syscalls& sys, int fd, const struct timespec& wanted, struct timespec& held) {
    struct stat st {};
    if (sys.fstat(fd, &st) != 0) {
        return errno;
    }
    held = st.st_mtim;
    return sameStep(st.st_mtim.tv_sec, wanted.tv_sec) ? 0 : EIO;
}

FileTime fileTimeOf(const struct timespec& time) {
    return {static_cast<std::int64_t>(time.tv_sec), static_cast<std::int32_t>(time.tv_nsec)};
}

// The program never changes its umask, so it is read once.
mode_t processUmask() {
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return mask;
}

mode_t modeForNewFile() {
    return 0666 & ~processUmask();
}

// The kernel tells a FUSE driver of the flush of single files only, and such a driver
// may keep the date of an open file and lose it at the rename.
constexpr unsigned long kFuseMagic = 0x65735546;
bool onFuse(int fd) {
    struct statfs fs {};
    return ::fstatfs(fd, &fs) == 0 && static_cast<unsigned long>(fs.f_type) == kFuseMagic;
}

// Fills a new temporary file through fill and gives it the mode and, when given, the
// times. The file is left open in fd for its flush; any failure removes it.
int writeTemporary(Syscalls& sys, const std::string& temporary, mode_t mode, const struct timespec* times,
                   const std::function<int(int)>& fill, int& fd) {
    constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
    // Made with its final bits where the umask lets it, which saves a call per file; the
    // bits are those the target will show anyway.
    const mode_t made = mode & 0777 & ~processUmask();
    fd = sys.open(temporary.c_str(), kFlags, made);
    if (fd < 0 && errno == EEXIST) {
        // Left by a killed run: replaced, so that it never blocks this target.
        sys.unlink(temporary.c_str());
        fd = sys.open(temporary.c_str(), kFlags, made);
    }
    if (fd < 0) {
        return errno;
    }
    int error = fill(fd);
    if (error == 0 && made != mode && sys.fchmod(fd, mode) != 0) {
        error = errno;
    }
    // Both times: a FUSE exFAT driver ignores a change of the modification time alone.
    if (error == 0 && times != nullptr && sys.futimens(fd, times) != 0) {
        error = errno;
    }
    if (error != 0) {
        sys.close(fd);
        fd = -1;
        sys.unlink(temporary.c_str());
    }
    return error;
}

// Takes a filled temporary file the rest of the way: flushed to the device (unless
// flushError tells how a flush shared with other files went), its date checked, closed
// and only then renamed over the target. Any failure removes it and leaves the target
// as it was. The date the file holds goes to held.
int renameOver(Syscalls& sys, int fd, const std::string& temporary, const std::string& target,
               const struct timespec* date, const int* flushError, struct timespec* held = nullptr) {
    int error = 0;
    if (flushError != nullptr) {
        error = *flushError;
    } else if (sys.fsync(fd) != 0) {
        error = errno;
    }
    if (error == 0 && date != nullptr && held != nullptr) {
        error = checkDateHeld(sys, fd, *date, *held);
    }
    // A delayed write error may show only at the close.
    const int closed = sys.close(fd) == 0 ? 0 : errno;
    if (error == 0) {
        error = closed;
    }
    if (error == 0 && sys.rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        sys.unlink(temporary.c_str());
    }
    return error;
}

// Writes the pieces through a flushed temporary file renamed over the target.
int replaceSafely(Syscalls& sys, const std::string& target, mode_t mode, const Platform::Pieces& nextPiece) {
    if (const int error = checkReplaceable(look(target))) {
        return error;
    }
    const std::string temporary = temporaryPathFor(target);
    int fd = -1;
    const int error = writeTemporary(
        sys, temporary, mode, nullptr,
        [&](int out) {
            for (std::string_view piece = nextPiece(); !piece.empty(); piece = nextPiece()) {
                if (const int failed = writeAll(sys, out, piece.data(), piece.size())) {
                    return failed;
                }
            }
            return 0;
        },
        fd);
    return error != 0 ? error : renameOver(sys, fd, temporary, target, nullptr, nullptr);
}

}  // namespace

PosixPlatform::PosixPlatform(Syscalls& syscalls) : m_sys(syscalls) {}
PosixPlatform::PosixPlatform() : m_sys(m_ownSyscalls) {}

PosixPlatform::~PosixPlatform() {
    for (auto& copy : m_pending) {
        drop(copy);
    }
    holdFolder({});
}

void PosixPlatform::holdFolder(const std::string& folder) {
    if (m_heldFolder >= 0) {
        ::close(m_heldFolder);
    }
    m_heldFolder = folder.empty() ? -1 : ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    m_heldPrefix = m_heldFolder >= 0 ? folder + '/' : std::string();
}

// A file of the held folder, looked at without walking the folder's path. Only what is
// found counts: a miss is looked at again by its path, so that a folder replaced or
// gone meanwhile never hides a file.
bool PosixPlatform::lookInHeldFolder(const std::string& path, struct stat& st) const {
    return m_heldFolder >= 0 && path.size() > m_heldPrefix.size() && path.starts_with(m_heldPrefix) &&
           path.find('/', m_heldPrefix.size()) == std::string::npos &&
           ::fstatat(m_heldFolder, path.c_str() + m_heldPrefix.size(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

// One lstat for a path that is no link: it tells the status and that the path itself
// is the file a pending copy would name.
Platform::FileState PosixPlatform::stateOf(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    Found found;
    if (!lookInHeldFolder(path, found.st) && ::lstat(path.c_str(), &found.st) != 0) {
        found.error = errno;
    }
    // Most paths are no links: only a link's path is copied, to be followed.
    std::string linked;
    int error = 0;
    if (found.error == 0 && S_ISLNK(found.st.st_mode)) {
        linked = path;
        error = followLinks(linked, found);
    }
    const std::string& file = linked.empty() ? path : linked;
    FileState state;
    // A path that cannot be followed is taken as pending: finishing early costs only time.
    state.pending = !m_pending.empty() && (error != 0 || m_pendingTargets.count(identityOf(file)) != 0);
    if (error == 0 && found.error == 0 && !S_ISDIR(found.st.st_mode)) {
        state.exists = true;
        state.date = fileDateOf(found.st.st_mtim.tv_sec);
        state.seconds = found.st.st_mtim.tv_sec;
        state.size = static_cast<std::uint64_t>(found.st.st_size);
        state.nanoseconds = static_cast<std::int32_t>(found.st.st_mtim.tv_nsec);
        state.special = !S_ISREG(found.st.st_mode);
    }
    return state;
}

int PosixPlatform::writeFileInPieces(const std::string& path, const Pieces& nextPiece) {
    mode_t mode = modeForNewFile();
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    }
    return replaceSafely(m_sys, path, mode, nextPiece);
}

int PosixPlatform::copyFile(const std::string& source, const std::string& target, CopyMode mode,
                            Copied* copied) {
    PendingCopy copy;
    Copied done;
    done.error = writeCopy(source, target, mode, copy, false);
    if (done.error == 0) {
        done = finishCopy(copy, nullptr, onFuse(copy.fd));
    }
    if (copied != nullptr) {
        *copied = done;
    }
    return done.error;
}

// Everything of a copy up to its flush. A shared copy whose target is that of a
// pending copy waits for that one to finish: both would fill one temporary file.
int PosixPlatform::writeCopy(const std::string& source, const std::string& givenTarget, CopyMode mode,
                             PendingCopy& copy, bool shared) {
    if (source.empty() || givenTarget.empty()) {
        return ENOENT;
    }
    // Not blocking: a pipe is refused at once instead of waiting for a writer.
    const int fd = m_sys.open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
    if (fd < 0) {
        return errno;
    }
    Descriptor in(m_sys, fd);
    struct stat before {};
    if (m_sys.fstat(fd, &before) != 0) {
        return errno;
    }
    if (S_ISDIR(before.st_mode)) {
        return EISDIR;
    }
    if (!S_ISREG(before.st_mode)) {
        return EINVAL;
    }
    std::string target = givenTarget;
    Found existing;
    if (const int error = followLinks(target, existing)) {
        return error;
    }
    mode_t bits = before.st_mode & 07777;
    if (mode == CopyMode::OnComputer) {
        bits = existing.error == 0 ? existing.st.st_mode & 07777 : modeForNewFile();
    } else if (mode == CopyMode::Backup) {
        bits |= S_IWUSR;
        // An older backup may be read-only (older versions kept the original's bits):
        // it is ours to replace, or every later backup of that name would fail.
        existing.st.st_mode |= S_IWUSR;
    }
    if (const int error = checkReplaceable(existing)) {
        return error;
    }
    if (shared) {
        copy.identity = identityOf(target, &copy.device);
        if (m_pendingTargets.count(copy.identity) != 0) {
            finishPending();
        }
    }
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    copy.temporary = temporaryPathFor(target);
    copy.target = std::move(target);
    copy.date = before.st_mtim;
    copy.bytes = static_cast<std::uintmax_t>(before.st_size);
    if (!m_buffer) {
        m_buffer = std::make_unique_for_overwrite<char[]>(kBufferSize);
    }
    const auto size = static_cast<std::uint64_t>(before.st_size);
    DigestMaker digest;
    return writeTemporary(
        m_sys, copy.temporary, bits, times,
        [&](int out) {
            char* const buffer = m_buffer.get();
            std::uint64_t copied = 0;
            // A file that reads to its size needs no further read to find its end: the look
            // afterwards tells whether it grew. A size of 0 may hide contents (/proc).
            while (size == 0 || copied < size) {
                const ssize_t n = m_sys.read(fd, buffer, kBufferSize);
                if (n < 0) {
                    if (errno == EINTR) {
                        continue;
                    }
                    return errno;
                }
                if (n == 0) {
                    break;
                }
                if (const int failed = writeAll(m_sys, out, buffer, static_cast<std::size_t>(n))) {
                    return failed;
                }
                digest.add(buffer, static_cast<std::size_t>(n));
                // The device starts on a large file's data while the next piece is read; the
                // flush before the rename still waits for all of it.
                if (static_cast<std::size_t>(n) == kBufferSize) {
                    ::sync_file_range(out, static_cast<off_t>(copied), n, SYNC_FILE_RANGE_WRITE);
                }
                copied += static_cast<std::uint64_t>(n);
                reportProgress(copied, size);
            }
            struct stat after {};
            if (m_sys.fstat(fd, &after) != 0) {
                return errno;
            }
            const bool changed = after.st_size != before.st_size ||
                                 after.st_mtim.tv_sec != before.st_mtim.tv_sec ||
                                 after.st_mtim.tv_nsec != before.st_mtim.tv_nsec;
            copy.digest = digest.digest();
            return changed ? EBUSY : 0;
        },
        copy.fd);
}

Copied PosixPlatform::finishCopy(PendingCopy& copy, const int* flushError, bool fuse) {
    struct timespec held {};
    Copied done{renameOver(m_sys, copy.fd, copy.temporary, copy.target, &copy.date, flushError, &held),
                fileTimeOf(held), fileTimeOf(copy.date), copy.bytes, copy.digest};
    copy.fd = -1;
    if (done.error != 0 || !fuse) {
        return done;
    }
    // A FUSE driver may keep the date of an open file and lose it at the rename: then
    // the copy is there, but the report must not call it done. A kernel file system
    // keeps a file's date through a rename.
    struct stat kept {};
    if (::stat(copy.target.c_str(), &kept) != 0) {
        done.error = errno;
        return done;
    }
    done.time = fileTimeOf(kept.st_mtim);
    done.error = sameStep(kept.st_mtim.tv_sec, copy.date.tv_sec) ? 0 : EIO;
    return done;
}

namespace {

// Enough to share a flush; few enough that the open temporary files stay far below
// the limit of descriptors, and that a large file is flushed on its own.
constexpr std::uintmax_t kMostPendingBytes = std::uintmax_t(64) << 20;

std::size_t mostPendingCopies() {
    static const std::size_t most = [] {
        struct rlimit limit {};
        const rlim_t open = ::getrlimit(RLIMIT_NOFILE, &limit) == 0 ? limit.rlim_cur : 1024;
        return static_cast<std::size_t>(std::clamp<rlim_t>(open / 4, 16, 4096));
    }();
    return most;
}

}  // namespace

int PosixPlatform::startCopy(const std::string& source, const std::string& target, CopyMode mode,
                             bool afterPrevious) {
    // A tied pair is never parted by the limits.
    if (!afterPrevious && (m_pending.size() >= mostPendingCopies() || m_pendingBytes >= kMostPendingBytes)) {
        finishPending();
    }
    PendingCopy copy;
    copy.afterPrevious = afterPrevious;
    if (const int error = writeCopy(source, target, mode, copy, true)) {
        return error;
    }
    if (copy.afterPrevious && m_pending.empty()) {
        // The copy it was tied to has been finished to make room for this one.
        copy.afterPrevious = false;
        if (const int error = m_finished.empty() ? 0 : m_finished.back().error) {
            drop(copy);
            return error;
        }
    }
    m_pendingBytes += copy.bytes;
    m_pendingTargets.insert(copy.identity);
    m_pending.push_back(std::move(copy));
    return 0;
}

std::vector<Copied> PosixPlatform::finishCopies() {
    finishPending();
    return std::exchange(m_finished, {});
}

// One flush for the pending copies of each file system: syncfs writes all of its files
// to the device, and, since the earliest of them was opened, reports any write that
// failed there. On FUSE each file is flushed.
void PosixPlatform::finishPending() {
    std::vector<std::optional<int>> flushed(m_pending.size());
    std::vector<bool> fuse(m_pending.size());
    for (std::size_t i = 0; i < m_pending.size(); ++i) {
        if (flushed[i]) {
            continue;
        }
        const bool onlyFiles = onFuse(m_pending[i].fd);
        const int shared = onlyFiles || m_sys.syncfs(m_pending[i].fd) == 0 ? 0 : errno;
        for (std::size_t j = i; j < m_pending.size(); ++j) {
            if (m_pending[j].device == m_pending[i].device) {
                flushed[j] = onlyFiles && m_sys.fsync(m_pending[j].fd) != 0 ? errno : shared;
                fuse[j] = onlyFiles;
            }
        }
    }
    int previous = 0;
    for (std::size_t i = 0; i < m_pending.size(); ++i) {
        Copied done;
        done.error = previous;
        if (m_pending[i].afterPrevious && previous != 0) {
            drop(m_pending[i]);
        } else {
            done = finishCopy(m_pending[i], &*flushed[i], fuse[i]);
        }
        m_finished.push_back(done);
        previous = done.error;
    }
    m_pending.clear();
    m_pendingTargets.clear();
    m_folders.clear();
    m_pendingBytes = 0;
}

void PosixPlatform::drop(PendingCopy& copy) {
    m_sys.close(copy.fd);
    copy.fd = -1;
    m_sys.unlink(copy.temporary.c_str());
}

// The same text for every path of one file: its folder by device and inode, so that
// links and spellings of the folder meet, and its name with letter case ignored, as a
// stick compares names. On a disk that tells case apart, two names of one spelling
// but another case only finish their copies earlier.
std::string PosixPlatform::identityOf(const std::string& path, dev_t* device) {
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    auto known = m_folders.find(folder);
    if (known == m_folders.end()) {
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0) {
            return {};
        }
        known = m_folders.emplace(folder, std::make_pair(st.st_dev, st.st_ino)).first;
    }
    if (device != nullptr) {
        *device = known->second.first;
    }
    return std::to_string(known->second.first) + ':' + std::to_string(known->second.second) + '/' +
           foldCase(path.substr(slash == std::string::npos ? 0 : slash + 1));
}

}  // namespace verdaline
