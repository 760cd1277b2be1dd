#include "copy_run.h"

#include <cerrno>
#include <unordered_set>

#include "copies_list.h"
#include "errors.h"
#include "report.h"
#include "texts.h"

namespace verdaline {
namespace {

using Kind = EntryOutcome::Kind;

// A path that does not start at the root names nothing for a run: it would write
// into whatever folder the program was started from. An empty flash path (beyond the
// end of a short flash-side list) is one of them.
bool usable(const std::string& path) {
    return isAbsolutePath(path);
}

// Entry i's flash path: empty beyond the end of a short flash-side list.
const std::string& flashPath(const RunRequest& request, std::size_t i) {
    static const std::string none;
    return i < request.flashList.size() ? request.flashList[i] : none;
}

// Decides the entries one by one and starts their copies, which finish together: the
// outcome of an entry whose copy is pending is known once settle() has run.
class Run {
public:
    Run(Platform& platform, const WorkArea& area, const RunRequest& request,
        std::vector<EntryOutcome>& outcomes)
        : m_platform(platform), m_area(area), m_request(request), m_outcomes(outcomes) {}
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    ~Run() {
        try {
            settle();
        } catch (...) {
            // The platform drops what it cannot finish; the targets stay as they were.
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
        const Entry e{computer, flash, fileNameOf(flash)};
        m_outcomes.push_back({});
        m_outcomes.back().number = index + 1;
        switch (m_request.kind) {
            case RunKind::ToFlash:
                directed(e, toFlash(e), computerState, flashState, Kind::UpdatedToFlash, Kind::NewToFlash);
                break;
            case RunKind::ToComputer:
                directed(e, toComputer(e), flashState, computerState, Kind::UpdatedToComputer,
                         Kind::NewToComputer);
                break;
            case RunKind::Synchronise:
                synchronise(e, computerState, flashState);
                break;
        }
        const Kind kind = m_outcomes.back().kind;
        return failed || kind == Kind::Failed || kind == Kind::NotFound;
    }

    // Finishes the pending copies and gives their entries their outcomes; true when one failed.
    bool settle() {
        if (m_started.empty()) {
            return false;
        }
        const std::vector<int> errors = m_platform.finishCopies();
        bool failed = false;
        for (std::size_t k = 0; k < errors.size() && k < m_started.size(); ++k) {
            EntryOutcome& o = m_outcomes[m_started[k]];
            // A backup's error comes first: the replacement tied to it is not made.
            if (errors[k] != 0 && o.kind != Kind::Failed) {
                o.kind = Kind::Failed;
                o.error = errors[k];
                failed = true;
            }
        }
        m_started.clear();
        return failed;
    }

private:
    using State = Platform::FileState;
    struct Entry {
        const std::string& computer;
        const std::string& flash;
        std::string backupName;  // the flash name: two listed files of one name keep apart
    };
    struct Copy {
        const std::string& source;
        const std::string& target;
        CopyMode mode;
    };
    static Copy toFlash(const Entry& e) { return {e.computer, e.flash, CopyMode::FromSource}; }
    static Copy toComputer(const Entry& e) { return {e.flash, e.computer, CopyMode::OnComputer}; }

    State stateOf(const std::string& path) const { return usable(path) ? m_platform.stateOf(path) : State{}; }

    // A replaced version is kept in the old-files folder beside the entry's copy, so that
    // a copy shared with another computer keeps its versions in one place; a flash path
    // typed by hand outside the copies folders keeps them in the computer's own.
    std::string backupPathOf(const Entry& e) {
        const auto folder = copiesFolderOf(m_area, e.flash);
        if (!folder || *folder == m_area.copiesFolder(m_request.computerName)) {
            return m_area.backupPath(m_request.computerName, e.backupName);
        }
        const std::string oldFiles = *folder + kSeparator + kOldFilesFolderName;
        if (m_madeFolders.insert(oldFiles).second && !m_platform.isFolder(oldFiles)) {
            m_platform.makeFolder(oldFiles);  // a failure shows as the backup's own
        }
        return oldFiles + kSeparator + e.backupName;
    }

    int start(const std::string& source, const std::string& target, CopyMode mode, bool afterPrevious) {
        if (!m_swept) {
            m_swept = true;
            m_platform.removeLeftovers(m_area.copiesFolder(m_request.computerName));
            m_platform.removeLeftovers(m_area.oldFilesFolder(m_request.computerName));
        }
        const int error = m_platform.startCopy(source, target, mode, afterPrevious);
        if (error == 0) {
            m_started.push_back(m_outcomes.size() - 1);
        }
        return error;
    }

    // Replaces or creates the target. A target that is there (even one the freshness
    // rule counts as missing, dated outside 1980..2107) is backed up first when the
    // switch says so, and stays as it is when its version cannot be kept.
    void copy(const Entry& e, const Copy& c, Kind done, bool targetExists) {
        EntryOutcome& outcome = m_outcomes.back();
        if (!usable(c.source) || !usable(c.target)) {
            outcome.kind = Kind::Failed;
            outcome.error = ENOENT;
            return;
        }
        bool backedUp = false;
        if (m_request.backups && targetExists) {
            outcome.error = start(c.target, backupPathOf(e), CopyMode::Backup, false);
            backedUp = outcome.error == 0;
        }
        if (outcome.error == 0) {
            outcome.error = start(c.source, c.target, c.mode, backedUp);
        }
        outcome.kind = outcome.error == 0 ? done : Kind::Failed;
    }

    void directed(const Entry& e, const Copy& c, const State& source, const State& target, Kind updated,
                  Kind created) {
        if (!source.date) {
            m_outcomes.back().kind = Kind::NotFound;
            return;
        }
        if (!target.date) {
            copy(e, c, created, target.exists);
            return;
        }
        switch (compareDates(*source.date, *target.date)) {
            case Freshness::Equal:
                m_outcomes.back().kind = Kind::Equal;
                break;
            case Freshness::TargetLater:
                m_outcomes.back().kind = Kind::TargetLater;
                break;
            case Freshness::TargetEarlier:
                copy(e, c, updated, true);
                break;
        }
    }

    void synchronise(const Entry& e, const State& computer, const State& flash) {
        const auto& computerDate = computer.date;
        const auto& flashDate = flash.date;
        if (computerDate && flashDate) {
            switch (compareDates(*computerDate, *flashDate)) {
                case Freshness::Equal:
                    m_outcomes.back().kind = Kind::Equal;
                    break;
                case Freshness::TargetEarlier:
                    copy(e, toFlash(e), Kind::UpdatedToFlash, true);
                    break;
                case Freshness::TargetLater:
                    copy(e, toComputer(e), Kind::UpdatedToComputer, true);
                    break;
            }
        } else if (computerDate) {
            copy(e, toFlash(e), Kind::NewToFlash, flash.exists);
        } else if (flashDate) {
            copy(e, toComputer(e), Kind::NewToComputer, computer.exists);
        } else {
            m_outcomes.back().kind = Kind::NotFound;
        }
    }

    Platform& m_platform;
    const WorkArea& m_area;
    const RunRequest& m_request;
    std::vector<EntryOutcome>& m_outcomes;
    std::vector<std::size_t> m_started;             // the outcome of each pending copy, in the order started
    bool m_swept = false;                           // the leftovers of a killed run are gone
    std::unordered_set<std::string> m_madeFolders;  // old-files folders beside shared copies
};

}  // namespace

bool RunResult::anyFailed() const {
    for (const auto& outcome : outcomes) {
        if (outcome.kind == Kind::Failed) {
            return true;
        }
    }
    return failure.has_value();
}

RunResult runCopy(Platform& platform, const WorkArea& area, Clock& clock, const RunRequest& request,
                  const std::function<void(std::size_t)>& onEntry, const CopyProgress& onBytes) {
    const Platform::ProgressScope listening(platform, onBytes);
    const std::string copies = area.copiesFolder(request.computerName);
    ensureFolder(platform, copies);
    const Platform::FolderScope looking(platform, copies);
    ensureFolder(platform, area.oldFilesFolder(request.computerName));
    // What a killed run left behind would otherwise fill the flash drive unseen. The
    // report is written at every run; the copies folder, which is long, is looked
    // through by the first copy that writes there.
    platform.removeLeftovers(area.listsFolder());

    RunResult result;
    result.outcomes.reserve(request.fileList.size());
    // A flash drive pulled out shows first as a failed or missing file. Whatever is
    // left of its mount point lies on the computer's disk: nothing more is written
    // there, the report included.
    const auto stickGone = [&] {
        if (!platform.isFolder(copies)) {
            result.failure = texts::flashDriveGone(copies);
        }
        return result.failure.has_value();
    };
    {
        Run run(platform, area, request, result.outcomes);
        for (std::size_t i = 0; i < request.fileList.size(); ++i) {
            if (onEntry) {
                onEntry(i);
            }
            if (run.entry(i, request.fileList[i], flashPath(request, i)) && stickGone()) {
                break;
            }
        }
        if (run.settle() && !result.failure) {
            stickGone();
        }
    }
    result.closing = closingLines(request.kind, clock.timestamp());
    if (!result.failure) {
        try {
            saveReport(platform, area, request.computerName, reportSize(result),
                       [&](std::size_t i) { return reportLineAt(request, result, i); });
        } catch (const Failure& failure) {
            result.failure = failure.what();
        }
    }
    return result;
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
    return reportLine(request.kind, result.outcomes[i], request.fileList[i], flashPath(request, i),
                      request.computerName);
}

Lines reportLines(const RunRequest& request, const RunResult& result) {
    Lines lines;
    lines.reserve(reportSize(result));
    for (std::size_t i = 0; i < reportSize(result); ++i) {
        lines.push_back(reportLineAt(request, result, i));
    }
    return lines;
}

std::string stoppedRunText(const RunResult& result, const Lines& report) {
    return withFullStop(result.failure.value_or(std::string())) + "\n\n" + reportText(report);
}

int emptyListErrorNumber() {
    return EINVAL;
}

}  // namespace verdaline
