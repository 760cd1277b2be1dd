// Reading a whole file: a list file's bytes, or the digest of a file's content.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "posix_platform.h"

namespace verdaline {

namespace {

// Reads a regular file whole, piece by piece: opened without blocking, so that a pipe or
// a device in a file's place is refused, not read forever. sized hears the file's size
// first.
template <typename Sized, typename Piece>
int readWhole(Syscalls& sys, const std::string& path, char* buffer, std::size_t size, Sized sized, Piece piece) {
    const int fd = sys.open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
    if (fd < 0) {
        return errno;
    }
    Descriptor in(sys, fd);
    struct stat st {};
    if (sys.fstat(fd, &st) != 0) {
        return errno;
    }
    if (!S_ISREG(st.st_mode)) {
        return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    }
    sized(static_cast<std::size_t>(st.st_size));
    for (;;) {
        const ssize_t n = sys.read(fd, buffer, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            return 0;
        }
        piece(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace

int PosixPlatform::digestOf(const std::string& path, Digest& digest) {
    if (!m_buffer) {
        m_buffer = std::make_unique_for_overwrite<char[]>(kBufferSize);
    }
    DigestMaker maker;
    const int error = readWhole(
        m_sys, path, m_buffer.get(), kBufferSize, [](std::size_t) {},
        [&maker](const char* bytes, std::size_t n) { maker.add(bytes, n); });
    if (error == 0) {
        digest = maker.digest();
    }
    return error;
}

int PosixPlatform::readFile(const std::string& path, std::string& bytes) {
    char buffer[1 << 16];
    bytes.clear();
    return readWhole(
        m_sys, path, buffer, sizeof buffer,
        // Read once into place, not grown copy by copy.
        [&bytes](std::size_t size) { bytes.reserve(size); },
        [&bytes](const char* piece, std::size_t n) { bytes.append(piece, n); });
}

}  // namespace verdaline
