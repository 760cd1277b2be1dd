#include "errors.h"

#include <cerrno>
#include <cstring>

#include "windows_platform.h"

namespace verdaline {

#ifdef _WIN32
// GetLastError numbers, as the Windows program names them.
std::string folderErrorText(int error) {
    switch (error) {
        case 2:
            return "File not found";
        case 3:
            return "Invalid filename";
        case 4:
            return "Too many open files";
        case 5:
            return "File access denied";
        default:
            return "I/O error " + std::to_string(error);
    }
}

std::string systemReason(int error) {
    return windowsErrorText(error);
}

bool isWriteProtection(int error) {
    return error == 5 || error == 19;  // ERROR_ACCESS_DENIED, ERROR_WRITE_PROTECT
}

bool isNotFound(int error) {
    return error == 2 || error == 3;  // ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND
}
#else
std::string folderErrorText(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return "File not found";
        case EINVAL:
        case ENAMETOOLONG:
        case EILSEQ:
            return "Invalid filename";
        case EMFILE:
        case ENFILE:
            return "Too many open files";
        case EACCES:
        case EPERM:
        case EROFS:
            return "File access denied";
        default:
            return "I/O error " + std::to_string(error);
    }
}

std::string systemReason(int error) {
    return std::strerror(error);
}

bool isWriteProtection(int error) {
    return error == EROFS || error == EACCES || error == EPERM;
}

bool isNotFound(int error) {
    return error == ENOENT || error == ENOTDIR;
}
#endif

std::string cannotOpenFileText(const std::string& path, int error) {
    return "Cannot open file \"" + path + "\". " + systemReason(error);
}

std::string cannotCreateFileText(const std::string& path, int error) {
    return "Cannot create file \"" + path + "\". " + systemReason(error);
}

std::string withFullStop(const std::string& text) {
    // UTF-8 keeps every byte of a non-ASCII character above 0x7F, so comparing the
    // last byte gives the same answer as comparing the last character.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
        return text + ".";
    }
    return text;
}

}  // namespace verdaline
