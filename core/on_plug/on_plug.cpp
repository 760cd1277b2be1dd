#include "on_plug.h"

#include <chrono>
#include <thread>

#include "errors.h"
#include "list_file.h"
#include "stick_number.h"

namespace verdaline {

std::string watcherFileName() {
    return fileNameOf(OnPlugPlaces{{}, {}}.watcher());
}

std::optional<OnPlugState> readOnPlugState(Platform& platform, const OnPlugPlaces& places) {
    const auto lines = readListFile(platform, places.stateFile());
    if (!lines || lines->empty() || !isStickNumber(lines->front())) {
        return std::nullopt;
    }
    OnPlugState state;
    state.stickNumber = (*lines)[0];
    state.folderOnStick = lines->size() > 1 ? (*lines)[1] : std::string();
    state.lastSynchronised = lines->size() > 2 ? (*lines)[2] : std::string();
    return state;
}

void writeOnPlugState(Platform& platform, const OnPlugPlaces& places, const OnPlugState& state) {
    writeListFile(platform, places.stateFile(),
                  {state.stickNumber, state.folderOnStick, state.lastSynchronised});
}

std::string startEntryText(const std::string& watcher) {
#ifdef _WIN32
    return "\"" + watcher + "\"";
#else
    // Exec takes the path quoted, with the characters the entry's rules escape.
    std::string quoted = "\"";
    for (const char c : watcher) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += "\\\\";
        }
        quoted += c;
    }
    quoted += "\"";
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Verdaline: синхронизация при подключении флешки\n"
           "Comment=Синхронизирует файлы этого компьютера, когда подключена его флешка Verdaline\n"
           "Exec=" +
           quoted +
           "\n"
           "Terminal=false\n"
           "NoDisplay=true\n"
           "X-GNOME-Autostart-enabled=true\n";
#endif
}

std::string onPlugQuestion(const OnPlugPlaces& places) {
    std::string text = "Синхронизировать файлы этого компьютера при каждом подключении этой флешки?\n\n";
    text += "На этот компьютер будут записаны:\n";
#ifdef _WIN32
    text += "- запись автозапуска в реестре (HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run, \"" +
            places.startEntry + "\");\n";
#else
    text += "- запись автозапуска рабочего стола: " + places.startEntry + ";\n";
#endif
    text += "- копия наблюдателя verdaline-watcher и его состояние в папке " + places.dataFolder + ".\n\n";
    text +=
        "Больше ничего на компьютер не записывается. Программа с флешки сама не запускается: "
        "флешку ждет и синхронизирует наблюдатель. Выключение удаляет и то и другое.";
    return text;
}

namespace {

// The program folder relative to the root of the stick that holds it.
std::string folderOnStick(Platform& platform, const WorkArea& area) {
    std::string mount = platform.mountPointOf(area.programFolder());
    if (!mount.empty() && mount.back() != kSeparator) {
        mount += kSeparator;
    }
    const std::string& folder = area.programFolder();
    return folder.starts_with(mount) ? folder.substr(mount.size()) : std::string();
}

void removeWritten(Platform& platform, const OnPlugPlaces& places) {
    removeStartEntry(places);
    for (const auto& file : {places.watcher(), places.stateFile(), places.pidFile()}) {
        platform.removeFile(file);
    }
    platform.removeLeftovers(places.dataFolder);
    removeEmptyFolder(places.dataFolder);
}

void check(int error, const std::string& text) {
    if (error != 0) {
        throw Failure(text + ": " + systemReason(error), error);
    }
}

}  // namespace

void turnOnPlugOn(Platform& platform, const WorkArea& area, const OnPlugPlaces& places,
                  const std::string& watcherSource) {
    if (places.dataFolder.empty() || places.startEntry.empty()) {
        throw Failure(
            "Не найдена домашняя папка пользователя: синхронизацию при подключении флешки "
            "включить нельзя");
    }
    if (!platform.isFile(watcherSource)) {
        throw Failure("Рядом с программой нет наблюдателя " + watcherSource +
                      ": синхронизацию при подключении флешки включить нельзя");
    }
    OnPlugState state;
    state.stickNumber = ensureStickNumber(platform, area);
    state.folderOnStick = folderOnStick(platform, area);
    if (const auto previous = readOnPlugState(platform, places);
        previous && previous->stickNumber == state.stickNumber) {
        state.lastSynchronised = previous->lastSynchronised;
    }
    stopWatcher(places);
    try {
        ensureFolders(platform, places.dataFolder.substr(0, places.dataFolder.size() - 1));
        check(platform.copyFile(watcherSource, places.watcher(), CopyMode::Backup),
              "Не удалось скопировать наблюдатель в " + places.watcher());
        check(makeExecutable(places.watcher()),
              "Не удалось сделать наблюдатель исполняемым: " + places.watcher());
        writeOnPlugState(platform, places, state);
        check(writeStartEntry(places, startEntryText(places.watcher())),
              "Не удалось записать автозапуск " + places.startEntry);
    } catch (...) {
        removeWritten(platform, places);
        throw;
    }
    check(startDetached(places.watcher()), "Не удалось запустить наблюдатель " + places.watcher());
    for (int i = 0; i < 40 && !watcherRunning(places); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool turnOnPlugOff(Platform& platform, const OnPlugPlaces& places) {
    if (places.dataFolder.empty()) {
        return false;
    }
    const bool there = hasStartEntry(places) || platform.isFolder(places.dataFolder);
    stopWatcher(places);
    removeWritten(platform, places);
    if (hasStartEntry(places) || platform.isFolder(places.dataFolder)) {
        throw Failure("Не удалось удалить всё: проверьте " + places.startEntry + " и " + places.dataFolder);
    }
    return there;
}

bool onPlugIsOn(Platform& platform, const OnPlugPlaces& places) {
    return !places.dataFolder.empty() && hasStartEntry(places) && platform.isFile(places.watcher());
}

std::string onPlugStatusText(Platform& platform, const OnPlugPlaces& places) {
    if (!onPlugIsOn(platform, places)) {
        return "Синхронизация при подключении флешки: выключена\n";
    }
    std::string text = "Синхронизация при подключении флешки: включена\n";
    const auto state = readOnPlugState(platform, places);
    text += "Ждет флешку с номером: " + (state ? state->stickNumber : std::string("не записан")) + "\n";
    text += std::string("Наблюдатель: ") + (watcherRunning(places) ? "работает" : "не запущен") + "\n";
    text +=
        "Последняя синхронизация: " +
        (state && !state->lastSynchronised.empty() ? state->lastSynchronised : std::string("еще не было")) +
        "\n";
    return text;
}

bool refreshInstalledWatcher(Platform& platform, const OnPlugPlaces& places,
                             const std::string& watcherSource) {
    if (!onPlugIsOn(platform, places)) {
        return false;
    }
    const auto source = platform.stateOf(watcherSource);
    const auto installed = platform.stateOf(places.watcher());
    if (!source.exists || source.seconds <= installed.seconds) {
        return false;
    }
    Digest sourceDigest;
    Digest installedDigest;
    if (platform.digestOf(watcherSource, sourceDigest) != 0 ||
        (platform.digestOf(places.watcher(), installedDigest) == 0 && sourceDigest == installedDigest)) {
        return false;
    }
    // The running watcher keeps the old program's pages: it starts again from the new one.
    const bool wasRunning = watcherRunning(places);
    stopWatcher(places);
    const bool replaced = platform.copyFile(watcherSource, places.watcher(), CopyMode::Backup) == 0 &&
                          makeExecutable(places.watcher()) == 0;
    if (wasRunning || replaced) {
        startDetached(places.watcher());
    }
    return replaced;
}

}  // namespace verdaline
