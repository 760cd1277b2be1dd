#include "computers.h"

#include <cstdio>

#include "cp1251.h"
#include "errors.h"
#include "texts.h"

namespace verdaline {
namespace {

constexpr std::size_t kLongestName = 100;

std::string hex8(std::uint32_t value) {
    char buffer[9];
    std::snprintf(buffer, sizeof buffer, "%08X", value);
    return buffer;
}

std::size_t characterCount(const std::string& utf8) {
    std::size_t n = 0;
    for (const char c : utf8) {
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return n;
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
    bool taken = false;
    for (const auto& line : computerList) {
        taken = taken || line == name;
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
    if (characterCount(name) > kLongestName) {
        return texts::computerNameTooLong(kLongestName);
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
    appendComputer(computerList, name, *diskNumber);
    ensureFolder(platform, area.listsFolder());
    writeListFile(platform, area.computerListFile(), computerList);
    return std::nullopt;
}

}  // namespace verdaline
