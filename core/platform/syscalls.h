#pragma once

#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>

namespace verdaline {

// The system calls behind the safe writes and copies, one virtual each, so that a
// test can make the Nth write, the flush, the rename or the time setting fail.
// Each returns what the system call returns and leaves errno as it sets it.
class Syscalls {
public:
    virtual ~Syscalls() = default;
    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t read(int fd, void* buffer, size_t size);
    virtual ssize_t write(int fd, const void* buffer, size_t size);
    virtual int fstat(int fd, struct stat* st);
    virtual int fchmod(int fd, mode_t mode);
    virtual int futimens(int fd, const struct timespec times[2]);
    virtual int fsync(int fd);
    virtual int syncfs(int fd);
    virtual int close(int fd);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);
};

// Closes a descriptor on every way out of a scope.
class Descriptor {
public:
    Descriptor(Syscalls& sys, int fd) : m_sys(sys), m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            m_sys.close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

private:
    Syscalls& m_sys;
    int m_fd;
};

}  // namespace verdaline
