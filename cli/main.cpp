// verdaline-cli: the program's lists and copy runs from a shell, on the same work area.
#include <clocale>
#include <filesystem>
#include <iostream>

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#include <shellapi.h>
#else
#include <unistd.h>
#endif

#include "cli.h"
#include "native_platform.h"

namespace {

// The arguments as UTF-8: on Windows argv holds them in the ANSI code page, which
// cannot carry every name.
std::vector<std::string> argumentsOf(int argc, char** argv) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string text(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, text.data(), n, nullptr, nullptr);
        arguments.push_back(std::move(text));
    }
    ::LocalFree(wide);
    return arguments;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

bool errorsGoToATerminal() {
#ifdef _WIN32
    return ::_isatty(::_fileno(stderr)) != 0;
#else
    return ::isatty(STDERR_FILENO) == 1;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
#ifdef _WIN32
    ::SetConsoleOutputCP(CP_UTF8);
#endif
    verdaline::NativePlatform platform;
    verdaline::SystemClock clock;
    std::error_code ignored;
    const std::u8string current = std::filesystem::current_path(ignored).u8string();
    verdaline::CliContext context{verdaline::executableFolder(argv[0]),
                                  std::string(current.begin(), current.end()),
                                  platform,
                                  clock,
                                  std::cout,
                                  std::cerr,
                                  errorsGoToATerminal()};
    return verdaline::runCli(argumentsOf(argc, argv), context);
}
