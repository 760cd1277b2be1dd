// Synchronising on plugging in: the stick's number, finding the stick wherever it is
// mounted, the watcher's run, and what turning it on and off leaves on the computer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "cli_fixture.h"
#include "list_file.h"
#include "on_plug.h"
#include "stick_number.h"
#include "texts.h"
#include "watcher.h"

namespace verdaline {
namespace {

using testing::cp1251Lines;

const std::string kNumberFile = "Списки_отчеты/Номер флешки.txt";

void setEnvironment(const char* name, const std::string& value) {
#ifdef _WIN32
    ::_putenv_s(name, value.c_str());
#else
    ::setenv(name, value.c_str(), 1);
#endif
}

class OnPlug : public testing::CliTest {
protected:
    int cli(const std::string& programFolder, std::vector<std::string> args) {
        return cliIn(programFolder, tree.root(), std::move(args));
    }
    // A program folder at relative, whose stick has the number given.
    void stickWithNumber(const std::string& relative, const std::string& number) {
        tree.write(relative + kNumberFile, cp1251Lines({number.c_str()}));
    }
};

TEST_F(OnPlug, StickNumberIsGivenOnceAndADamagedOneIsNeverReplaced) {
    const WorkArea area(tree.root());
    const std::string number = ensureStickNumber(platform, area);
    EXPECT_TRUE(isStickNumber(number)) << number;
    EXPECT_EQ(tree.read(kNumberFile), number + "\r\n");
    EXPECT_EQ(ensureStickNumber(platform, area), number);
    tree.makeFolder("other");
    EXPECT_NE(ensureStickNumber(platform, WorkArea(tree.path("other/"))), number);

    for (const char* damaged : {"0123\r\n", "", "0123456789abcdef0123456789ABCDEF\r\n",
                                "0123456789ABCDEF0123456789ABCDEF\r\n0\r\n"}) {
        tree.write(kNumberFile, damaged);
        EXPECT_NE(testing::failureOf([&] { ensureStickNumber(platform, area); }).find("испорчен"),
                  std::string::npos)
            << damaged;
        EXPECT_EQ(tree.read(kNumberFile), damaged);
    }
}

#ifndef _WIN32
TEST_F(OnPlug, MountTableIsReadWithItsEscapesAndOptionalFields) {
    const auto mounts = mountsIn(
        "22 1 0:21 / /proc rw,nosuid shared:5 - proc proc rw\n"
        "812 29 8:17 / /media/u/MY\\040STICK rw,nosuid,nodev shared:440 master:1 - fuseblk /dev/sdb1 rw\n"
        "813 29 7:1 / /run/media/u/\\320\\244 rw - exfat /dev/loop1 rw\n");
    ASSERT_EQ(mounts.size(), 3u);
    EXPECT_EQ(mounts[0], (Mount{"22 0:21", "/proc", "proc"}));
    EXPECT_EQ(mounts[1], (Mount{"812 8:17", "/media/u/MY STICK", "fuseblk"}));
    EXPECT_EQ(mounts[2], (Mount{"813 7:1", "/run/media/u/Ф", "exfat"}));
    EXPECT_FALSE(mayHoldStick(mounts[0]));
    EXPECT_TRUE(mayHoldStick(mounts[1]));
}
#endif

// Each appearance of a stick is looked at once: put back at the same path under the number
// of the mount that went, or at another path, it counts as new.
TEST_F(OnPlug, StickPutBackCountsAsAppearedAgain) {
    const Mount root{"1 8:1", "/", "ext4"};
    const Mount stick{"40 0:50", "/media/u/STICK", "fuseblk"};
    const Mount elsewhere{"40 0:50", "/run/media/u/STICK", "fuseblk"};
    SeenMounts seen;
    const struct {
        std::vector<std::vector<Mount>> looks;  // the last one settled
        std::vector<Mount> appeared;
    } steps[] = {
        {{{root, stick}}, {root, stick}},
        {{{root, stick}}, {}},
        {{{root}, {root, stick}, {root, stick}}, {stick}},
        {{{root, elsewhere}}, {elsewhere}},
        {{{root}, {root}}, {}},
    };
    for (const auto& [looks, appeared] : steps) {
        for (const auto& look : looks) {
            seen.forgetGone(look);
        }
        EXPECT_EQ(seen.appeared(looks.back()), appeared) << looks.size();
    }
}

// The stick waited for is found at any mount path and wherever its program folder went
// on it; another stick with a program folder of its own, or none, is not.
TEST_F(OnPlug, TheStickIsFoundAtAnyMountPathAndNoOtherIs) {
    const std::string ours = "0123456789ABCDEF0123456789ABCDEF";
    const OnPlugState state{ours, "Verdaline" + std::string(1, kSeparator), {}};
    stickWithNumber("a/Verdaline/", ours);
    stickWithNumber("b/Verdaline/", "FEDCBA9876543210FEDCBA9876543210");
    stickWithNumber("c/Другая папка/", ours);
    stickWithNumber("d/", ours);
    tree.makeFolder("e");
    const auto mount = [&](const char* folder, const char* type = "fuseblk") {
        std::string point = tree.path(folder);
        return Mount{folder, point, type};
    };
    const struct {
        std::vector<Mount> mounts;
        std::vector<std::string> found;
    } cases[] = {
        {{mount("a"), mount("b"), mount("e")}, {tree.path("a/Verdaline/")}},
        {{mount("c"), mount("e")}, {tree.path("c/Другая папка/")}},
        {{mount("d", "vfat")}, {tree.root() + "d" + kSeparator}},
        {{mount("b"), mount("e"), mount("a", "proc")}, {}},
    };
    for (const auto& [mounts, found] : cases) {
        EXPECT_EQ(stickFoldersAmong(platform, mounts, state), found) << mounts.front().point;
    }
    std::filesystem::rename(testing::fsPath(tree.path("a")), testing::fsPath(tree.path("moved")));
    EXPECT_EQ(stickFoldersAmong(platform, {mount("moved")}, state),
              std::vector<std::string>{tree.path("moved/Verdaline/")});
}

#ifndef _WIN32
// A stick with a window open on its program folder is left to the window; the mark of a
// window that was killed counts for nothing and goes.
TEST_F(OnPlug, StickWithAnOpenWindowIsLeftToIt) {
    setEnvironment("XDG_RUNTIME_DIR", tree.path("run"));
    tree.makeFolder("run");
    const std::string folder = tree.path("stick/");
    markWindowOpen(folder);
    EXPECT_TRUE(windowOpenOn(folder));
    EXPECT_FALSE(windowOpenOn(tree.path("other/")));
    unmarkWindowOpen();
    EXPECT_FALSE(windowOpenOn(folder));
    tree.write("run/verdaline-window.999999999", folder);
    EXPECT_FALSE(windowOpenOn(folder));
    EXPECT_FALSE(tree.exists("run/verdaline-window.999999999"));
}
#endif

// The watcher's run is the one of "verdaline-cli sync": the edit travels, the report says
// so and the notice tells it; a stick gone during the run and a computer the stick does
// not know are told in words.
TEST_F(OnPlug, RunOnPlugSynchronisesAndTellsWhatTravelled) {
    const std::string stick = tree.path("stick/");
    tree.write("pc/План.txt", "первая");
    tree.makeFolder("stick");
    ASSERT_EQ(cli(stick, {"register", "Офисный"}), 0);
    ASSERT_EQ(cli(stick, {"add", tree.path("pc/План.txt")}), 0);
    ASSERT_EQ(cli(stick, {"sync"}), 0);
    tree.write("pc/План.txt", "вторая правка");
    OnPlugState state{ensureStickNumber(platform, WorkArea(stick)), {}, {}};

    PlugNotice notice = synchroniseOnPlug(platform, clock, stick, platform.mountPointOf(stick), state);
    EXPECT_EQ(tree.read("stick/Файлы с компьютера_Офисный/План.txt"), "вторая правка");
    EXPECT_EQ(notice.summary, "Verdaline: файлы синхронизированы");
    const std::string report = WorkArea(stick).reportFile("Офисный");
    EXPECT_EQ(notice.body, "На флешку: 1, на компьютер: 0.\nОтчет: " + report);
    EXPECT_NE(readListFile(platform, report)->front().find("Обновлен с компьютера на флешку"),
              std::string::npos);
    EXPECT_EQ(state.lastSynchronised, clock.stamp + ", " + stick + ": На флешку: 1, на компьютер: 0.");

    // Pulled as the run starts: its folders cannot be made where the stick was.
    tree.write("pc/План.txt", "третья");
    const WorkArea area(stick);
    std::filesystem::remove_all(testing::fsPath(area.oldFilesFolder("Офисный")));
    platform.failMakeFolder[area.oldFilesFolder("Офисный")] = testing::kNoFolder;
    const std::string mountPoint = platform.mountPointOf(stick);
    platform.mountedAt = tree.path("elsewhere");
    notice = synchroniseOnPlug(platform, clock, stick, mountPoint, state);
    EXPECT_EQ(notice.summary, "Verdaline: синхронизация не выполнена");
    EXPECT_EQ(notice.body, texts::stickPulled());
    EXPECT_EQ(tree.read("stick/Файлы с компьютера_Офисный/План.txt"), "вторая правка");
    platform.mountedAt.reset();

    platform.serial = {0x55555555, 0};
    notice = synchroniseOnPlug(platform, clock, stick, platform.mountPointOf(stick), state);
    EXPECT_EQ(notice.summary, "Verdaline: компьютер не зарегистрирован");
    EXPECT_EQ(tree.read("stick/Файлы с компьютера_Офисный/План.txt"), "вторая правка");
}

// Turning it on writes the start entry and the watcher's folder and nothing else; status
// tells the stick and the watcher; turning it off stops the watcher and leaves nothing.
TEST_F(OnPlug, TurningOnWritesOnlyItsTwoPlacesAndTurningOffRemovesThem) {
#ifdef _WIN32
    setEnvironment("LOCALAPPDATA", tree.path("local"));
#else
    setEnvironment("XDG_CONFIG_HOME", tree.path("config"));
    setEnvironment("XDG_DATA_HOME", tree.path("data"));
#endif
    const OnPlugPlaces places = onPlugPlaces();
    const std::string stick = tree.path("stick/");
    tree.makeFolder("stick");
    EXPECT_EQ(cli(stick, {"on-plug", "on"}), 2);  // no watcher beside the program
    EXPECT_FALSE(onPlugIsOn(platform, places));
    EXPECT_FALSE(platform.isFolder(places.dataFolder));

    std::filesystem::copy_file(VERDALINE_WATCHER, testing::fsPath(stick + watcherFileName()));
    ASSERT_EQ(cli(stick, {"on-plug", "on"}), 0) << err.str();
    EXPECT_NE(out.str().find(places.startEntry), std::string::npos) << out.str();
    EXPECT_TRUE(onPlugIsOn(platform, places));
    const auto state = readOnPlugState(platform, places);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->stickNumber, readStickNumber(platform, WorkArea(stick)));
    EXPECT_EQ(tree.read("stick/" + watcherFileName()),
              tree.read(places.watcher().substr(tree.root().size())));
#ifndef _WIN32
    EXPECT_EQ(tree.read("config/autostart/verdaline-on-plug.desktop"), startEntryText(places.watcher()));
    EXPECT_NE(startEntryText("/home/u/$x \"y\"").find("Exec=\"/home/u/\\\\$x \\\\\"y\\\\\"\""),
              std::string::npos);
#endif
    ASSERT_EQ(cli(stick, {"on-plug", "status"}), 0);
    EXPECT_NE(
        out.str().find("включена\nЖдет флешку с номером: " + state->stickNumber + "\nНаблюдатель: работает"),
        std::string::npos)
        << out.str();

    ASSERT_EQ(cli(stick, {"on-plug", "off"}), 0);
    EXPECT_FALSE(watcherRunning(places));
    EXPECT_FALSE(hasStartEntry(places));
    EXPECT_FALSE(platform.isFolder(places.dataFolder));
#ifndef _WIN32
    EXPECT_FALSE(tree.exists("config/autostart")) << tree.dump();
#endif
    ASSERT_EQ(cli(stick, {"on-plug", "status"}), 0);
    EXPECT_EQ(out.str(), "Синхронизация при подключении флешки: выключена\n");
}

#ifndef _WIN32  // a shell script stands for the watcher
// The window refreshes the installed watcher only from a newer one with other bytes.
TEST_F(OnPlug, InstalledWatcherIsRefreshedOnlyFromANewerOne) {
    OnPlugPlaces places{tree.path("autostart.desktop"), tree.path("data/")};
    const std::string source = tree.path("stick/verdaline-watcher");
    const struct {
        const char* installed;
        const char* beside;
        std::time_t besideTime;
        bool refreshed;
    } cases[] = {
        {"#!/bin/sh\n#1\n", "#!/bin/sh\n#2\n", 2000000000, true},
        {"#!/bin/sh\n#1\n", "#!/bin/sh\n#1\n", 2000000000, false},
        {"#!/bin/sh\n#1\n", "#!/bin/sh\n#2\n", 1000000000, false},
    };
    for (const auto& [installed, beside, besideTime, refreshed] : cases) {
        tree.write({{"autostart.desktop", "[Desktop Entry]\n"},
                    {"data/verdaline-watcher", installed, 1500000000},
                    {"stick/verdaline-watcher", beside, besideTime}});
        EXPECT_EQ(refreshInstalledWatcher(platform, places, source), refreshed) << beside << besideTime;
        EXPECT_EQ(tree.read("data/verdaline-watcher"), refreshed ? beside : installed);
    }
}
#endif

}  // namespace
}  // namespace verdaline
