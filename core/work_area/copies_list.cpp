#include "copies_list.h"

#include <algorithm>
#include <unordered_map>

#include "cp1251.h"
#include "errors.h"
#include "flash_paths.h"
#include "state_fields.h"

namespace verdaline {
namespace {

// Between a copy's folder and its name in the copies list, on every system: neither a
// computer's name nor a copy's name can hold it, and the Windows program reads the
// same bytes.
constexpr char kStoredSeparator = '\\';
// A copies-list line: the copy, four fields of what both sides held after the last
// run, the computer path. The computer path comes last, so that it may hold any
// character but a line break.
constexpr std::size_t kFieldsBeforePath = 5;

// Room that a copy's name leaves for what its kept versions add to it (a date, a mark).
constexpr std::size_t kLongestCopyName = 255 - 64;

constexpr std::string_view kNotOnStick = ":*?\"<>|\\/";

bool carried(std::string_view name) {
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || kNotOnStick.find(c) != std::string_view::npos) {
            return false;
        }
    }
    return !name.empty();
}

std::string folded(const std::string& path) {
    return foldCase(path);
}

// The copy as the copies list writes it, or nothing for one outside the copies folders.
std::optional<std::string> storedPathOf(const WorkArea& area, const std::string& flashPath) {
    const auto folder = copiesFolderOf(area, flashPath);
    if (!folder) {
        return std::nullopt;
    }
    return folder->substr(area.programFolder().size()) + kStoredSeparator + fileNameOf(flashPath);
}

// The copy a copies-list line names, or nothing for a line this program did not write.
std::optional<std::string> flashPathOf(const WorkArea& area, std::string_view stored) {
    const auto at = stored.find(kStoredSeparator);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view folder = stored.substr(0, at);
    const std::string_view name = stored.substr(at + 1);
    const std::string_view prefix = kCopiesFolderPrefix;
    if (!folder.starts_with(prefix) ||
        (folder.size() > prefix.size() && !carried(folder.substr(prefix.size()))) || !carried(name) ||
        name == "." || name == "..") {
        return std::nullopt;
    }
    // Made to its size: a long list holds many of them for as long as it is shown.
    std::string path;
    path.reserve(area.programFolder().size() + folder.size() + 1 + name.size());
    path.append(area.programFolder()).append(folder).append(1, kSeparator).append(name);
    return path;
}

std::optional<std::string> encodeLine(const WorkArea& area, const std::string& file, const std::string& flash,
                                      const std::optional<EntryState>& state) {
    const auto stored = storedPathOf(area, flash);
    if (!stored) {
        return std::nullopt;
    }
    return *stored + '\t' + stateFieldsOf(state) + '\t' + file;
}

// One line of a copies list, parsed: its computer path, copy and state.
struct Remembered {
    std::string_view path;
    std::string flash;
    std::optional<EntryState> state;
};

// Nothing for a line this program did not write.
std::optional<Remembered> parsed(const WorkArea& area, std::string_view line) {
    std::size_t tabs[kFieldsBeforePath];
    std::size_t found = 0;
    for (std::size_t at = line.find('\t'); at != std::string_view::npos && found < kFieldsBeforePath;
         at = line.find('\t', at + 1)) {
        tabs[found++] = at;
    }
    if (found < kFieldsBeforePath) {
        return std::nullopt;
    }
    auto flash = flashPathOf(area, line.substr(0, tabs[0]));
    if (!flash) {
        return std::nullopt;
    }
    return Remembered{line.substr(tabs[4] + 1), std::move(*flash),
                      stateFromFields(line.substr(tabs[0] + 1, tabs[4] - tabs[0] - 1))};
}

std::uint64_t step(std::uint64_t hash, std::string_view text) {
    for (const unsigned char c : text) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    return (hash ^ '\n') * 1099511628211ull;
}
constexpr std::uint64_t kEmptyDigest = 14695981039346656037ull;

std::uint64_t keyOf(std::string_view text) {
    return std::hash<std::string_view>{}(text);
}

// The names of every computer's copies list in the lists folder.
std::vector<std::string> copiesListNames(Platform& platform, const WorkArea& area) {
    const std::string prefix = fileNameOf(area.copiesListFile({}));  // "Список копий__.txt"
    const std::string head = prefix.substr(0, prefix.size() - std::string("_.txt").size());
    std::vector<std::string> names;
    for (auto& name : platform.filesIn(area.listsFolder())) {
        if (name.starts_with(head) && name.ends_with("_.txt") && name.size() >= prefix.size()) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

// The copies the other computers' copies lists remember, folded, added to used; false
// when a list could not be read.
bool addCopiesOfOtherComputers(Platform& platform, const WorkArea& area, const std::string& computer,
                               std::unordered_set<std::string>& used) {
    const std::string own = fileNameOf(area.copiesListFile(computer));
    bool complete = true;
    for (const auto& name : copiesListNames(platform, area)) {
        if (name == own) {
            continue;
        }
        try {
            readListFile(platform, area.listsFolder() + kSeparator + name, [&](std::string&& line) {
                if (const auto remembered = parsed(area, line)) {
                    used.insert(folded(remembered->flash));
                }
            });
        } catch (const Failure&) {
            // A list that cannot be read now: its computer reads it again at its next start.
            complete = false;
        }
    }
    return complete;
}

// The name with the suffix before its extension, cut short where it would not fit:
// the end of the name before the extension goes, at a whole character.
std::string fitted(const std::string& name, const std::string& suffix) {
    std::string whole = nameWithSuffix(name, suffix);
    if (whole.size() <= kLongestCopyName) {
        return whole;
    }
    const auto dot = name.rfind('.');
    const std::string extension =
        dot != std::string::npos && dot > 0 && name.size() - dot <= 16 ? name.substr(dot) : std::string();
    std::string stem = name.substr(0, name.size() - extension.size());
    std::size_t keep = kLongestCopyName - extension.size() - suffix.size();
    while (keep > 0 && (static_cast<unsigned char>(stem[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    stem.resize(keep);
    stem = stickSafeName(stem);
    return stem + suffix + extension;
}

}  // namespace

void repointCopies(Platform& platform, const WorkArea& area, const std::string& from, const std::string& to) {
    const std::string folder = folded(kCopiesFolderPrefix + from);
    std::vector<std::pair<std::string, Lines>> changed;
    for (const auto& name : copiesListNames(platform, area)) {
        const std::string path = area.listsFolder() + kSeparator + name;
        Lines lines = readListFile(platform, path).value_or(Lines{});
        bool changes = false;
        for (auto& line : lines) {
            const auto at = line.find(kStoredSeparator);
            if (at != std::string::npos && line.find('\t') > at && folded(line.substr(0, at)) == folder) {
                line.replace(0, at, kCopiesFolderPrefix + to);
                changes = true;
            }
        }
        if (changes) {
            changed.emplace_back(path, std::move(lines));
        }
    }
    for (const auto& [path, lines] : changed) {
        writeListFile(platform, path, lines);
    }
}

Lines entriesOnCopy(Platform& platform, const WorkArea& area, const std::string& flashPath) {
    const std::string wanted = folded(flashPath);
    Lines paths;
    for (const auto& name : copiesListNames(platform, area)) {
        try {
            readListFile(platform, area.listsFolder() + kSeparator + name, [&](std::string&& line) {
                const auto remembered = parsed(area, line);
                if (remembered && folded(remembered->flash) == wanted) {
                    paths.emplace_back(remembered->path);
                }
            });
        } catch (const Failure&) {
            // A list that cannot be read now shares nothing with it.
        }
    }
    return paths;
}

std::unordered_set<std::string> copiesOfOtherComputers(Platform& platform, const WorkArea& area,
                                                       const std::string& computer) {
    std::unordered_set<std::string> copies;
    addCopiesOfOtherComputers(platform, area, computer, copies);
    return copies;
}

bool copyInUse(Platform& platform, const WorkArea& area, const std::string& computer,
               const Lines& thisComputer, const std::string& flashPath) {
    const std::string wanted = folded(flashPath);
    for (const auto& path : thisComputer) {
        if (folded(path) == wanted) {
            return true;
        }
    }
    std::unordered_set<std::string> others;
    addCopiesOfOtherComputers(platform, area, computer, others);
    return others.contains(wanted);
}

std::vector<std::string> unusedCopies(Platform& platform, const WorkArea& area, const std::string& computer,
                                      const Lines& thisComputer) {
    const std::string folder = area.copiesFolder(computer);
    std::vector<std::string> names = platform.filesIn(folder);
    std::unordered_set<std::string> used;
    if (names.empty() || !addCopiesOfOtherComputers(platform, area, computer, used)) {
        return {};
    }
    for (const auto& path : thisComputer) {
        used.insert(folded(path));
    }
    std::vector<std::string> unused;
    for (const auto& name : names) {
        std::string path = folder + kSeparator + name;
        if (!used.contains(folded(path))) {
            unused.push_back(std::move(path));
        }
    }
    return unused;
}

std::optional<std::string> copiesFolderOf(const WorkArea& area, const std::string& path) {
    const std::string prefix = area.programFolder() + kCopiesFolderPrefix;
    if (path.size() <= prefix.size() || folded(path.substr(0, prefix.size())) != folded(prefix)) {
        return std::nullopt;
    }
    const std::string rest = path.substr(prefix.size());
    const auto at = rest.find_first_of(kSeparators);
    if (at == std::string::npos || rest.find_first_of(kSeparators, at + 1) != std::string::npos ||
        at + 1 == rest.size() || folded(rest.substr(at + 1)) == folded(kOldFilesFolderName)) {
        return std::nullopt;
    }
    return prefix + rest.substr(0, at);
}

StickLists readStoredLists(Platform& platform, const WorkArea& area, const std::string& computer) {
    StickLists stick;
    StoredLists& lists = stick.lists;
    lists.files = readListFile(platform, area.fileListFile(computer)).value_or(Lines{});
    const std::size_t count = lists.files.size();
    lists.flash.assign(count, {});
    lists.states.assign(count, {});
    // The copies list is read line by line and never held whole: a line that stands on
    // its entry's line, as this program writes them, is taken at once; the others are
    // matched by their computer path afterwards.
    struct Stray {
        std::string path;
        std::string flash;
        std::optional<EntryState> state;
    };
    std::vector<Stray> strays;
    std::size_t at = 0;
    stick.copiesListDigest = kEmptyDigest;
    try {
        readListFile(platform, area.copiesListFile(computer), [&](std::string&& line) {
            stick.copiesListDigest = step(stick.copiesListDigest, line);
            if (auto remembered = parsed(area, line)) {
                if (at < count && remembered->path == lists.files[at]) {
                    lists.flash[at] = std::move(remembered->flash);
                    lists.states[at] = remembered->state;
                } else {
                    strays.push_back(
                        {std::string(remembered->path), std::move(remembered->flash), remembered->state});
                }
            }
            ++at;
        });
    } catch (const Failure&) {
        // Counts as missing: the entries get their copies by the load rule again.
    }
    std::unordered_map<std::string_view, std::vector<std::size_t>> strayByPath;
    for (std::size_t k = strays.size(); k-- > 0;) {
        strayByPath[strays[k].path].push_back(k);  // the first line of a path last: taken first
    }
    // No two entries of a computer share a copy (compared by a digest of the folded path).
    std::unordered_map<std::uint64_t, std::size_t> taken;
    taken.reserve(count);
    std::vector<std::size_t> lacking;
    for (std::size_t i = 0; i < count; ++i) {
        if (lists.flash[i].empty()) {
            const auto found = strayByPath.find(lists.files[i]);
            if (found != strayByPath.end() && !found->second.empty()) {
                Stray& remembered = strays[found->second.back()];
                found->second.pop_back();
                lists.flash[i] = std::move(remembered.flash);
                lists.states[i] = remembered.state;
            }
        }
        if (lists.flash[i].empty()) {
            lacking.push_back(i);
            continue;
        }
        if (const auto [owner, free] = taken.emplace(keyOf(folded(lists.flash[i])), i); !free) {
            stick.onOwnersCopy.emplace_back(i, owner->second);
            lists.flash[i].clear();
            lists.states[i].reset();
            lacking.push_back(i);
        }
    }
    if (lacking.empty()) {
        return stick;
    }
    // The load rule first, where its copy is no other entry's; then new copies for the rest.
    Lines byLoadRule = flashPathsFor(lists.files, area.copiesFolder(computer));
    std::vector<std::size_t> rest;
    for (const std::size_t i : lacking) {
        if (taken.emplace(keyOf(folded(byLoadRule[i])), i).second) {
            lists.flash[i] = std::move(byLoadRule[i]);
        } else {
            rest.push_back(i);
        }
    }
    if (!rest.empty()) {
        NewCopies copies(platform, area, computer, lists.flash);
        for (const std::size_t i : rest) {
            lists.flash[i] = copies.give(lists.files[i]);
        }
    }
    stick.notRemembered = lacking.size();
    return stick;
}

void saveStoredLists(Platform& platform, const WorkArea& area, const std::string& computer,
                     const StickLists& onStick, const StoredLists& lists, bool rewriteFileList) {
    // The lines to write: every entry of lists whose copy can be written down (one outside
    // the copies folders is not remembered: the next reading gives the entry one of its
    // own), then, for the first writing, the entries that leave.
    struct Line {
        const StoredLists* from;
        std::size_t index;
    };
    std::vector<Line> final;
    final.reserve(lists.files.size());
    for (std::size_t i = 0; i < lists.files.size(); ++i) {
        if (copiesFolderOf(area, lists.flash[i])) {
            final.push_back({&lists, i});
        }
    }
    std::vector<Line> joined = final;
    const StoredLists& before = onStick.lists;
    if (before.files != lists.files || before.flash != lists.flash) {
        std::unordered_multiset<std::uint64_t> kept;
        for (std::size_t i = 0; i < lists.files.size(); ++i) {
            kept.insert(keyOf(lists.files[i] + '\t' + lists.flash[i]));
        }
        for (std::size_t i = 0; i < before.files.size(); ++i) {
            if (const auto it = kept.find(keyOf(before.files[i] + '\t' + before.flash[i]));
                it != kept.end()) {
                kept.erase(it);
            } else if (copiesFolderOf(area, before.flash[i])) {
                joined.push_back({&before, i});  // an entry that leaves
            }
        }
    }
    const auto lineOf = [&area](const Line& line) {
        const StoredLists& from = *line.from;
        return *encodeLine(area, from.files[line.index], from.flash[line.index], from.states[line.index]);
    };
    const auto write = [&](const std::vector<Line>& lines) {
        writeListFile(platform, area.copiesListFile(computer), lines.size(),
                      [&](std::size_t i) { return lineOf(lines[i]); });
    };
    std::uint64_t digest = kEmptyDigest;
    for (const Line& line : joined) {
        digest = step(digest, lineOf(line));
    }
    ensureFolder(platform, area.listsFolder());
    if (digest != onStick.copiesListDigest) {
        write(joined);
    }
    if (rewriteFileList || before.files != lists.files) {
        writeListFile(platform, area.fileListFile(computer), lists.files);
    }
    if (joined.size() != final.size()) {
        write(final);
    }
}

void rememberStates(Platform& platform, const WorkArea& area, const std::string& computer, const Lines& files,
                    const Lines& flash, const std::vector<std::pair<std::size_t, EntryState>>& states) {
    const std::string path = area.copiesListFile(computer);
    if (states.empty() || !platform.isFile(path)) {
        return;
    }
    // Each state goes to the line of its entry, found by its computer path and copy,
    // wherever that line stands: a list change cut short may have left the copies list
    // in another order than the file list.
    std::unordered_map<std::string, const EntryState*> renewals;
    for (const auto& [index, state] : states) {
        if (index < files.size() && index < flash.size()) {
            renewals[files[index] + '\n' + flash[index]] = &state;
        }
    }
    std::string bytes;
    if (const int error = platform.readFile(path, bytes)) {
        throw Failure(cannotOpenFileText(path, error), error);
    }
    std::string key;
    const auto renewed = [&](std::string_view raw) -> std::optional<std::string> {
        const std::string decoded = decodeCp1251(raw);  // the parsed line's path points into it
        const auto remembered = parsed(area, decoded);
        if (!remembered) {
            return std::nullopt;
        }
        key.assign(remembered->path).append(1, '\n').append(remembered->flash);
        const auto found = renewals.find(key);
        if (found == renewals.end() || remembered->state == *found->second) {
            return std::nullopt;
        }
        return encodeLine(area, std::string(remembered->path), remembered->flash, *found->second);
    };
    const auto nextLine = [](std::string_view& rest) {
        const auto end = std::min(rest.find_first_of("\r\n"), rest.size());
        const std::string_view raw = rest.substr(0, end);
        rest.remove_prefix(std::min(rest.size(), end + (rest.substr(end, 2) == "\r\n" ? 2 : 1)));
        return raw;
    };
    bool changed = false;
    for (std::string_view rest = bytes; !rest.empty() && !changed;) {
        changed = renewed(nextLine(rest)).has_value();
    }
    if (!changed) {
        return;
    }
    std::string_view rest = bytes;
    std::string piece;
    const int error = platform.writeFileInPieces(path, [&]() -> std::string_view {
        piece.clear();
        while (!rest.empty() && piece.size() < (std::size_t(1) << 16)) {
            const std::string_view raw = nextLine(rest);
            const auto line = renewed(raw);
            if (!line || !appendCp1251(*line, piece)) {
                piece += raw;
            }
            piece += "\r\n";
        }
        return piece;
    });
    if (error != 0) {
        throw Failure(cannotCreateFileText(path, error), error);
    }
}

NewCopies::NewCopies(Platform& platform, const WorkArea& area, const std::string& computer,
                     const Lines& thisComputer)
    : m_platform(platform), m_copies(area.copiesFolder(computer)), m_thisComputer(thisComputer) {
    for (const auto& path : thisComputer) {
        m_used.insert(folded(path));
    }
    addCopiesOfOtherComputers(platform, area, computer, m_used);
    const std::string prefix = folded(m_copies + kSeparator);
    for (const auto& path : m_used) {
        if (path.starts_with(prefix) && path.find(kSeparator, prefix.size()) == std::string::npos) {
            m_folded.insert(path.substr(prefix.size()));
        }
    }
    for (const auto& path : thisComputer) {
        if (copiesFolderOf(area, path) == m_copies) {
            m_names.insert(fileNameOf(path));
        }
    }
    for (auto& name : platform.filesIn(m_copies)) {
        m_folded.insert(folded(name));
        m_names.insert(std::move(name));
    }
    m_folded.insert(folded(kOldFilesFolderName));
}

bool NewCopies::taken(const std::string& name, bool exactly) const {
    if (exactly) {
        return m_names.contains(name);
    }
    const std::string path = m_copies + kSeparator + name;
    return m_folded.contains(folded(name)) || m_platform.isFile(path) || m_platform.isFolder(path);
}

std::string NewCopies::give(const std::string& computerPath) {
    const std::string fileName = fileNameOf(computerPath);
    std::string base = stickSafeName(fileName);
    if (taken(fitted(base, {}), true)) {
        const std::string clash = stickSafeName(holdingFolderOf(computerPath) + "_" + fileName);
        if (carried(clash)) {
            base = clash;
        }
    }
    std::string name = fitted(base, {});
    for (unsigned n = 2; taken(name, false); ++n) {
        name = fitted(base, " (" + std::to_string(n) + ")");
    }
    m_names.insert(name);
    m_folded.insert(folded(name));
    std::string path = m_copies + kSeparator + name;
    m_used.insert(folded(path));
    m_thisComputer.push_back(path);
    return path;
}

std::optional<std::size_t> NewCopies::entryOf(const std::string& flashPath) const {
    const std::string wanted = folded(flashPath);
    for (std::size_t i = 0; i < m_thisComputer.size(); ++i) {
        if (folded(m_thisComputer[i]) == wanted) {
            return i + 1;
        }
    }
    return std::nullopt;
}

std::uint64_t digestOf(const Lines& lines) {
    if (lines.empty()) {
        return 0;
    }
    std::uint64_t hash = kEmptyDigest;
    for (const auto& line : lines) {
        hash = step(hash, line);
    }
    return hash;
}

}  // namespace verdaline
