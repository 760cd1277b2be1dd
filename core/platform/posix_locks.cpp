// The calls behind the work area's lock and moving copies.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <thread>

#include "cp1251.h"
#include "posix_platform.h"

namespace verdaline {
namespace {

class FlockHolder : public FileLock {
public:
    explicit FlockHolder(int fd) : m_fd(fd) {}
    ~FlockHolder() override { ::close(m_fd); }
    FlockHolder(const FlockHolder&) = delete;
    FlockHolder& operator=(const FlockHolder&) = delete;

private:
    int m_fd;
};

bool folderListsExactly(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return true;
    }
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        found = found || name == entry->d_name;
    }
    ::closedir(dir);
    return found;
}

}  // namespace

int PosixPlatform::moveFile(const std::string& from, const std::string& to) {
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) {
        const auto slash = to.rfind('/');
        const std::string folder = slash == std::string::npos ? std::string() : to.substr(0, slash);
        const std::string name = to.substr(slash == std::string::npos ? 0 : slash + 1);
        // On a stick that ignores case, "x.txt" finds "X.txt" itself: only a name that
        // the folder really holds is another file.
        const bool caseOnly = foldCase(from) == foldCase(to) && from != to;
        if (!caseOnly || folderListsExactly(folder, name)) {
            return EEXIST;
        }
    }
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// flock, not fcntl: two holders in one process exclude each other too, and a FUSE
// file system without locks of its own gets the kernel's.
int PosixPlatform::lockFile(const std::string& path, std::chrono::milliseconds wait,
                            std::unique_ptr<FileLock>& lock) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno;
    }
    const auto until = std::chrono::steady_clock::now() + wait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EINTR) {
            continue;
        }
        if (error != EWOULDBLOCK || std::chrono::steady_clock::now() >= until) {
            ::close(fd);
            return error;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    lock = std::make_unique<FlockHolder>(fd);
    return 0;
}

}  // namespace verdaline
