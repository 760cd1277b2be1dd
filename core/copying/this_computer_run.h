#pragma once

#include <functional>
#include <string>
#include <vector>

#include "copy_run.h"
#include "file_list.h"

namespace verdaline {

// A run of this computer's entries as verdaline-cli and the watcher make it: under the
// work area's lock, on the lists as the stick holds them now. onLoaded hears of the lists
// loaded, before the first copy.
struct ThisComputerRun {
    std::vector<Notice> notices;  // of loading the lists (copies given anew, a journal dropped)
    bool emptyList = false;
    RunRequest request;
    RunResult result;
    Lines reasons;  // why each failed entry failed, in words
};
ThisComputerRun runForThisComputer(Platform& platform, const WorkArea& area, Clock& clock,
                                   const std::string& computer, RunKind kind, bool backups,
                                   const std::function<void(const ThisComputerRun& loaded)>& onLoaded = {},
                                   const std::function<void(std::size_t index)>& onEntry = {});

}  // namespace verdaline
