#include "computers.h"

#include <cstdio>

#include "cp1251.h"
#include "errors.h"
#include "native_platform.h"
#include "texts.h"

namespace verdaline {
namespace {

// A stick takes names of up to 255 bytes; the longest name a computer's name goes into
// is the temporary file its file list is written through.
std::size_t longestNameBytes() {
    const WorkArea area("/");
    return 255 - fileNameOf(temporaryPathFor(area.fileListFile({}))).size();
}

std::string hex8(std::uint32_t value) {
    char buffer[9];
    std::snprintf(buffer, sizeof buffer, "%08X", value);
    return buffer;
}

}  // namespace

std::optional<std::string> diskNumberOf(const VolumeSerial& serial) {
    if (!serial.value) {
        return std::nullopt;
    }
    return hex8(*serial.value) + hex8(*serial.value);
}

Recognition recognise(const std::optional<std::string>& diskNumber, const Lines& computerList) {
    Recognition result;
    if (!diskNumber) {
        return result;
    }
    const std::string* found = nullptr;
    for (std::size_t i = 1; i < computerList.size(); ++i) {
        if (computerList[i] == *diskNumber) {
            found = &computerList[i - 1];
        }
    }
    if (found != nullptr) {
        if (computerNameProblem(*found)) {
            result.untrustedName = *found;
        } else {
            result.name = *found;
        }
    }
    return result;
}

void appendComputer(Lines& computerList, const std::string& name, const std::string& diskNumber) {
    // Sticks ignore letter case: "офис" would share the files of "Офис".
    const std::string folded = foldCase(name);
    bool taken = false;
    for (const auto& line : computerList) {
        taken = taken || foldCase(line) == folded;
    }
    computerList.push_back(taken ? name + std::to_string(computerList.size() + 1) : name);
    computerList.push_back(diskNumber);
}

std::optional<std::string> computerNameProblem(const std::string& name) {
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || std::string_view("\\/:*?\"<>|").find(ch) != std::string_view::npos) {
            return texts::computerNameForbiddenCharacter(name);
        }
    }
    if (!fitsCp1251(name)) {
        return texts::computerNameOutsideCp1251(name);
    }
    if (name.size() > longestNameBytes()) {
        return texts::computerNameTooLong(longestNameBytes());
    }
    if (!name.empty() && (name.back() == '.' || name.back() == ' ')) {
        return texts::computerNameTrailingDotOrSpace(name);
    }
    return std::nullopt;
}

std::optional<std::string> registerComputer(Platform& platform, const WorkArea& area, Lines& computerList,
                                            const std::string& name,
                                            const std::optional<std::string>& diskNumber,
                                            int diskNumberError) {
    if (!diskNumber) {
        return texts::diskNumberUnreadable(diskNumberError);
    }
    if (auto problem = computerNameProblem(name)) {
        return problem;
    }
    const WorkAreaLock lock(platform, area);
    // The list as the stick has it now; one that cannot be read is not replaced by a
    // list of this computer alone.
    try {
        computerList = readListFile(platform, area.computerListFile()).value_or(Lines{});
    } catch (const Failure& failure) {
        return texts::computerListUnreadable(failure.what());
    }
    appendComputer(computerList, name, *diskNumber);
    writeListFile(platform, area.computerListFile(), computerList);
    return std::nullopt;
}

}  // namespace verdaline
