#include <gtest/gtest.h>
#include <sys/stat.h>

#include "failing_syscalls.h"
#include "posix_platform.h"
#include "temp_tree.h"

namespace verdaline {
namespace {

using testing::FailingSyscalls;
using testing::TempTree;

TEST(SafeWrite, FailureLeavesTheTargetAsItWasAndNoTemporaryFile) {
    TempTree tree;
    tree.write("list.txt", "old\r\n");
    FailingSyscalls sys;
    PosixPlatform platform(sys);
    sys.failWriteNumber = 1;
    EXPECT_EQ(platform.writeFile(tree.path("list.txt"), "new\r\n"), ENOSPC);
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

namespace verdaline {
namespace {

using testing::FailingSyscalls;
using testing::TempTree;

TEST(SafeCopy, CopyKeepsContentModificationTimeAndPermissions) {
    TempTree tree;
    tree.write("src.txt", "content");
    tree.setTime("src.txt", 1700000000, 123456789);
    ::chmod(tree.path("src.txt").c_str(), 0750);
    PosixPlatform platform;
    EXPECT_EQ(platform.copyFile(tree.path("src.txt"), tree.path("dst.txt")), 0);
    EXPECT_EQ(tree.read("dst.txt"), "content");
    struct stat st {};
    ::stat(tree.path("dst.txt").c_str(), &st);
    EXPECT_EQ(st.st_mtim.tv_sec, 1700000000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
    EXPECT_EQ(st.st_mode & 07777, 0750u);
}

// A copy that fails half-way, at the flush or at the rename leaves the old target
// byte for byte, and no temporary file.
TEST(SafeCopy, FailureLeavesTheTargetByteIdentical) {
    TempTree tree;
    tree.write("src.bin", std::string(3 << 20, 's'));  // three writes of 1 MiB
    tree.write("dst.bin", "old target");
    FailingSyscalls sys;
    PosixPlatform platform(sys);
    sys.failWriteNumber = 2;
    EXPECT_EQ(platform.copyFile(tree.path("src.bin"), tree.path("dst.bin")), ENOSPC);
    sys.failWriteNumber = 0;
    sys.futimensError = EPERM;
    EXPECT_EQ(platform.copyFile(tree.path("src.bin"), tree.path("dst.bin")), EPERM);
    sys.futimensError = 0;
    sys.fsyncError = EIO;
    EXPECT_EQ(platform.copyFile(tree.path("src.bin"), tree.path("dst.bin")), EIO);
    sys.fsyncError = 0;
    sys.renameError = EIO;
    EXPECT_EQ(platform.copyFile(tree.path("src.bin"), tree.path("dst.bin")), EIO);
    EXPECT_EQ(tree.read("dst.bin"), "old target");
    EXPECT_EQ(tree.files().size(), 2u) << tree.dump();
}

TEST(SafeCopy, ReadOnlyTargetMissingSourceAndFoldersFail) {
    TempTree tree;
    tree.write("src.txt", "new");
    tree.write("ro.txt", "old");
    ::chmod(tree.path("ro.txt").c_str(), 0444);
    tree.makeFolder("folder");
    PosixPlatform platform;
    EXPECT_EQ(platform.copyFile(tree.path("src.txt"), tree.path("ro.txt")), EACCES);
    EXPECT_EQ(tree.read("ro.txt"), "old");
    EXPECT_EQ(platform.copyFile(tree.path("none.txt"), tree.path("x.txt")), ENOENT);
    EXPECT_EQ(platform.copyFile(tree.path("folder"), tree.path("x.txt")), EISDIR);
    EXPECT_EQ(platform.copyFile(tree.path("src.txt"), tree.path("folder")), EISDIR);
    EXPECT_EQ(platform.copyFile(tree.path("src.txt"), tree.path("no/x.txt")), ENOENT);
    EXPECT_EQ(platform.copyFile(tree.path("src.txt"), ""), ENOENT);
    EXPECT_FALSE(tree.exists("x.txt"));
}

TEST(SafeCopy, CopyOntoItselfKeepsTheFile) {
    TempTree tree;
    tree.write("a.txt", "data");
    PosixPlatform platform;
    EXPECT_EQ(platform.copyFile(tree.path("a.txt"), tree.path("a.txt")), 0);
    EXPECT_EQ(tree.read("a.txt"), "data");
}

}  // namespace
}  // namespace verdaline
