#include "errors.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

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

// The system's own text for a GetLastError number, as UTF-8.
std::string systemReason(int error) {
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string result;
    if (n == 0) {
        result = "Error " + std::to_string(error);
    } else {
        const int size =
            ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
        result.assign(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(n), result.data(), size, nullptr, nullptr);
    }
    ::LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' ')) {
        result.pop_back();
    }
    return result;
}

ErrorMeaning meaningOf(int error) {
    switch (error) {
        case 39:   // ERROR_HANDLE_DISK_FULL
        case 112:  // ERROR_DISK_FULL
            return ErrorMeaning::NoSpace;
        case 5:  // ERROR_ACCESS_DENIED
            return ErrorMeaning::NoAccess;
        case 19:  // ERROR_WRITE_PROTECT
            return ErrorMeaning::WriteProtected;
        case 21:    // ERROR_NOT_READY
        case 55:    // ERROR_DEV_NOT_EXIST
        case 1167:  // ERROR_DEVICE_NOT_CONNECTED
            return ErrorMeaning::NotConnected;
        case 2:
        case 3:
            return ErrorMeaning::NotFound;
        case 23:    // ERROR_CRC
        case 1117:  // ERROR_IO_DEVICE
            return ErrorMeaning::ReadOrWrite;
        case 32:  // ERROR_SHARING_VIOLATION
        case 33:  // ERROR_LOCK_VIOLATION
            return ErrorMeaning::InUse;
        case 1:  // ERROR_INVALID_FUNCTION: not a file on a disk
            return ErrorMeaning::NotRegularFile;
        case 206:  // ERROR_FILENAME_EXCED_RANGE
            return ErrorMeaning::NameTooLong;
        case 223:  // ERROR_FILE_TOO_LARGE
            return ErrorMeaning::TooLarge;
        default:
            return ErrorMeaning::Other;
    }
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

ErrorMeaning meaningOf(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return ErrorMeaning::NoSpace;
        case EACCES:
        case EPERM:
            return ErrorMeaning::NoAccess;
        case EROFS:
            return ErrorMeaning::WriteProtected;
        case ENOTCONN:
        case ENODEV:
        case ENXIO:
        case ESHUTDOWN:
            return ErrorMeaning::NotConnected;
        case EBUSY:  // a copy's source that changed while it was read
            return ErrorMeaning::ChangedWhileCopied;
        case EIO:  // also a date the stick did not keep
            return ErrorMeaning::ReadOrWrite;
        case EINVAL:  // a pipe or a device in a file's place
            return ErrorMeaning::NotRegularFile;
        case ENOENT:
        case ENOTDIR:
            return ErrorMeaning::NotFound;
        case EISDIR:
            return ErrorMeaning::IsFolder;
        case ENAMETOOLONG:
            return ErrorMeaning::NameTooLong;
        case EFBIG:
            return ErrorMeaning::TooLarge;
        case ETXTBSY:
            return ErrorMeaning::InUse;
        default:
            return ErrorMeaning::Other;
    }
}
#endif

bool isWriteProtection(int error) {
    const ErrorMeaning meaning = meaningOf(error);
    return meaning == ErrorMeaning::WriteProtected || meaning == ErrorMeaning::NoAccess;
}

bool isNotFound(int error) {
    return meaningOf(error) == ErrorMeaning::NotFound;
}

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
