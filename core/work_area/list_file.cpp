#include "list_file.h"

#include <cerrno>

#include "cp1251.h"
#include "errors.h"
#include "texts.h"

namespace verdaline {

Lines splitLines(std::string_view text) {
    Lines lines;
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, pos - start));
            pos += (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
            start = pos;
        } else {
            ++pos;
        }
    }
    if (start < text.size()) {
        lines.emplace_back(text.substr(start));
    }
    return lines;
}

std::string joinLines(const Lines& lines) {
    std::size_t size = 0;
    for (const auto& line : lines) {
        size += line.size() + 2;
    }
    std::string text;
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::optional<Lines> readListFile(Platform& platform, const std::string& path) {
    if (!platform.isFile(path)) {
        return std::nullopt;
    }
    std::string bytes;
    if (const int error = platform.readFile(path, bytes)) {
        throw Failure(cannotOpenFileText(path, error));
    }
    return splitLines(decodeCp1251(bytes));
}

const std::string* firstLineOutsideCp1251(const Lines& lines) {
    for (const auto& line : lines) {
        if (!fitsCp1251(line)) {
            return &line;
        }
    }
    return nullptr;
}

void writeListFile(Platform& platform, const std::string& path, const Lines& lines) {
    const auto bytes = encodeCp1251(joinLines(lines));
    if (!bytes) {
        const std::string* bad = firstLineOutsideCp1251(lines);
        throw Failure(texts::lineOutsideCp1251(path, bad ? *bad : std::string()));
    }
    if (const int error = platform.writeFile(path, *bytes)) {
        throw Failure(cannotCreateFileText(path, error));
    }
}

}  // namespace verdaline
