#pragma once

// The platform of the system the program is built for.
#ifdef _WIN32
#include "windows_platform.h"
namespace verdaline {
using NativePlatform = WindowsPlatform;
}
#else
#include "posix_platform.h"
namespace verdaline {
using NativePlatform = PosixPlatform;
}
#endif
