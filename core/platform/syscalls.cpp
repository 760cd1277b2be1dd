#include "syscalls.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace verdaline {

int Syscalls::open(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}
ssize_t Syscalls::read(int fd, void* buffer, size_t size) {
    return ::read(fd, buffer, size);
}
ssize_t Syscalls::write(int fd, const void* buffer, size_t size) {
    return ::write(fd, buffer, size);
}
int Syscalls::fstat(int fd, struct stat* st) {
    return ::fstat(fd, st);
}
int Syscalls::fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}
int Syscalls::futimens(int fd, const struct timespec times[2]) {
    return ::futimens(fd, times);
}
int Syscalls::fsync(int fd) {
    return ::fsync(fd);
}
int Syscalls::syncfs(int fd) {
    return ::syncfs(fd);
}
int Syscalls::close(int fd) {
    return ::close(fd);
}
int Syscalls::rename(const char* from, const char* to) {
    return ::rename(from, to);
}
int Syscalls::unlink(const char* path) {
    return ::unlink(path);
}

}  // namespace verdaline
