#pragma once

#include <cerrno>
#include <fstream>
#include <string>
#include <thread>

#include "syscalls.h"

namespace verdaline::testing {

// System calls that fail on demand: the Nth write, every flush (of one file or of a
// whole file system), every rename or every time setting, each with the error number
// given; a time setting ignored; a source edited while it is read; every read and
// write interrupted by a signal once.
class FailingSyscalls : public Syscalls {
public:
    int failWriteNumber = 0;  // 1 = the first write; 0 = none
    int writeError = ENOSPC;
    int fsyncError = 0;
    int syncfsError = 0;
    int renameError = 0;
    int futimensError = 0;
    bool ignoreTimes = false;  // as a FUSE exFAT driver ignores some time changes
    std::string editOnRead;    // a file that somebody edits while it is being read
    int writeDelayMs = 0;      // a slow stick
    // Each read and write fails with EINTR, as a signal makes it, and runs when tried again.
    bool interruptEach = false;
    int writes = 0;

    ssize_t read(int fd, void* buffer, size_t size) override {
        if (!editOnRead.empty()) {
            std::ofstream(editOnRead, std::ios::app) << " more";
            editOnRead.clear();
        }
        return interrupted() ? -1 : Syscalls::read(fd, buffer, size);
    }

    ssize_t write(int fd, const void* buffer, size_t size) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(writeDelayMs));
        if (++writes == failWriteNumber) {
            errno = writeError;
            return -1;
        }
        return interrupted() ? -1 : Syscalls::write(fd, buffer, size);
    }
    int fsync(int fd) override { return fail(fsyncError) ? -1 : Syscalls::fsync(fd); }
    int syncfs(int fd) override { return fail(syncfsError) ? -1 : Syscalls::syncfs(fd); }
    int rename(const char* from, const char* to) override {
        return fail(renameError) ? -1 : Syscalls::rename(from, to);
    }
    int futimens(int fd, const struct timespec times[2]) override {
        if (ignoreTimes) {
            return 0;
        }
        return fail(futimensError) ? -1 : Syscalls::futimens(fd, times);
    }

private:
    bool interrupted() {
        m_interrupted = interruptEach && !m_interrupted;
        return m_interrupted && fail(EINTR);
    }
    static bool fail(int error) {
        if (error == 0) {
            return false;
        }
        errno = error;
        return true;
    }
    bool m_interrupted = false;
};

}  // namespace verdaline::testing
