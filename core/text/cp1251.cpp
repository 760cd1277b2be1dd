#include "cp1251.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace verdaline {
namespace {

// Characters of the bytes 0x80..0xFF.
constexpr std::array<char32_t, 128> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  //
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  //
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  //
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  //
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  //
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  //
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  //
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  //
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  //
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  //
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  //
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  //
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  //
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Reads one UTF-8 character at pos and advances; nothing for a malformed sequence
// (then pos moves past its first byte).
std::optional<char32_t> nextChar(std::string_view s, std::size_t& pos) {
    const auto b0 = static_cast<unsigned char>(s[pos++]);
    if (b0 < 0x80) {
        return b0;
    }
    int extra = 0;
    char32_t c = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        c = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        c = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        c = b0 & 0x07;
    } else {
        return std::nullopt;
    }
    if (pos + extra > s.size()) {
        return std::nullopt;
    }
    for (int i = 0; i < extra; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + i]);
        if ((b & 0xC0) != 0x80) {
            return std::nullopt;
        }
        c = (c << 6) | (b & 0x3F);
    }
    pos += extra;
    constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (c < kMinimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return std::nullopt;
    }
    return c;
}

// The byte of a character, or -1 when the code page has none.
int byteOf(char32_t c) {
    if (c < 0x80) {
        return static_cast<int>(c);
    }
    if (c >= 0x0410 && c <= 0x044F) {
        return static_cast<int>(c - 0x0410 + 0xC0);
    }
    for (std::size_t i = 0; i < 64; ++i) {
        if (kUpperHalf[i] == c) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

// The bytes of U+0400..U+047F (-1 where the code page has none).
const std::array<int, 128> kCyrillic = [] {
    std::array<int, 128> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = byteOf(static_cast<char32_t>(0x0400 + i));
    }
    return table;
}();

// Appends the bytes of the text to out, which it sizes; a character without a byte
// goes to onUnmapped, which writes its replacement (and says true) or refuses the text
// (false). No character takes more than its UTF-8 length, so the output never
// outgrows the input.
template <typename OnUnmapped>
bool encodeInto(std::string_view utf8, std::string& out, OnUnmapped onUnmapped) {
    const std::size_t start = out.size();
    out.resize(start + utf8.size());
    char* o = out.data() + start;
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t n = utf8.size();
    std::size_t pos = 0;
    while (pos < n) {
        const unsigned char b = s[pos];
        if (b < 0x80) {
            // Paths are mostly ASCII: copy such a run whole, found eight bytes at a time.
            std::size_t end = pos + 1;
            for (std::uint64_t word; end + 8 <= n; end += 8) {
                std::memcpy(&word, s + end, 8);
                if ((word & 0x8080808080808080u) != 0) {
                    break;
                }
            }
            while (end < n && s[end] < 0x80) {
                ++end;
            }
            o = std::copy(s + pos, s + end, o);
            pos = end;
            continue;
        }
        // U+0400..U+047F, the Cyrillic of Russian text, by table from its two bytes.
        if ((b == 0xD0 || b == 0xD1) && pos + 1 < n && (s[pos + 1] & 0xC0) == 0x80) {
            const int mapped = kCyrillic[((b & 1u) << 6) | (s[pos + 1] & 0x3Fu)];
            if (mapped >= 0) {
                *o++ = static_cast<char>(mapped);
                pos += 2;
                continue;
            }
        }
        const auto c = nextChar(utf8, pos);
        const int mapped = c ? byteOf(*c) : -1;
        if (mapped >= 0) {
            *o++ = static_cast<char>(mapped);
        } else if (!onUnmapped(o)) {
            return false;
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return true;
}

}  // namespace

std::string decodeCp1251(std::string_view bytes) {
    // The UTF-8 form of every upper-half byte, made once.
    static const auto kUtf8 = [] {
        std::array<std::string, 128> table;
        for (std::size_t i = 0; i < table.size(); ++i) {
            appendUtf8(table[i], kUpperHalf[i]);
        }
        return table;
    }();
    std::size_t size = 0;
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        size += b < 0x80 ? 1 : kUtf8[b - 0x80].size();
    }
    std::string out(size, '\0');
    char* o = out.data();
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            *o++ = ch;
        } else {
            const std::string& utf8 = kUtf8[b - 0x80];
            o = std::copy(utf8.begin(), utf8.end(), o);
        }
    }
    return out;
}

std::optional<std::string> encodeCp1251(std::string_view utf8) {
    std::string out;
    if (!encodeInto(utf8, out, [](char*&) { return false; })) {
        return std::nullopt;
    }
    return out;
}

bool appendCp1251(std::string_view utf8, std::string& bytes) {
    const std::size_t before = bytes.size();
    if (!encodeInto(utf8, bytes, [](char*&) { return false; })) {
        bytes.resize(before);
        return false;
    }
    return true;
}

std::string encodeCp1251Lossy(std::string_view utf8) {
    std::string out;
    appendCp1251Lossy(utf8, out);
    return out;
}

void appendCp1251Lossy(std::string_view utf8, std::string& bytes) {
    encodeInto(utf8, bytes, [](char*& o) {
        *o++ = '?';
        return true;
    });
}

bool fitsCp1251(std::string_view utf8) {
    return encodeCp1251(utf8).has_value();
}

std::string foldCase(std::string_view utf8) {
    // Every letter of the code page keeps its UTF-8 length when folded, so the text is
    // folded in place, two bytes at a time for Cyrillic.
    std::string out(utf8);
    auto* s = reinterpret_cast<unsigned char*>(out.data());
    const std::size_t n = out.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char b = s[i];
        if (b >= 'A' && b <= 'Z') {
            s[i] = static_cast<unsigned char>(b + 0x20);
        } else if ((b == 0xD0 || b == 0xD2) && i + 1 < n) {
            unsigned char& next = s[i + 1];
            if (b == 0xD0 && next >= 0x90 && next <= 0x9F) {  // А..П -> а..п
                next = static_cast<unsigned char>(next + 0x20);
            } else if (b == 0xD0 && next >= 0xA0 && next <= 0xAF) {  // Р..Я -> р..я
                s[i] = 0xD1;
                next = static_cast<unsigned char>(next - 0x20);
            } else if (b == 0xD0 && next >= 0x80 && next <= 0x8F) {  // Ѐ..Џ -> ѐ..џ
                s[i] = 0xD1;
                next = static_cast<unsigned char>(next + 0x10);
            } else if (b == 0xD2 && next == 0x90) {  // Ґ -> ґ
                next = 0x91;
            }
            ++i;
        }
    }
    return out;
}

}  // namespace verdaline
