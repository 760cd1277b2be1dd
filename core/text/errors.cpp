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
    // Windows ends its texts with a full stop; the messages that quote one add their own.
    while (!result.empty() &&
           (result.back() == '\n' || result.back() == '\r' || result.back() == ' ' || result.back() == '.')) {
        result.pop_back();
    }
    return result;
}

ErrorMeaning meaningOf(int error) {
    switch (error) {
        case 39:    // ERROR_HANDLE_DISK_FULL
        case 112:   // ERROR_DISK_FULL
        case 1295:  // ERROR_DISK_QUOTA_EXCEEDED
            return ErrorMeaning::NoSpace;
        case 5:   // ERROR_ACCESS_DENIED
        case 65:  // ERROR_NETWORK_ACCESS_DENIED
            return ErrorMeaning::NoAccess;
        case 19:  // ERROR_WRITE_PROTECT
            return ErrorMeaning::WriteProtected;
        case 15:    // ERROR_INVALID_DRIVE
        case 21:    // ERROR_NOT_READY
        case 55:    // ERROR_DEV_NOT_EXIST
        case 1167:  // ERROR_DEVICE_NOT_CONNECTED
        case 1617:  // ERROR_DEVICE_REMOVED
            return ErrorMeaning::NotConnected;
        case 2:  // ERROR_FILE_NOT_FOUND
        case 3:  // ERROR_PATH_NOT_FOUND
            return ErrorMeaning::NotFound;
        case 23:    // ERROR_CRC
        case 29:    // ERROR_WRITE_FAULT
        case 30:    // ERROR_READ_FAULT
        case 31:    // ERROR_GEN_FAILURE
        case 1117:  // ERROR_IO_DEVICE
            return ErrorMeaning::ReadOrWrite;
        case 32:    // ERROR_SHARING_VIOLATION
        case 33:    // ERROR_LOCK_VIOLATION
        case 1224:  // ERROR_USER_MAPPED_FILE
            return ErrorMeaning::InUse;
        case 1:  // ERROR_INVALID_FUNCTION: not a file on a disk
            return ErrorMeaning::NotRegularFile;
        case 80:   // ERROR_FILE_EXISTS
        case 183:  // ERROR_ALREADY_EXISTS
            return ErrorMeaning::Exists;
        case 123:  // ERROR_INVALID_NAME
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
        case EEXIST:
        case ENOTEMPTY:
            return ErrorMeaning::Exists;
        case ENAMETOOLONG:
        case EILSEQ:
            return ErrorMeaning::NameTooLong;
        case EFBIG:
            return ErrorMeaning::TooLarge;
        case ETXTBSY:
        case EWOULDBLOCK:
            return ErrorMeaning::InUse;
        default:
            return ErrorMeaning::Other;
    }
}
#endif

int notRegularFileError() {
#ifdef _WIN32
    return ERROR_INVALID_FUNCTION;
#else
    return EINVAL;
#endif
}

bool isWriteProtection(int error) {
    const ErrorMeaning meaning = meaningOf(error);
    return meaning == ErrorMeaning::WriteProtected || meaning == ErrorMeaning::NoAccess;
}

bool isNotFound(int error) {
    return meaningOf(error) == ErrorMeaning::NotFound;
}

std::string errorInWords(int error) {
    switch (meaningOf(error)) {
        case ErrorMeaning::NoSpace:
            return "Не хватает места на диске: освободите место (удалите или перенесите ненужные файлы) и "
                   "повторите.";
        case ErrorMeaning::NoAccess:
            return "Нет доступа: файл только для чтения, или папка закрыта для записи. Снимите запрет или "
                   "выберите другое место и повторите.";
        case ErrorMeaning::WriteProtected:
            return "Диск защищен от записи: снимите защиту (переключатель на флешке) и повторите.";
        case ErrorMeaning::NotConnected:
            return "Флешка или диск вынуты или недоступны: вставьте их снова и повторите.";
        case ErrorMeaning::ChangedWhileCopied:
            return "Файл занят или менялся, пока с ним работали: закройте его в других программах и "
                   "повторите.";
        case ErrorMeaning::ReadOrWrite:
            return "Ошибка чтения или записи диска: вставьте флешку заново (или проверьте диск) и повторите.";
        case ErrorMeaning::NotRegularFile:
            return "Это не обычный файл, а устройство или канал: выберите обычный файл.";
        case ErrorMeaning::NotFound:
            return "Файл или папка не найдены: проверьте, что флешка вставлена и путь верен, и повторите.";
        case ErrorMeaning::IsFolder:
            return "На месте файла лежит папка: переименуйте или уберите ее и повторите.";
        case ErrorMeaning::Exists:
            return "На этом месте уже есть файл или папка с тем же именем: переименуйте или уберите их и "
                   "повторите.";
        case ErrorMeaning::NameTooLong:
            return "Имя или путь слишком длинные или содержат знаки, которых диск не принимает: переименуйте "
                   "файл или папку короче и повторите.";
        case ErrorMeaning::TooLarge:
            return "Файл слишком велик для этого диска (FAT32 берет не больше 4 ГБ): выберите другой диск.";
        case ErrorMeaning::InUse:
            return "Файл занят другой программой: закройте его там и повторите.";
        case ErrorMeaning::Other:
            break;
    }
    std::string words = "Ошибка системы номер ";
    words += std::to_string(error);
    words += ": проверьте флешку и диск, вставьте флешку заново и повторите.";
    return words;
}

std::string explained(const std::string& described, int error) {
    std::string text = withFullStop(described);
    text += ' ';
    text += errorInWords(error);
    return text;
}

std::string cannotOpenFileText(const std::string& path, int error) {
    std::string described = "Cannot open file \"";
    described += path;
    described += "\". ";
    described += systemReason(error);
    return explained(described, error);
}

std::string cannotCreateFileText(const std::string& path, int error) {
    std::string described = "Cannot create file \"";
    described += path;
    described += "\". ";
    described += systemReason(error);
    return explained(described, error);
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
