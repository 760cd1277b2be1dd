#include "this_computer_run.h"

namespace verdaline {

ThisComputerRun runForThisComputer(Platform& platform, const WorkArea& area, Clock& clock,
                                   const std::string& computer, RunKind kind, bool backups,
                                   const std::function<void(const ThisComputerRun& loaded)>& onLoaded,
                                   const std::function<void(std::size_t index)>& onEntry) {
    ThisComputerRun run;
    const auto lock = lockForRun(platform, area, kind);
    ListChange loaded;
    if (lock) {
        loaded = loadLists(platform, area, computer, *lock);
    } else {
        loaded.lists = readLists(platform, area, computer).value_or(FileLists{});
    }
    run.notices = std::move(loaded.notices);
    FileLists& lists = loaded.lists;
    run.emptyList = lists.files.empty();
    run.request.kind = kind;
    run.request.computerName = computer;
    run.request.fileList = std::move(lists.files);
    run.request.flashList = std::move(lists.flash);
    run.request.states = std::move(lists.states);
    run.request.backups = backups;
    if (onLoaded) {
        onLoaded(run);
    }
    run.result = runCopy(platform, area, clock, run.request, onEntry);
    run.reasons = failureReasons(platform, run.request, run.result);
    return run;
}

}  // namespace verdaline
