#include "list_file.h"

#include <cerrno>

#include "cp1251.h"
#include "errors.h"
#include "texts.h"

namespace verdaline {

namespace {

// Hands each line of the text to eachLine, without its line end.
template <typename EachLine>
void forEachLine(std::string_view text, const EachLine& eachLine) {
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == '\r' || c == '\n') {
            eachLine(text.substr(start, pos - start));
            pos += (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
            start = pos;
        } else {
            ++pos;
        }
    }
    if (start < text.size()) {
        eachLine(text.substr(start));
    }
}

}  // namespace

Lines splitLines(std::string_view text) {
    Lines lines;
    forEachLine(text, [&lines](std::string_view line) { lines.emplace_back(line); });
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

bool readListFile(Platform& platform, const std::string& path,
                  const std::function<void(std::string&&)>& eachLine) {
    if (!platform.isFile(path)) {
        return false;
    }
    std::string bytes;
    if (const int error = platform.readFile(path, bytes)) {
        throw Failure(cannotOpenFileText(path, error), error);
    }
    // CR and LF are the same bytes in the code page, so a line is cut before it is decoded.
    forEachLine(bytes, [&eachLine](std::string_view line) { eachLine(decodeCp1251(line)); });
    return true;
}

std::optional<Lines> readListFile(Platform& platform, const std::string& path) {
    Lines lines;
    if (!readListFile(platform, path, [&lines](std::string&& line) { lines.push_back(std::move(line)); })) {
        return std::nullopt;
    }
    return lines;
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
    writeListFile(platform, path, lines.size(), [&lines](std::size_t i) { return lines[i]; });
}

void writeListFile(Platform& platform, const std::string& path, std::size_t lines,
                   const std::function<std::string(std::size_t)>& lineAt) {
    for (std::size_t i = 0; i < lines; ++i) {
        if (const std::string line = lineAt(i); !fitsCp1251(line)) {
            throw Failure(texts::lineOutsideCp1251(path, line));
        }
    }
    // In pieces of some size: a long list is never held whole a second time.
    constexpr std::size_t kPiece = std::size_t(1) << 16;
    std::size_t next = 0;
    std::string piece;
    const int error = platform.writeFileInPieces(path, [&]() -> std::string_view {
        piece.clear();
        for (; next < lines && piece.size() < kPiece; ++next) {
            appendCp1251(lineAt(next), piece);
            piece += "\r\n";
        }
        return piece;
    });
    if (error != 0) {
        throw Failure(cannotCreateFileText(path, error), error);
    }
}

}  // namespace verdaline
