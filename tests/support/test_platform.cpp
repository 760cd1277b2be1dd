#include "test_platform.h"

#include "cp1251.h"

namespace verdaline::testing {

bool TestPlatform::isWriteProtected(const std::string& path) const {
    return !writeProtected.empty() && path.starts_with(writeProtected);
}

int TestPlatform::makeFolder(const std::string& path) {
    if (isWriteProtected(path)) {
        return kWriteProtected;
    }
    const auto it = failMakeFolder.find(path);
    return it != failMakeFolder.end() ? it->second : NativePlatform::makeFolder(path);
}

int TestPlatform::readFile(const std::string& path, std::string& bytes) {
    const auto it = failRead.find(path);
    return it != failRead.end() ? it->second : NativePlatform::readFile(path, bytes);
}

int TestPlatform::writeFileInPieces(const std::string& path, const Pieces& nextPiece) {
    if (isWriteProtected(path)) {
        return kWriteProtected;
    }
    const auto it = failWrite.find(path);
    return it != failWrite.end() ? it->second : NativePlatform::writeFileInPieces(path, nextPiece);
}

int TestPlatform::copyFile(const std::string& source, const std::string& target, CopyMode mode,
                           Copied* copied) {
    return isWriteProtected(target) ? kWriteProtected : NativePlatform::copyFile(source, target, mode, copied);
}

int TestPlatform::startCopy(const std::string& source, const std::string& target, CopyMode mode,
                            bool afterPrevious) {
    return isWriteProtected(target) ? kWriteProtected
                                    : NativePlatform::startCopy(source, target, mode, afterPrevious);
}

int TestPlatform::removeFile(const std::string& path) {
    return isWriteProtected(path) ? kWriteProtected : NativePlatform::removeFile(path);
}

int TestPlatform::moveFile(const std::string& from, const std::string& to) {
    return isWriteProtected(from) || isWriteProtected(to) ? kWriteProtected : NativePlatform::moveFile(from, to);
}

int TestPlatform::lockFile(const std::string& path, std::chrono::milliseconds wait,
                           std::unique_ptr<FileLock>& lock, bool make) {
    return make && isWriteProtected(path) ? kWriteProtected : NativePlatform::lockFile(path, wait, lock, make);
}

std::string cp1251Lines(std::initializer_list<const char*> utf8Lines) {
    std::string bytes;
    for (const char* line : utf8Lines) {
        bytes += *encodeCp1251(line);
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace verdaline::testing
