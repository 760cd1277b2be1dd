#include "kept_versions.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "clock.h"
#include "flash_paths.h"
#include "work_area.h"

namespace verdaline {
namespace {

constexpr std::size_t kLongestName = 255;
constexpr std::size_t kDateLength = 19;  // "2026-12-07 10-30-00"

std::string dateText(std::time_t seconds) {
    return localTimeText(seconds, "%Y-%m-%d %H-%M-%S");
}

// The name with the tag before its extension, the end of the name before the extension
// cut (at a whole character) where the whole would be too long.
std::string tagged(const std::string& name, const std::string& tag) {
    std::string whole = nameWithSuffix(name, tag);
    if (whole.size() <= kLongestName) {
        return whole;
    }
    const auto dot = name.rfind('.');
    const std::string extension = dot != std::string::npos && dot > 0 ? name.substr(dot) : std::string();
    std::size_t keep = kLongestName - tag.size() - std::min(extension.size(), kLongestName - tag.size());
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    return name.substr(0, keep) + tag + extension.substr(0, kLongestName - keep - tag.size());
}

// " (конфликт 2026-12-07 10-30-00 2)": the date of a kept version, what it lost if it did,
// and its counter when it is not the first of that second.
std::string dateTag(std::time_t seconds, bool conflict, unsigned counter) {
    std::string tag = " (";
    if (conflict) {
        tag.append("конфликт ");
    }
    tag.append(dateText(seconds));
    if (counter > 1) {
        tag.append(1, ' ').append(std::to_string(counter));
    }
    return tag.append(1, ')');
}

// Where a dated version of the file called name (an ordinary one, or a conflict's) stands
// among the others: its date and its counter (1 for none), or nothing for any other name.
std::optional<std::pair<std::string, unsigned>> datedVersionOf(const std::string& kept,
                                                               const std::string& name,
                                                               bool conflict = false) {
    for (std::size_t digits = 0; digits <= 4; ++digits) {
        // Built step by step: MinGW's GCC 12 takes a chain of + for overlapping copies.
        std::string tag = " (";
        if (conflict) {
            tag.append("конфликт ");
        }
        tag.append(kDateLength, '#');
        if (digits > 0) {
            tag.append(1, ' ').append(digits, '@');
        }
        const std::string pattern = tagged(name, tag.append(1, ')'));
        if (kept.size() != pattern.size()) {
            continue;
        }
        std::string date;
        unsigned number = digits == 0 ? 1 : 0;
        bool matches = true;
        for (std::size_t i = 0; i < kept.size() && matches; ++i) {
            const char c = kept[i];
            const bool digit = c >= '0' && c <= '9';
            if (pattern[i] == '#') {
                matches = digit || c == '-' || c == ' ';
                date += c;
            } else if (pattern[i] == '@') {
                matches = digit && !(number == 0 && c == '0');
                number = number * 10 + static_cast<unsigned>(c - '0');
            } else {
                matches = c == pattern[i];
            }
        }
        if (matches) {
            return std::make_pair(date, number);
        }
    }
    return std::nullopt;
}

// A name for a kept version that no other one has: the dated name, with a counter after
// the date when another version of that second is kept already (a version put back, two
// of the hour that repeats in autumn, two replaced within one second).
std::string freeName(const std::set<std::string>& names, const std::string& name, std::time_t seconds,
                     bool conflict) {
    std::string kept = keptName(name, seconds, conflict);
    for (unsigned n = 2; names.contains(kept); ++n) {
        kept = tagged(name, dateTag(seconds, conflict, n));
    }
    return kept;
}

}  // namespace

std::optional<VersionKind> kindByName(const std::string& kept, const std::string& name) {
    if (kept == name || datedVersionOf(kept, name)) {
        return VersionKind::Replaced;
    }
    if (datedVersionOf(kept, name, true)) {
        return VersionKind::Conflict;
    }
    for (unsigned n = 1; n < 100; ++n) {
        if (kept == asideName(name, n)) {
            return VersionKind::Removed;
        }
    }
    return std::nullopt;
}

std::string keptName(const std::string& name, std::time_t seconds, bool conflict) {
    return tagged(name, dateTag(seconds, conflict, 1));
}

const std::set<std::string>& KeptVersions::namesIn(const std::string& oldFiles) {
    auto found = m_names.find(oldFiles);
    if (found == m_names.end()) {
        const auto names = m_platform.filesIn(oldFiles);
        found = m_names.emplace(oldFiles, std::set<std::string>(names.begin(), names.end())).first;
    }
    return found->second;
}

std::string KeptVersions::placeFor(const std::string& oldFiles, const std::string& name, std::time_t seconds,
                                   bool conflict) {
    std::string kept = freeName(namesIn(oldFiles), name, seconds, conflict);
    m_names[oldFiles].insert(kept);
    return oldFiles + kSeparator + kept;
}

void KeptVersions::keptConflict(const std::string& kept, const KeptRecord& record) {
    if (m_memory) {
        m_memory->noted(kept, record);
    }
}

void KeptVersions::replaced(const std::string& oldFiles, const std::string& name, const std::string& kept,
                            const KeptRecord& record) {
    std::set<std::string>& names = m_names[oldFiles];
    const std::string plain = oldFiles + kSeparator + name;
    if (m_memory) {
        m_memory->noted(kept, record);
    }
    const Platform::FileState before = m_platform.stateOf(plain);
    if (before.exists) {
        const std::string dated = freeName(names, name, static_cast<std::time_t>(before.seconds), false);
        if (m_platform.moveFile(plain, oldFiles + kSeparator + dated) == 0) {
            names.insert(dated);
            if (m_memory) {
                m_memory->moved(plain, oldFiles + kSeparator + dated);
            }
        }  // otherwise the version just kept stays under its date, and nothing is lost
    }
    if (m_platform.moveFile(kept, plain) == 0) {
        names.erase(fileNameOf(kept));
        names.insert(name);
        if (m_memory) {
            m_memory->moved(kept, plain);
        }
    }
    // The oldest ordinary versions beyond the limit go: by their dates, then their counters.
    std::vector<std::pair<std::pair<std::string, unsigned>, std::string>> ordinary;
    for (const auto& other : names) {
        if (auto order = datedVersionOf(other, name)) {
            ordinary.emplace_back(std::move(*order), other);
        }
    }
    std::sort(ordinary.begin(), ordinary.end());
    for (std::size_t i = 0; i + kMostOrdinary < ordinary.size() + 1; ++i) {
        if (m_platform.removeFile(oldFiles + kSeparator + ordinary[i].second) == 0) {
            if (m_memory) {
                m_memory->forgotten(oldFiles + kSeparator + ordinary[i].second);
            }
            names.erase(ordinary[i].second);
        }
    }
}
void KeptVersions::notReplaced(const std::string& kept) {
    m_platform.removeFile(kept);
    const std::string name = fileNameOf(kept);
    for (auto& [folder, names] : m_names) {
        if (kept.starts_with(folder)) {
            names.erase(name);
        }
    }
}

}  // namespace verdaline
