#include "test_platform.h"

#include "cp1251.h"

namespace verdaline::testing {

std::string cp1251Lines(std::initializer_list<const char*> utf8Lines) {
    std::string bytes;
    for (const char* line : utf8Lines) {
        bytes += *encodeCp1251(line);
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace verdaline::testing
