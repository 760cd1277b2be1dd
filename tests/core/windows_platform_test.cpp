// Where Windows differs: its error numbers, its volume serial, its file attributes and
// its UTF-16 file names.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "computers.h"
#include "copy_run.h"
#include "errors.h"
#include "temp_tree.h"
#include "test_platform.h"

namespace verdaline {
namespace {

using testing::fsPath;
using testing::TempTree;

TEST(WindowsPlatform, DiskNumberIsTheSerialOfDriveCTwice) {
    DWORD serial = 0;
    ASSERT_TRUE(::GetVolumeInformationW(L"C:\\", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0));
    char half[9];
    std::snprintf(half, sizeof half, "%08X", static_cast<unsigned>(serial));
    WindowsPlatform platform;
    EXPECT_EQ(diskNumberOf(platform.systemVolumeSerial()), std::string(half) + half);
}

// 3 for a path whose folder is missing, 5 for a read-only target or a folder: in the
// report lines and in the folder messages, as the Windows program shows them.
TEST(WindowsPlatform, MissingFolderIsThreeAndReadOnlyTargetIsFive) {
    TempTree tree;
    tree.write({{"src.txt", "new", 1700000000}, {"ro.txt", "old", 1600000000}});
    ASSERT_TRUE(::SetFileAttributesW(fsPath(tree.path("ro.txt")).c_str(), FILE_ATTRIBUTE_READONLY));
    tree.makeFolder("folder");
    WindowsPlatform platform;
    EXPECT_EQ(platform.copyFile(tree.path("src.txt"), tree.path("no/x.txt"), CopyMode::FromSource), 3);
    EXPECT_EQ(platform.copyFile(tree.path("src.txt"), tree.path("ro.txt"), CopyMode::OnComputer), 5);
    EXPECT_EQ(platform.copyFile(tree.path("folder"), tree.path("x.txt"), CopyMode::FromSource), 5);
    EXPECT_EQ(platform.copyFile(tree.path("src.txt"), tree.path("folder"), CopyMode::FromSource), 5);
    EXPECT_EQ(folderErrorText(platform.makeFolder(tree.path("no/b"))), "Invalid filename");
    EXPECT_EQ(folderErrorText(platform.makeFolder(tree.path("src.txt"))), "I/O error 183");
    EXPECT_EQ(tree.read("ro.txt"), "old");

    testing::FixedClock clock;
    const WorkArea area(tree.root());
    const RunRequest request{RunKind::ToComputer, "Офисный", {tree.path("no/x.txt"), tree.path("ro.txt")},
                             {tree.path("src.txt"), tree.path("src.txt")}, false, {}, {}};
    const RunResult result = runCopy(platform, area, clock, request);
    EXPECT_EQ(reportLineAt(request, result, 0), "Ошибка 3 Файл N1   " + tree.path("src.txt"));
    EXPECT_EQ(reportLineAt(request, result, 1), "Ошибка 5 Файл N2   " + tree.path("src.txt"))
        << result.failure.value_or("");
    EXPECT_EQ(tree.read("ro.txt"), "old");
}

// A kept version of a long name lies deeper than 260 characters: made, copied, dated and
// on the same volume all the same.
TEST(WindowsPlatform, PathsLongerThan260CharactersAreOpened) {
    TempTree tree;
    tree.write({{"src.txt", "content", 1700000000}});
    WindowsPlatform platform;
    std::vector<std::string> folders = {tree.path(std::string(100, 'a'))};
    folders.push_back(folders.back() + "\\" + std::string(100, 'b'));
    folders.push_back(folders.back() + "\\" + std::string(100, 'c'));
    for (const auto& folder : folders) {
        ASSERT_EQ(platform.makeFolder(folder), 0) << folder.size();
    }
    const std::string target = folders.back() + "\\Отчет (конфликт 2026-12-07 16-20).txt";
    EXPECT_EQ(platform.copyFile(tree.path("src.txt"), target, CopyMode::Backup), 0);  // its date checked
    EXPECT_EQ(platform.mountPointOf(target), platform.mountPointOf(tree.path("src.txt")));
    EXPECT_EQ(platform.removeFile(target), 0);
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        EXPECT_TRUE(::RemoveDirectoryW((L"\\\\?\\" + fsPath(*folder).wstring()).c_str()));
    }
}

// The copy keeps the source's date and attributes and leaves no temporary file.
TEST(WindowsPlatform, CopyKeepsDateAndAttributesThroughAHiddenTemporaryFile) {
    TempTree tree;
    tree.write({{"src.txt", "content", 1700000000}, {"dst.txt", "old"}});
    ::SetFileAttributesW(fsPath(tree.path("src.txt")).c_str(), FILE_ATTRIBUTE_READONLY);
    WindowsPlatform platform;
    EXPECT_EQ(platform.copyFile(tree.path("src.txt"), tree.path("dst.txt"), CopyMode::Backup), 0);
    EXPECT_EQ(platform.modificationDate(tree.path("dst.txt")), platform.modificationDate(tree.path("src.txt")));
    EXPECT_EQ(::GetFileAttributesW(fsPath(tree.path("dst.txt")).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(platform.copyFile(tree.path("src.txt"), tree.path("new.txt"), CopyMode::FromSource), 0);
    EXPECT_NE(::GetFileAttributesW(fsPath(tree.path("new.txt")).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    ::SetFileAttributesW(fsPath(tree.path("new.txt")).c_str(), FILE_ATTRIBUTE_NORMAL);
    ::SetFileAttributesW(fsPath(tree.path("src.txt")).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(tree.files(), (std::map<std::string, std::string>{
                                {"dst.txt", "content"}, {"new.txt", "content"}, {"src.txt", "content"}}));
    tree.write(".dst.txt.verdaline-part", "left by a killed run");
    platform.removeLeftovers(tree.root());
    EXPECT_FALSE(tree.exists(".dst.txt.verdaline-part"));
    EXPECT_EQ(platform.filesIn(tree.root()), (std::vector<std::string>{"dst.txt", "new.txt", "src.txt"}));
}

// A Cyrillic path through a list file and the file system is the end-to-end test's
// case, against the Linux program's files; a path in a drive's root has no folder.
TEST(WindowsPlatform, PathInADriveRootHasNoHoldingFolder) {
    EXPECT_EQ(holdingFolderOf("D:\\План.doc"), "");
}

}  // namespace
}  // namespace verdaline
