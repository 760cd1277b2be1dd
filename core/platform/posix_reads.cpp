// Reading a whole file: a list file's bytes, or the digest of a file's content.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "posix_platform.h"

namespace verdaline {

int PosixPlatform::digestOf(const std::string& path, Digest& digest) {
    const int fd = m_sys.open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
    if (fd < 0) {
        return errno;
    }
    Descriptor in(m_sys, fd);
    struct stat st {};
    if (m_sys.fstat(fd, &st) != 0) {
        return errno;
    }
    if (!S_ISREG(st.st_mode)) {
        return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    }
    if (!m_buffer) {
        m_buffer = std::make_unique_for_overwrite<char[]>(kBufferSize);
    }
    DigestMaker maker;
    for (;;) {
        const ssize_t n = m_sys.read(fd, m_buffer.get(), kBufferSize);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            digest = maker.digest();
            return 0;
        }
        maker.add(m_buffer.get(), static_cast<std::size_t>(n));
    }
}

int PosixPlatform::readFile(const std::string& path, std::string& bytes) {
    // Not blocking: a pipe or a device in a list file's place is refused, not read forever.
    const int fd = m_sys.open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
    if (fd < 0) {
        return errno;
    }
    Descriptor in(m_sys, fd);
    struct stat st {};
    if (m_sys.fstat(fd, &st) != 0) {
        return errno;
    }
    if (!S_ISREG(st.st_mode)) {
        return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    }
    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(st.st_size));  // read once into place, not grown copy by copy
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = m_sys.read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            return 0;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace verdaline
