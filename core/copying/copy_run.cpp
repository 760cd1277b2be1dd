#include "copy_run.h"

#include <algorithm>
#include <cerrno>
#include <unordered_set>

#include "copies_list.h"
#include "decision.h"
#include "errors.h"
#include "kept_versions.h"
#include "report.h"
#include "texts.h"

namespace verdaline {
namespace {

using Kind = EntryOutcome::Kind;

SideState sideOf(const Platform::FileState& state) {
    return {state.time(), state.size};
}

// A version dated this long after the computer's clock is dated in the future.
constexpr std::time_t kFutureSlack = 5 * 60;

// Decides the entries one by one and starts their copies, which finish together: the
// outcome of an entry whose copy is pending is known once settle() has run.
class Run {
public:
    Run(Platform& platform, const WorkArea& area, const RunRequest& request, RunResult& result,
        std::time_t now)
        : m_platform(platform),
          m_area(area),
          m_request(request),
          m_result(result),
          m_memory(platform),
          m_kept(platform, &m_memory),
          m_now(now) {}
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    ~Run() {
        try {
            settle();
        } catch (...) {
            // The platform drops what it cannot finish; the targets stay as they were.
        }
        if (m_marked) {
            m_platform.removeFile(m_area.computerWritesMarker(m_request.computerName));
        }
    }

    // Adds the entry's outcome; true when it failed or found nothing, or when copies
    // that finished meanwhile failed.
    bool entry(std::size_t index, const std::string& computer, const std::string& flash) {
        // A later entry must see what an earlier one copied, as if each copy were done
        // at once.
        bool failed = false;
        State computerState = stateOf(computer);
        State flashState = stateOf(flash);
        if (computerState.pending || flashState.pending) {
            failed = settle();
            computerState = stateOf(computer);
            flashState = stateOf(flash);
        }
        const std::optional<EntryState>& known = m_request.stateAt(index);
        const Entry e{index, computer, flash, fileNameOf(flash), known};
        m_result.outcomes.push_back({});
        EntryOutcome& outcome = m_result.outcomes.back();
        outcome.number = index + 1;
        outcome.computerInFuture = future(computerState);
        outcome.flashInFuture = future(flashState);
        SideDigests digests(m_platform, computer, flash);
        const Decision d = decide(m_request.kind, computerState, flashState, known, digests);
        const Keep keep = d.conflict ? Keep::Conflict : Keep::BySwitch;
        switch (d.copy) {
            case Decision::Copy::None:
                outcome.kind = d.outcome;
                if (d.remember) {
                    remember(e, computerState, flashState, d.digest);
                }
                break;
            case Decision::Copy::ToFlash:
                copy(e, toFlash(e), d.outcome, flashState, keep);
                break;
            case Decision::Copy::ToComputer:
                copy(e, toComputer(e), d.outcome, computerState, keep);
                break;
        }
        const Kind kind = m_result.outcomes.back().kind;
        return failed || kind == Kind::Failed || kind == Kind::NotFound;
    }

    // Finishes the pending copies and gives their entries their outcomes; true when one failed.
    bool settle() {
        if (m_started.empty()) {
            return false;
        }
        const std::vector<Copied> copies = m_platform.finishCopies();
        bool failed = false;
        for (std::size_t k = 0; k < copies.size() && k < m_started.size(); ++k) {
            const Started& started = m_started[k];
            EntryOutcome& o = m_result.outcomes[started.outcome];
            // A kept version's error comes first: the replacement tied to it is not made.
            if (copies[k].error != 0 && o.kind != Kind::Failed) {
                o.kind = Kind::Failed;
                o.error = copies[k].error;
                o.failedOnStick = started.onStick;
                failed = true;
            }
            if (started.replacement) {
                m_replacements[*started.replacement].copied = copies[k];
            }
        }
        m_started.clear();
        for (const Replacement& r : m_replacements) {
            const bool done = m_result.outcomes[r.outcome].kind != Kind::Failed;
            if (done) {
                m_result.states.emplace_back(m_result.outcomes[r.outcome].number - 1, r.after());
            }
            if (!r.kept) {
                continue;
            }
            const KeptRecord record{r.conflict  ? VersionKind::Conflict
                                    : r.toFlash ? VersionKind::Replaced
                                                : VersionKind::FromComputer,
                                    r.name, r.computer};
            if (!done) {
                m_kept.notReplaced(*r.kept);
            } else if (r.conflict) {
                m_kept.keptConflict(*r.kept, record);
                m_result.kept.emplace_back(r.outcome, *r.kept);
            } else {
                m_kept.replaced(r.oldFiles, r.name, *r.kept, record);
            }
        }
        m_replacements.clear();
        return failed;
    }

    // Writes down whose each version kept by the run is.
    void rememberKept() { m_memory.save(); }

private:
    using State = Platform::FileState;
    struct Entry {
        std::size_t index;
        const std::string& computer;
        const std::string& flash;
        std::string name;  // the copy's name, which its kept versions take: two listed files keep apart
        std::optional<EntryState> state;
    };
    struct Copy {
        const std::string& source;
        const std::string& target;
        CopyMode mode;
    };
    // How the version a copy replaces is kept: by the backup switch, or always (a conflict).
    enum class Keep { BySwitch, Conflict };
    // A replacement started, with what settle() does once it is known how it went.
    struct Replacement {
        std::size_t outcome;
        bool toFlash;
        std::optional<std::string> kept;
        std::string oldFiles;
        std::string name;
        bool conflict;
        std::string computer;  // the entry's computer path
        Copied copied{};       // once it is made
        // Both sides once it is made: the source as it was read, the target with the date
        // its file system holds, and the digest of the bytes that both hold.
        EntryState after() const {
            const SideState source{copied.sourceTime, copied.size};
            const SideState target{copied.time, copied.size};
            return toFlash ? EntryState{source, target, copied.digest, true}
                           : EntryState{target, source, copied.digest, true};
        }
    };
    // A copy started: its entry's outcome, whether it writes on the stick, and the
    // replacement it makes (none for a kept version).
    struct Started {
        std::size_t outcome;
        bool onStick;
        std::optional<std::size_t> replacement;
    };

    static Copy toFlash(const Entry& e) { return {e.computer, e.flash, CopyMode::FromSource}; }
    static Copy toComputer(const Entry& e) { return {e.flash, e.computer, CopyMode::OnComputer}; }

    State stateOf(const std::string& path) const {
        return usablePath(path) ? m_platform.stateOf(path) : State{};
    }
    bool future(const State& state) const { return state.exists && state.seconds > m_now + kFutureSlack; }

    void remember(const Entry& e, const State& computer, const State& flash,
                  const std::optional<Digest>& digest) {
        const EntryState now{sideOf(computer), sideOf(flash), digest, true};
        if (e.state != now) {
            m_result.states.emplace_back(e.index, now);
        }
    }

    // The old-files folder beside the entry's copy, so that a copy shared with another
    // computer keeps its versions in one place; a flash path typed by hand outside the
    // copies folders keeps them in the computer's own.
    std::string oldFilesOf(const Entry& e) {
        const std::string oldFiles = oldFilesBeside(m_area, m_request.computerName, e.flash);
        if (oldFiles != m_area.oldFilesFolder(m_request.computerName) &&
            m_madeFolders.insert(oldFiles).second && !m_platform.isFolder(oldFiles)) {
            m_platform.makeFolder(oldFiles);  // a failure shows as the kept version's own
        }
        return oldFiles;
    }

    int start(const std::string& source, const std::string& target, CopyMode mode, bool afterPrevious,
              std::optional<std::size_t> replacement) {
        if (!m_swept) {
            m_swept = true;
            m_platform.removeLeftovers(m_area.copiesFolder(m_request.computerName));
            m_platform.removeLeftovers(m_area.oldFilesFolder(m_request.computerName));
        }
        if (mode == CopyMode::OnComputer && !m_marked) {
            // Noted before the first temporary file on the computer, so that whatever a
            // killed run leaves there goes at the next run.
            m_marked = true;
            m_platform.writeFile(m_area.computerWritesMarker(m_request.computerName), {});
        }
        const int error = m_platform.startCopy(source, target, mode, afterPrevious);
        if (error == 0) {
            m_started.push_back({m_result.outcomes.size() - 1, mode != CopyMode::OnComputer, replacement});
        } else {
            m_result.outcomes.back().failedOnStick = mode != CopyMode::OnComputer;
        }
        return error;
    }

    // Replaces or creates the target. A target that is there (even one the freshness
    // rule counts as missing, dated outside 1980..2107) is kept first when the switch
    // or a conflict says so, and stays as it is when its version cannot be kept.
    void copy(const Entry& e, const Copy& c, Kind done, const State& target, Keep keep) {
        EntryOutcome& outcome = m_result.outcomes.back();
        if (!usablePath(c.source) || !usablePath(c.target)) {
            outcome.kind = Kind::Failed;
            outcome.error =
                isAbsolutePath(c.source) && isAbsolutePath(c.target) ? notRegularFileError() : ENOENT;
            outcome.failedOnStick = c.mode != CopyMode::OnComputer;
            return;
        }
        const bool foreign = e.index < m_request.foreign.size() && m_request.foreign[e.index];
        if (const int refused =
                foreign ? accessDenied()
                        : refusedCopy(m_platform, m_area, e.computer, c.mode == CopyMode::OnComputer)) {
            outcome.kind = Kind::Failed;
            outcome.error = refused;
            outcome.failedOnStick = c.mode != CopyMode::OnComputer;
            return;
        }
        const bool conflict = keep == Keep::Conflict;
        const bool toStick = c.mode != CopyMode::OnComputer;
        Replacement r{m_result.outcomes.size() - 1, toStick, {}, {}, e.name, conflict, e.computer};
        if (target.exists && (conflict || m_request.backups)) {
            r.oldFiles = oldFilesOf(e);
            r.kept = m_kept.placeFor(r.oldFiles, e.name, static_cast<std::time_t>(target.seconds), conflict);
            outcome.error = start(c.target, *r.kept, CopyMode::Backup, false, std::nullopt);
            if (outcome.error != 0) {
                m_kept.notReplaced(*r.kept);
                outcome.kind = Kind::Failed;
                return;
            }
        }
        outcome.error = start(c.source, c.target, c.mode, r.kept.has_value(), m_replacements.size());
        outcome.kind = outcome.error == 0 ? done : Kind::Failed;
        m_replacements.push_back(std::move(r));
    }

    Platform& m_platform;
    const WorkArea& m_area;
    const RunRequest& m_request;
    RunResult& m_result;
    VersionMemory m_memory;
    KeptVersions m_kept;
    std::time_t m_now;
    std::vector<Started> m_started;                 // the pending copies, in the order started
    std::vector<Replacement> m_replacements;        // started since the last settle()
    bool m_swept = false;                           // the leftovers of a killed run are gone from the stick
    bool m_marked = false;                          // the run has noted that it writes on the computer
    std::unordered_set<std::string> m_madeFolders;  // old-files folders beside shared copies
};

// What a run killed while it wrote on the computer left there: the temporary files in
// the folders of the listed files.
void sweepComputer(Platform& platform, const WorkArea& area, const RunRequest& request) {
    const std::string marker = area.computerWritesMarker(request.computerName);
    if (!platform.isFile(marker)) {
        return;
    }
    std::unordered_set<std::string> folders;
    for (const auto& path : request.fileList) {
        if (usablePath(path) &&
            folders.insert(path.substr(0, path.size() - fileNameOf(path).size())).second) {
            platform.removeLeftovers(path.substr(0, path.size() - fileNameOf(path).size()));
        }
    }
    platform.removeFile(marker);
}

}  // namespace

bool RunResult::anyFailed() const {
    for (const auto& outcome : outcomes) {
        if (outcome.kind == Kind::Failed) {
            return true;
        }
    }
    return failure.has_value();
}

const std::string* RunResult::keptFor(std::size_t outcome) const {
    const auto at = std::lower_bound(kept.begin(), kept.end(), outcome,
                                     [](const auto& k, std::size_t wanted) { return k.first < wanted; });
    return at != kept.end() && at->first == outcome ? &at->second : nullptr;
}

namespace {

RunResult runOnStick(Platform& platform, const WorkArea& area, Clock& clock, const RunRequest& request,
                     const std::function<void(std::size_t)>& onEntry, const CopyProgress& onBytes) {
    const Platform::ProgressScope listening(platform, onBytes);
    const std::string copies = area.copiesFolder(request.computerName);
    // "<" only reads the stick: on one that nothing can write, it gives its files back all
    // the same (a version on the computer that would have to be kept there stays).
    const auto prepare = [&](const std::string& folder) {
        try {
            ensureFolder(platform, folder);
        } catch (const Failure& failure) {
            if (request.kind != RunKind::ToComputer || !isWriteProtection(failure.error())) {
                throw;
            }
        }
    };
    prepare(copies);
    const Platform::FolderScope looking(platform, copies);
    prepare(area.oldFilesFolder(request.computerName));
    // What a killed run left behind would otherwise fill the flash drive unseen. The
    // report is written at every run; the copies folder, which is long, is looked
    // through by the first copy that writes there.
    platform.removeLeftovers(area.listsFolder());
    sweepComputer(platform, area, request);

    RunResult result;
    result.outcomes.reserve(request.fileList.size());
    // A flash drive pulled out shows first as a failed or missing file. Whatever is
    // left of its mount point lies on the computer's disk: nothing more is written
    // there, the report included.
    const auto stickGone = [&] {
        if (!platform.isFolder(copies) || !stickPresent(platform, area)) {
            result.failure = texts::stickPulled();
        }
        return result.failure.has_value();
    };
    {
        Run run(platform, area, request, result, clock.now());
        for (std::size_t i = 0; i < request.fileList.size(); ++i) {
            if (onEntry) {
                onEntry(i);
            }
            if (run.entry(i, request.fileList[i], request.flashAt(i)) && stickGone()) {
                break;
            }
        }
        if (run.settle() && !result.failure) {
            stickGone();
        }
        if (!result.failure) {
            run.rememberKept();
        }
    }
    result.closing = closingLines(request.kind, clock.timestamp());
    // Only what differs from the states the stick gave the run is written: a run that
    // found everything as it was leaves the copies list unread.
    std::erase_if(result.states, [&request](const auto& s) { return request.stateAt(s.first) == s.second; });
    if (!result.failure) {
        try {
            rememberStates(platform, area, request.computerName, request.fileList, request.flashList,
                           result.states);
            saveReport(platform, area, request.computerName, reportSize(result),
                       [&](std::size_t i) { return reportLineAt(request, result, i); });
        } catch (const Failure& failure) {
            result.failure = !stickPresent(platform, area)        ? texts::stickPulled()
                             : isWriteProtection(failure.error()) ? texts::reportNotSavedWriteProtected()
                                                                  : std::string(failure.what());
        }
    }
    return result;
}

}  // namespace

RunResult runCopy(Platform& platform, const WorkArea& area, Clock& clock, const RunRequest& request,
                  const std::function<void(std::size_t)>& onEntry, const CopyProgress& onBytes) {
    try {
        return runOnStick(platform, area, clock, request, onEntry, onBytes);
    } catch (const Failure&) {
        if (!stickPresent(platform, area)) {
            throw Failure(texts::stickPulled());  // whatever failed first when it went
        }
        throw;
    }
}

std::optional<WorkAreaLock> lockForRun(Platform& platform, const WorkArea& area, RunKind kind) {
    try {
        return std::optional<WorkAreaLock>(std::in_place, platform, area);
    } catch (const WriteProtected&) {
        if (kind != RunKind::ToComputer) {
            throw;
        }
        return std::nullopt;  // nothing else can write that stick either
    }
}

RunSummary summarise(const RunResult& result) {
    RunSummary summary;
    for (const auto& outcome : result.outcomes) {
        switch (outcome.kind) {
            case Kind::UpdatedToFlash:
            case Kind::NewToFlash:
                ++summary.toFlash;
                break;
            case Kind::UpdatedToComputer:
            case Kind::NewToComputer:
                ++summary.toComputer;
                break;
            case Kind::ConflictToFlash:
                ++summary.toFlash;
                ++summary.conflicts;
                break;
            case Kind::ConflictToComputer:
                ++summary.toComputer;
                ++summary.conflicts;
                break;
            case Kind::Failed:
                ++summary.failed;
                break;
            default:
                break;
        }
    }
    return summary;
}

std::size_t reportSize(const RunResult& result) {
    return result.outcomes.size() + result.closing.size();
}

std::string reportLineAt(const RunRequest& request, const RunResult& result, std::size_t i) {
    if (i >= result.outcomes.size()) {
        return result.closing.at(i - result.outcomes.size());
    }
    return reportLine(request.kind, result.outcomes[i], request.fileList[i], request.flashAt(i),
                      request.computerName, result.keptFor(i));
}

Lines reportLines(const RunRequest& request, const RunResult& result) {
    Lines lines;
    lines.reserve(reportSize(result));
    for (std::size_t i = 0; i < reportSize(result); ++i) {
        lines.push_back(reportLineAt(request, result, i));
    }
    return lines;
}

Lines failureReasons(Platform& platform, const RunRequest& request, const RunResult& result) {
    Lines reasons;
    for (const auto& outcome : result.outcomes) {
        if (outcome.kind != Kind::Failed) {
            continue;
        }
        const std::size_t i = outcome.number - 1;
        const std::string& computer = request.fileList[i];
        const std::string& flash = request.flashAt(i);
        const auto stateOf = [&platform](const std::string& path) {
            return usablePath(path) ? platform.stateOf(path) : Platform::FileState{};
        };
        const Platform::FileState computerState = stateOf(computer);
        const Platform::FileState source =
            outcome.failedOnStick && computerState.exists ? computerState : stateOf(flash);
        const std::string& target = outcome.failedOnStick ? flash : computer;
        std::optional<std::uint64_t> free;
        if (usablePath(target)) {
            free = platform.freeSpace(target.substr(0, target.size() - fileNameOf(target).size()));
        }
        reasons.push_back(texts::failureReason(outcome.number, computer, outcome.error, outcome.failedOnStick,
                                               source.exists ? std::optional(source.size) : std::nullopt,
                                               free));
        // "<" writes on the stick only the version of the computer it replaces.
        if (request.kind == RunKind::ToComputer && outcome.failedOnStick &&
            meaningOf(outcome.error) == ErrorMeaning::WriteProtected) {
            reasons.back().pop_back();
            reasons.back() += texts::replacedVersionNotKept();
        }
    }
    return reasons;
}

std::string finishedRunText(const RunResult& result, const Lines& report, const Lines& reasons) {
    const std::size_t conflicts = summarise(result).conflicts;
    std::string text;
    if (conflicts > 0) {
        text = texts::conflictsKept(conflicts);
        text += "\n\n";
    }
    text += reportText(report);
    if (!reasons.empty()) {
        text += '\n';
        text += reportText(reasons);
    }
    return text;
}

std::string stoppedRunText(const RunResult& result, const Lines& report) {
    return withFullStop(result.failure.value_or(std::string())) + "\n\n" + reportText(report);
}

int emptyListErrorNumber() {
    return EINVAL;
}

}  // namespace verdaline
