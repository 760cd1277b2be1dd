#include "stick_number.h"

#include <random>

#include "errors.h"
#include "list_file.h"

namespace verdaline {

std::string stickNumberFile(const WorkArea& area) {
    return area.listsFolder() + kSeparator + "Номер флешки.txt";
}

bool isStickNumber(const std::string& text) {
    if (text.size() != 32) {
        return false;
    }
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> readStickNumber(Platform& platform, const WorkArea& area) {
    const auto lines = readListFile(platform, stickNumberFile(area));
    if (!lines) {
        return std::nullopt;
    }
    if (lines->size() != 1 || !isStickNumber(lines->front())) {
        throw Failure("Номер флешки в файле \"" + stickNumberFile(area) +
                      "\" испорчен. Верните в файл прежний номер (32 знака 0-9, A-F) или удалите файл: "
                      "тогда флешка получит новый номер, и синхронизацию при подключении придется "
                      "включить на каждом компьютере заново");
    }
    return lines->front();
}

std::string ensureStickNumber(Platform& platform, const WorkArea& area) {
    if (auto number = readStickNumber(platform, area)) {
        return *number;
    }
    const WorkAreaLock lock(platform, area);
    if (auto number = readStickNumber(platform, area)) {
        return *number;
    }
    std::random_device device;
    std::string number;
    const char* const digits = "0123456789ABCDEF";
    while (number.size() < 32) {
        number += digits[device() % 16];
    }
    writeListFile(platform, stickNumberFile(area), {number});
    return number;
}

}  // namespace verdaline
