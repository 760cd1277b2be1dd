#pragma once

// The fixture of the command-line tests: a work area in a temporary folder, and
// verdaline-cli run on it with what it prints kept.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "temp_tree.h"
#include "test_platform.h"

namespace verdaline::testing {

class CliTest : public ::testing::Test {
protected:
    TempTree tree;
    TestPlatform platform;
    FixedClock clock;
    std::ostringstream out;
    std::ostringstream err;

    // verdaline-cli in programFolder, started from currentFolder.
    int cliIn(const std::string& programFolder, const std::string& currentFolder,
              std::vector<std::string> args) {
        out.str("");
        err.str("");
        CliContext context{programFolder, currentFolder, platform, clock, out, err};
        return runCli(args, context);
    }
};

}  // namespace verdaline::testing
