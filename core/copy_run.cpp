#include "copy_run.h"

#include <cerrno>

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

class Run {
public:
    Run(Platform& platform, const WorkArea& area, const RunRequest& request)
        : m_platform(platform), m_area(area), m_request(request) {}

    EntryOutcome entry(std::size_t index, const std::string& computer, const std::string& flash) const {
        EntryOutcome outcome;
        outcome.number = index + 1;
        const Entry e{computer, flash, fileNameOf(flash)};
        switch (m_request.kind) {
            case RunKind::ToFlash:
                directed(outcome, e, toFlash(e), Kind::UpdatedToFlash, Kind::NewToFlash);
                break;
            case RunKind::ToComputer:
                directed(outcome, e, toComputer(e), Kind::UpdatedToComputer, Kind::NewToComputer);
                break;
            case RunKind::Synchronise:
                synchronise(outcome, e);
                break;
        }
        return outcome;
    }

private:
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

    std::optional<FileDate> dateOf(const std::string& path) const {
        return usable(path) ? m_platform.modificationDate(path) : std::nullopt;
    }

    // Keeps the version about to be replaced, when the switch says so; 0 or the
    // error number of the backup.
    int backUp(const std::string& replaced, const std::string& backupName) const {
        if (!m_request.backups) {
            return 0;
        }
        return m_platform.copyFile(replaced, m_area.backupPath(m_request.computerName, backupName),
                                   CopyMode::Backup);
    }

    // Replaces or creates the target. A target that is there (even one the freshness
    // rule counts as missing, dated outside 1980..2107) is backed up first, and stays
    // as it is when its version cannot be kept.
    void copy(EntryOutcome& outcome, const Entry& e, const Copy& c, Kind done, bool targetExists) const {
        if (!usable(c.source) || !usable(c.target)) {
            outcome.kind = Kind::Failed;
            outcome.error = ENOENT;
            return;
        }
        if (targetExists || m_platform.isFile(c.target)) {
            outcome.error = backUp(c.target, e.backupName);
        }
        if (outcome.error == 0) {
            outcome.error = m_platform.copyFile(c.source, c.target, c.mode);
        }
        outcome.kind = outcome.error == 0 ? done : Kind::Failed;
    }

    void directed(EntryOutcome& outcome, const Entry& e, const Copy& c, Kind updated, Kind created) const {
        const auto sourceDate = dateOf(c.source);
        if (!sourceDate) {
            outcome.kind = Kind::NotFound;
            return;
        }
        const auto targetDate = dateOf(c.target);
        if (!targetDate) {
            copy(outcome, e, c, created, false);
            return;
        }
        switch (compareDates(*sourceDate, *targetDate)) {
            case Freshness::Equal:
                outcome.kind = Kind::Equal;
                break;
            case Freshness::TargetLater:
                outcome.kind = Kind::TargetLater;
                break;
            case Freshness::TargetEarlier:
                copy(outcome, e, c, updated, true);
                break;
        }
    }

    void synchronise(EntryOutcome& o, const Entry& e) const {
        const auto computerDate = dateOf(e.computer);
        const auto flashDate = dateOf(e.flash);
        if (computerDate && flashDate) {
            switch (compareDates(*computerDate, *flashDate)) {
                case Freshness::Equal:
                    o.kind = Kind::Equal;
                    break;
                case Freshness::TargetEarlier:
                    copy(o, e, toFlash(e), Kind::UpdatedToFlash, true);
                    break;
                case Freshness::TargetLater:
                    copy(o, e, toComputer(e), Kind::UpdatedToComputer, true);
                    break;
            }
        } else if (computerDate) {
            copy(o, e, toFlash(e), Kind::NewToFlash, false);
        } else if (flashDate) {
            copy(o, e, toComputer(e), Kind::NewToComputer, false);
        } else {
            o.kind = Kind::NotFound;
        }
    }

    Platform& m_platform;
    const WorkArea& m_area;
    const RunRequest& m_request;
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
    ensureFolder(platform, area.oldFilesFolder(request.computerName));
    // What a killed run left behind would otherwise fill the flash drive unseen.
    platform.removeLeftovers(copies);
    platform.removeLeftovers(area.oldFilesFolder(request.computerName));
    platform.removeLeftovers(area.listsFolder());

    RunResult result;
    result.outcomes.reserve(request.fileList.size());
    result.report.reserve(request.fileList.size() + 2);
    const Run run(platform, area, request);
    const std::string noFlashPath;  // the lines beyond a short flash-side list
    for (std::size_t i = 0; i < request.fileList.size(); ++i) {
        if (onEntry) {
            onEntry(i);
        }
        const std::string& computer = request.fileList[i];
        const std::string& flash = i < request.flashList.size() ? request.flashList[i] : noFlashPath;
        result.outcomes.push_back(run.entry(i, computer, flash));
        result.report.push_back(
            reportLine(request.kind, result.outcomes.back(), computer, flash, request.computerName));
        // A flash drive pulled out shows first as a failed or missing file. Whatever
        // is left of its mount point lies on the computer's disk: nothing more is
        // written there, the report included.
        const Kind kind = result.outcomes.back().kind;
        if ((kind == Kind::Failed || kind == Kind::NotFound) && !platform.isFolder(copies)) {
            result.failure = texts::flashDriveGone(copies);
            break;
        }
    }
    finishReport(result.report, request.kind, clock.timestamp());
    if (!result.failure) {
        try {
            saveReport(platform, area, request.computerName, result.report);
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

std::string stoppedRunText(const RunResult& result) {
    return withFullStop(result.failure.value_or(std::string())) + "\n\n" + reportText(result.report);
}

int emptyListErrorNumber() {
    return EINVAL;
}

}  // namespace verdaline
