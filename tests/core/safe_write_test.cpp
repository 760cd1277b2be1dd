#include <gtest/gtest.h>
#include <sys/stat.h>

#include "failing_syscalls.h"
#include "posix_platform.h"
#include "temp_tree.h"

namespace verdaline {
namespace {

using testing::FailingSyscalls;
using testing::TempTree;

TEST(SafeWrite, FailureAtAnyStepLeavesTheTargetAsItWasAndNoTemporaryFile) {
    TempTree tree;
    tree.write("list.txt", "old\r\n");
    FailingSyscalls sys;
    PosixPlatform platform(sys);
    sys.failWriteNumber = 1;
    EXPECT_EQ(platform.writeFile(tree.path("list.txt"), "new\r\n"), ENOSPC);
    sys.failWriteNumber = 0;
    sys.fsyncError = EIO;
    EXPECT_EQ(platform.writeFile(tree.path("list.txt"), "new\r\n"), EIO);
    sys.fsyncError = 0;
    sys.renameError = EXDEV;
    EXPECT_EQ(platform.writeFile(tree.path("list.txt"), "new\r\n"), EXDEV);

    EXPECT_EQ(tree.files(), (std::map<std::string, std::string>{{"list.txt", "old\r\n"}})) << tree.dump();
}

TEST(SafeWrite, ReplacesWholeAndKeepsTheFilesPermissions) {
    TempTree tree;
    tree.write("list.txt", std::string(5000, 'o'));
    ::chmod(tree.path("list.txt").c_str(), 0640);
    PosixPlatform platform;
    EXPECT_EQ(platform.writeFile(tree.path("list.txt"), "new\r\n"), 0);
    EXPECT_EQ(tree.read("list.txt"), "new\r\n");
    struct stat st {};
    ::stat(tree.path("list.txt").c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(SafeWrite, ReadOnlyTargetIsNotReplaced) {
    TempTree tree;
    tree.write("list.txt", "old\r\n");
    ::chmod(tree.path("list.txt").c_str(), 0444);
    PosixPlatform platform;
    EXPECT_EQ(platform.writeFile(tree.path("list.txt"), "new\r\n"), EACCES);
    EXPECT_EQ(tree.read("list.txt"), "old\r\n");
}

// A temporary file left behind by a killed run is replaced by the next write.
TEST(SafeWrite, LeftoverTemporaryFileIsReplaced) {
    TempTree tree;
    tree.write(".list.txt.verdaline-part", "half");
    ::chmod(tree.path(".list.txt.verdaline-part").c_str(), 0444);
    PosixPlatform platform;
    EXPECT_EQ(platform.writeFile(tree.path("list.txt"), "new\r\n"), 0);
    EXPECT_EQ(tree.files(), (std::map<std::string, std::string>{{"list.txt", "new\r\n"}})) << tree.dump();
}

TEST(PlatformQueries, FilesInListsVisibleFilesSortedWithoutFolders) {
    TempTree tree;
    tree.write(
        {{"b.txt", ""}, {"А.doc", ""}, {"a.txt", ""}, {".hidden", ""}, {"sub/inner.txt", ""}, {"я.txt", ""}});
    PosixPlatform platform;
    EXPECT_EQ(platform.filesIn(tree.root()), (std::vector<std::string>{"a.txt", "b.txt", "А.doc", "я.txt"}));
    EXPECT_TRUE(platform.filesIn(tree.path("missing")).empty());
    EXPECT_TRUE(platform.isFolder(tree.path("sub")));
    EXPECT_FALSE(platform.isFile(tree.path("sub")));
    EXPECT_FALSE(platform.isFile(""));
}

TEST(PlatformQueries, MountPointOfAFolderIsOnItsFileSystem) {
    TempTree tree;
    PosixPlatform platform;
    const std::string mount = platform.mountPointOf(tree.root());
    EXPECT_EQ(tree.root().rfind(mount == "/" ? "/" : mount + "/", 0), 0u) << mount;
    EXPECT_EQ(platform.mountPointOf("/"), "/");
    EXPECT_EQ(platform.mountPointOf("/proc/self/"), "/proc");
}

}  // namespace
}  // namespace verdaline
