// The calls behind the work area's lock, and moving a copy no entry needs aside.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <thread>

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

}  // namespace

int PosixPlatform::moveFile(const std::string& from, const std::string& to) {
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) {
        return EEXIST;
    }
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// flock, not fcntl: two holders in one process exclude each other too, and a FUSE
// file system without locks of its own gets the kernel's.
int PosixPlatform::lockFile(const std::string& path, std::chrono::milliseconds wait,
                            std::unique_ptr<FileLock>& lock, bool make) {
    const int fd = ::open(path.c_str(), make ? O_RDWR | O_CREAT | O_CLOEXEC : O_RDONLY | O_CLOEXEC, 0666);
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
