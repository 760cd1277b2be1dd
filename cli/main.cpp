// verdaline-cli: the program's lists and copy runs from a shell, on the same work area.
#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <iostream>

#include "cli.h"
#include "posix_platform.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    verdaline::PosixPlatform platform;
    verdaline::SystemClock clock;
    std::error_code ignored;
    verdaline::CliContext context{verdaline::executableFolder(argv[0]),
                                  std::filesystem::current_path(ignored).string(),
                                  platform,
                                  clock,
                                  std::cout,
                                  std::cerr,
                                  ::isatty(STDERR_FILENO) == 1};
    return verdaline::runCli(std::vector<std::string>(argv + 1, argv + argc), context);
}
