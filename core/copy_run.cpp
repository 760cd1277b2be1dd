#include "copy_run.h"

#include <cerrno>

#include "report.h"

namespace verdaline {
namespace {

using Kind = EntryOutcome::Kind;

class Run {
public:
    Run(Platform& platform, const WorkArea& area, const RunRequest& request)
        : m_platform(platform), m_area(area), m_request(request) {}

    EntryOutcome entry(std::size_t index, const std::string& computer, const std::string& flash) const {
        EntryOutcome outcome;
        outcome.number = index + 1;
        switch (m_request.kind) {
            case RunKind::ToFlash:
                directed(outcome, computer, flash, Kind::UpdatedToFlash, Kind::NewToFlash);
                break;
            case RunKind::ToComputer:
                directed(outcome, flash, computer, Kind::UpdatedToComputer, Kind::NewToComputer);
                break;
            case RunKind::Synchronise:
                synchronise(outcome, computer, flash);
                break;
        }
        return outcome;
    }

private:
    // Keeps the version about to be replaced, when the switch says so. Its outcome
    // does not matter: the replacement follows either way.
    void backUp(const std::string& replaced) const {
        if (m_request.backups) {
            m_platform.copyFile(replaced, m_area.backupPath(m_request.computerName, fileNameOf(replaced)));
        }
    }

    // Copies over a target that the freshness rule saw as missing; a file that is
    // there all the same (dated outside 1980..2107) is backed up first.
    void copyNew(EntryOutcome& outcome, const std::string& source, const std::string& target,
                 Kind done) const {
        if (m_platform.isFile(target)) {
            backUp(target);
        }
        copy(outcome, source, target, done);
    }

    void copyOver(EntryOutcome& outcome, const std::string& source, const std::string& target,
                  Kind done) const {
        backUp(target);
        copy(outcome, source, target, done);
    }

    void copy(EntryOutcome& outcome, const std::string& source, const std::string& target, Kind done) const {
        outcome.error = m_platform.copyFile(source, target);
        outcome.kind = outcome.error == 0 ? done : Kind::Failed;
    }

    void directed(EntryOutcome& outcome, const std::string& source, const std::string& target, Kind updated,
                  Kind created) const {
        const auto sourceDate = m_platform.modificationDate(source);
        if (!sourceDate) {
            outcome.kind = Kind::NotFound;
            return;
        }
        const auto targetDate = m_platform.modificationDate(target);
        if (!targetDate) {
            copyNew(outcome, source, target, created);
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
                copyOver(outcome, source, target, updated);
                break;
        }
    }

    void synchronise(EntryOutcome& o, const std::string& computer, const std::string& flash) const {
        const auto computerDate = m_platform.modificationDate(computer);
        const auto flashDate = m_platform.modificationDate(flash);
        if (computerDate && flashDate) {
            switch (compareDates(*computerDate, *flashDate)) {
                case Freshness::Equal:
                    o.kind = Kind::Equal;
                    break;
                case Freshness::TargetEarlier:
                    copyOver(o, computer, flash, Kind::UpdatedToFlash);
                    break;
                case Freshness::TargetLater:
                    copyOver(o, flash, computer, Kind::UpdatedToComputer);
                    break;
            }
        } else if (computerDate) {
            copyNew(o, computer, flash, Kind::NewToFlash);
        } else if (flashDate) {
            copyNew(o, flash, computer, Kind::NewToComputer);
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
    return false;
}

RunResult runCopy(Platform& platform, const WorkArea& area, Clock& clock, const RunRequest& request,
                  const std::function<void(std::size_t)>& onEntry) {
    ensureFolder(platform, area.copiesFolder(request.computerName));
    ensureFolder(platform, area.oldFilesFolder(request.computerName));

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
    }
    finishReport(result.report, request.kind, clock.timestamp());
    saveReport(platform, area, request.computerName, result.report);
    return result;
}

int emptyListErrorNumber() {
    return EINVAL;
}

}  // namespace verdaline
