#pragma once

#include <stdexcept>
#include <string>

namespace verdaline {

// The one way an operation of the program gives up: the message travels to the
// application-wide handler, which shows it and lets the program go on.
class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& message) : std::runtime_error(message) {}
};

// Texts of a folder that cannot be made, by the meaning of the system's error number.
std::string folderErrorText(int error);

// "Cannot open file "<path>". <reason>" and "Cannot create file "<path>". <reason>".
std::string cannotOpenFileText(const std::string& path, int error);
std::string cannotCreateFileText(const std::string& path, int error);

// The system's own reason for an error number.
std::string systemReason(int error);

// Whether the error says that nothing may be written there: a write-protected stick, or
// no right to write.
bool isWriteProtection(int error);
// Whether the error says that the file or its folder is not there.
bool isNotFound(int error);

// A failure's text as the message box shows it: a full stop is added when the last
// character sorts after the full stop (letters, digits), not after punctuation or a space.
std::string withFullStop(const std::string& text);

}  // namespace verdaline
