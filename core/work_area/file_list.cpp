#include "file_list.h"

#include <cerrno>
#include <string_view>
#include <unordered_map>

#include "cp1251.h"
#include "errors.h"
#include "flash_paths.h"
#include "texts.h"

namespace verdaline {
namespace {

// Characters that the file systems of sticks refuse in a name, besides control characters.
constexpr std::string_view kNotOnStick = ":*?\"<>|\\";

std::optional<char> characterNotOnStick(const std::string& name) {
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || kNotOnStick.find(c) != std::string_view::npos) {
            return c;
        }
    }
    return std::nullopt;
}

// Renames copies in the copies folder, writing each rename down so that all of them
// can be undone when the change they serve cannot be completed.
class CopyMoves {
public:
    CopyMoves(Platform& platform, const WorkArea& area, const std::string& computer)
        : m_platform(platform), m_area(area), m_computer(computer) {}

    void move(const std::string& from, const std::string& to) {
        if (const int error = m_platform.moveFile(from, to)) {
            throw Failure(texts::copyNotMoved(from, to, error));
        }
        m_done.emplace_back(from, to);
    }

    // A file found where a copy belongs is kept in the old-files folder under a name
    // no other file there has.
    void moveAside(const std::string& path) {
        ensureFolder(m_platform, m_area.copiesFolder(m_computer));
        ensureFolder(m_platform, m_area.oldFilesFolder(m_computer));
        const std::string name = fileNameOf(path);
        for (unsigned n = 1;; ++n) {
            const std::string target = m_area.backupPath(
                m_computer,
                nameWithSuffix(name, n == 1 ? " (прежний)" : " (прежний " + std::to_string(n) + ")"));
            if (!m_platform.isFile(target) && !m_platform.isFolder(target)) {
                move(path, target);
                return;
            }
        }
    }

    // Each copy to its new flash path. A move waits for the copy lying at its target to
    // leave first; in a ring of moves one copy steps aside under a hidden name.
    void relocate(std::vector<std::pair<std::string, std::string>> moves) {
        std::erase_if(moves, [this](const auto& m) { return !m_platform.isFile(m.first); });
        std::unordered_map<std::string, std::size_t> waiting;  // folded source -> move
        for (std::size_t i = 0; i < moves.size(); ++i) {
            waiting[foldCase(moves[i].first)] = i;
        }
        for (const auto& [from, to] : moves) {
            if (!waiting.contains(foldCase(to)) && m_platform.isFile(to)) {
                moveAside(to);
            }
        }
        enum class State { Waiting, InChain, Done };
        std::vector<State> state(moves.size(), State::Waiting);
        for (std::size_t first = 0; first < moves.size(); ++first) {
            std::vector<std::size_t> chain;
            for (std::size_t k = first; state[k] == State::Waiting;) {
                state[k] = State::InChain;
                chain.push_back(k);
                const auto blocker = waiting.find(foldCase(moves[k].second));
                if (blocker == waiting.end() || blocker->second == k) {
                    break;
                }
                const std::size_t j = blocker->second;
                if (state[j] == State::InChain) {
                    const std::string hidden = m_area.copiesFolder(m_computer) + kSeparator +
                                               ".verdaline-move-" + fileNameOf(moves[j].first);
                    move(moves[j].first, hidden);
                    waiting.erase(blocker);
                    moves[j].first = hidden;
                    waiting[foldCase(hidden)] = j;
                    break;
                }
                k = j;
            }
            for (auto k = chain.rbegin(); k != chain.rend(); ++k) {
                move(moves[*k].first, moves[*k].second);
                waiting.erase(foldCase(moves[*k].first));
                state[*k] = State::Done;
            }
        }
    }

    void undo() noexcept {
        for (auto m = m_done.rbegin(); m != m_done.rend(); ++m) {
            m_platform.moveFile(m->second, m->first);
        }
        m_done.clear();
    }

private:
    Platform& m_platform;
    const WorkArea& m_area;
    const std::string& m_computer;
    std::vector<std::pair<std::string, std::string>> m_done;  // from, to
};

}  // namespace

std::optional<std::size_t> positionOf(const Lines& fileList, const std::string& path) {
    for (std::size_t i = 0; i < fileList.size(); ++i) {
        if (fileList[i] == path) {
            return i + 1;
        }
    }
    return std::nullopt;
}

std::optional<std::string> pathProblem(const std::string& path) {
    if (path.find_first_of("\r\n") != std::string::npos) {
        return texts::pathWithLineBreak(path);
    }
    if (!fitsCp1251(path)) {
        return texts::pathOutsideCp1251(path);
    }
    if (fileNameOf(path).empty()) {
        return texts::pathIsFolder(path);
    }
    return std::nullopt;
}

FileLists listsOnStick(Platform& platform, const WorkArea& area, const std::string& computer,
                       const FileLists& held) {
    Lines files = readListFile(platform, area.fileListFile(computer)).value_or(Lines{});
    if (files == held.files) {
        return held;
    }
    Lines flash = flashPathsFor(files, area.copiesFolder(computer));
    return {std::move(files), std::move(flash)};
}

std::optional<FileLists> changedOnStick(Platform& platform, const WorkArea& area, const std::string& computer,
                                        const FileLists& held) {
    try {
        FileLists lists = listsOnStick(platform, area, computer, held);
        if (lists.files != held.files) {
            return lists;
        }
    } catch (const Failure&) {
        // Read again at the next look or the next change, which reports it.
    }
    return std::nullopt;
}

ListChange addEntries(Platform& platform, const WorkArea& area, const std::string& computer,
                      const FileLists& held, const std::vector<std::string>& paths,
                      const std::string& copiedFrom) {
    const WorkAreaLock lock(platform, area);
    ListChange change{listsOnStick(platform, area, computer, held), {}, {}, {}};
    Lines& files = change.lists.files;
    Lines& flash = change.lists.flash;
    const std::string copies = area.copiesFolder(computer);
    ensureFolder(platform, copies);
    // Many paths at once stay linear: one flash-path rule over the whole list and the
    // positions of the listed paths by name.
    FlashPathBuilder builder(copies);
    builder.reserve(files.size() + paths.size());
    std::unordered_map<std::string, std::size_t> positions;
    for (std::size_t i = 0; i < files.size(); ++i) {
        builder.add(files[i]);
        positions.try_emplace(files[i], i + 1);
    }
    const Notice warning{texts::kApplicationTitle, {}};
    bool save = paths.empty();
    CopyMoves moves(platform, area, computer);
    try {
        for (const auto& path : paths) {
            auto problem = pathProblem(path);
            if (!problem && platform.isFolder(path)) {
                problem = texts::pathIsFolder(path);
            }
            const std::string flashPath = problem ? std::string() : builder.peek(path);
            if (const auto bad = problem ? std::nullopt : characterNotOnStick(fileNameOf(flashPath))) {
                problem = texts::pathNotForStick(path, *bad);
            }
            if (problem) {
                change.notices.push_back({warning.caption, *problem});
                continue;
            }
            save = true;
            if (const auto known = positions.find(path); known != positions.end()) {
                change.notices.push_back(
                    {texts::duplicateCaption(), texts::duplicateEntry(path, known->second)});
                continue;
            }
            if (!copiedFrom.empty()) {
                if (const int error = platform.copyFile(copiedFrom, path, CopyMode::OnComputer)) {
                    change.notices.push_back({warning.caption, texts::copyFailed(copiedFrom, path, error)});
                }
            }
            if (flashPath != copiedFrom && platform.isFile(flashPath)) {
                moves.moveAside(flashPath);
            }
            builder.add(path);
            files.push_back(path);
            positions.emplace(path, files.size());
            // The new flash path goes onto its entry's line, whatever the user made of the
            // flash-side list.
            const std::size_t line = files.size() - 1;
            if (flash.size() < line) {
                flash.resize(line);
            }
            flash.insert(flash.begin() + static_cast<std::ptrdiff_t>(line), flashPath);
            change.added.push_back(line);
        }
        if (save) {
            saveFileList(platform, area, computer, files);
        }
    } catch (...) {
        moves.undo();
        throw;
    }
    return change;
}

ListChange removeEntry(Platform& platform, const WorkArea& area, const std::string& computer,
                       const FileLists& held, std::optional<std::size_t> index) {
    const WorkAreaLock lock(platform, area);
    ListChange change{listsOnStick(platform, area, computer, held), {}, {}, {}};
    Lines& files = change.lists.files;
    Lines& flash = change.lists.flash;
    // The entry chosen in held, found again in the list as it is now.
    std::optional<std::size_t> at;
    if (index && *index < held.files.size()) {
        if (*index < files.size() && files[*index] == held.files[*index]) {
            at = *index;
        } else if (const auto position = positionOf(files, held.files[*index])) {
            at = *position - 1;
        }
    }
    CopyMoves moves(platform, area, computer);
    try {
        if (at) {
            const std::string copies = area.copiesFolder(computer);
            const Lines before = flashPathsFor(files, copies);
            change.removed = files[*at];
            files.erase(files.begin() + static_cast<std::ptrdiff_t>(*at));
            if (*at < flash.size()) {
                flash.erase(flash.begin() + static_cast<std::ptrdiff_t>(*at));
            }
            const Lines after = flashPathsFor(files, copies);
            std::vector<std::pair<std::string, std::string>> relocations;
            for (std::size_t i = 0; i < after.size(); ++i) {
                const std::string& old = before[i < *at ? i : i + 1];
                if (old != after[i]) {
                    relocations.emplace_back(old, after[i]);
                    if (i < flash.size() && flash[i] == old) {
                        flash[i] = after[i];
                    }
                }
            }
            moves.relocate(std::move(relocations));
        }
        saveFileList(platform, area, computer, files);
    } catch (...) {
        moves.undo();
        throw;
    }
    return change;
}

void saveFileList(Platform& platform, const WorkArea& area, const std::string& computer,
                  const Lines& fileList) {
    ensureFolder(platform, area.listsFolder());
    writeListFile(platform, area.fileListFile(computer), fileList);
}

void saveUserList(Platform& platform, const std::string& path, const Lines& flashList) {
    writeListFile(platform, path, flashList);
}

Lines loadUserList(Platform& platform, const std::string& path) {
    auto lines = readListFile(platform, path);
    if (!lines) {
        throw Failure(cannotOpenFileText(path, platform.isFolder(path) ? EISDIR : ENOENT));
    }
    return std::move(*lines);
}

}  // namespace verdaline
