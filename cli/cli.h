#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "clock.h"
#include "platform.h"

namespace verdaline {

// What the command line works with: the work area beside the program, the operating
// system, the clock, and where to write.
struct CliContext {
    std::string programFolder;
    std::string currentFolder;  // relative paths given to "add" start here
    Platform& platform;
    Clock& clock;
    std::ostream& out;
    std::ostream& err;
    bool showProgress = false;  // a progress line on err, for a terminal
};

// Runs one command (the arguments after the program's name) and returns the exit
// status: 0 all done, 1 some entries failed or were refused, 2 the command could not
// be carried out.
int runCli(const std::vector<std::string>& arguments, CliContext& context);

}  // namespace verdaline
