#pragma once

#include <stdexcept>
#include <string>

namespace verdaline {

// The one way an operation of the program gives up: the message travels to the
// application-wide handler, which shows it and lets the program go on.
class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& message, int error = 0) : std::runtime_error(message), m_error(error) {}
    // The system's error number behind it, when one is.
    int error() const { return m_error; }

private:
    int m_error;
};

// Nothing can be written on the stick: it is write-protected or mounted read-only.
class WriteProtected : public Failure {
public:
    using Failure::Failure;
};

// Texts of a folder that cannot be made, by the meaning of the system's error number.
std::string folderErrorText(int error);

// "Cannot open file "<path>". <reason>." and "Cannot create file "<path>". <reason>.",
// each followed by the error in words.
std::string cannotOpenFileText(const std::string& path, int error);
std::string cannotCreateFileText(const std::string& path, int error);

// The system's own reason for an error number, without a full stop at its end.
std::string systemReason(int error);

// Whether the error says that nothing may be written there: a write-protected stick, or
// no right to write.
bool isWriteProtection(int error);
// Whether the error says that the file or its folder is not there.
bool isNotFound(int error);

// What a system error number means to a person copying files.
enum class ErrorMeaning {
    NoSpace,
    NoAccess,
    WriteProtected,
    NotConnected,        // the device is gone
    ChangedWhileCopied,  // the source changed while it was read
    ReadOrWrite,         // the device failed, or did not keep the date it was given
    NotRegularFile,      // a device or a pipe
    NotFound,
    IsFolder,
    Exists,       // a file or folder of that name is already in the way
    NameTooLong,  // or a name the file system does not take
    TooLarge,     // larger than the file system takes (FAT32: 4 GiB)
    InUse,        // locked by another program
    Other,
};
ErrorMeaning meaningOf(int error);
// The error number of a copy that meets a device where a file should be.
int notRegularFileError();

// What the error means and what to do about it, in Russian, as one or two sentences
// that start with a capital and end with a full stop.
std::string errorInWords(int error);
// A described text, ended by a full stop, then the error in words.
std::string explained(const std::string& described, int error);

// A failure's text as the message box shows it: a full stop is added when the last
// character sorts after the full stop (letters, digits), not after punctuation or a space.
std::string withFullStop(const std::string& text);

}  // namespace verdaline
