#include <algorithm>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "failing_syscalls.h"
#include "posix_platform.h"
#include "temp_tree.h"
#include "work_area.h"

namespace verdaline {
namespace {

using testing::FailingSyscalls;
using testing::TempTree;

// A list file or a report is replaced whole with its permission bits, or not at all:
// a write failing at any piece or a read-only file leaves it as it was, and a
// temporary file left by a killed run is replaced by the next write.
TEST(SafeWrite, ReplacesWholeOrLeavesTheFileAsItWas) {
    TempTree tree;
    tree.write("list.txt", std::string(5000, 'o'));
    tree.write(".list.txt.verdaline-part", "half");
    ::chmod(tree.path(".list.txt.verdaline-part").c_str(), 0444);
    FailingSyscalls sys;
    PosixPlatform platform(sys);
    sys.failWriteNumber = 2;
    int pieces = 0;
    EXPECT_EQ(platform.writeFileInPieces(tree.path("list.txt"), [&] { return ++pieces < 3 ? "new" : ""; }),
              ENOSPC);
    EXPECT_EQ(tree.files(), (std::map<std::string, std::string>{{"list.txt", std::string(5000, 'o')}}));
    ::chmod(tree.path("list.txt").c_str(), 0444);
    EXPECT_EQ(platform.writeFile(tree.path("list.txt"), "new\r\n"), EACCES);
    ::chmod(tree.path("list.txt").c_str(), 0640);
    EXPECT_EQ(platform.writeFile(tree.path("list.txt"), "new\r\n"), 0);
    EXPECT_EQ(tree.files(), (std::map<std::string, std::string>{{"list.txt", "new\r\n"}})) << tree.dump();
    struct stat st {};
    ::stat(tree.path("list.txt").c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// The real platform layer, not the test's double: the volume serial, the files of a
// folder as a file manager lists them, and mount points.
TEST(PlatformQueries, SerialFilesAndMountPoints) {
    TempTree tree;
    tree.write(
        {{"b.txt", ""}, {"А.doc", ""}, {"a.txt", ""}, {".hidden", ""}, {"sub/inner.txt", ""}, {"я.txt", ""}});
    PosixPlatform platform;
    EXPECT_EQ(platform.filesIn(tree.root()), (std::vector<std::string>{"a.txt", "b.txt", "А.doc", "я.txt"}));
    EXPECT_TRUE(platform.filesIn(tree.path("missing")).empty());
    EXPECT_TRUE(platform.isFolder(tree.path("sub")));
    EXPECT_FALSE(platform.isFile(tree.path("sub")));
    EXPECT_FALSE(platform.isFile(""));
    EXPECT_TRUE(platform.systemVolumeSerial().value.has_value());
    EXPECT_GT(platform.freeSpace(tree.root()).value_or(0), 0u);
    EXPECT_EQ(platform.freeSpace(tree.path("missing")), std::nullopt);
    const std::string mount = platform.mountPointOf(tree.root());
    EXPECT_EQ(tree.root().rfind(mount == "/" ? "/" : mount + "/", 0), 0u) << mount;
    EXPECT_EQ(platform.mountPointOf("/"), "/");
    EXPECT_EQ(platform.mountPointOf("/proc/self/"), "/proc");
    // A held folder replaced meanwhile does not hide a file at the path.
    const Platform::FolderScope looking(platform, tree.path("sub"));
    EXPECT_TRUE(platform.stateOf(tree.path("sub/inner.txt")).exists);
    ASSERT_EQ(::rename(tree.path("sub").c_str(), tree.path("old").c_str()), 0);
    tree.write({{"sub/new.txt", ""}});
    EXPECT_TRUE(platform.stateOf(tree.path("sub/new.txt")).exists);
}

// The copy keeps the source's date; its permission bits depend on where it goes, and
// the umask does not take from them.
TEST(SafeCopy, CopyKeepsTheDateAndGivesEachPlaceItsPermissions) {
    TempTree tree;
    const mode_t mask = ::umask(022);
    struct Case {
        CopyMode mode;
        mode_t source;
        int existingTarget;  // -1: no target yet
        mode_t expected;
    };
    for (const Case c :
         {Case{CopyMode::FromSource, 0770, -1, 0770}, Case{CopyMode::OnComputer, 0777, 0660, 0660},
          Case{CopyMode::OnComputer, 0777, -1, 0644}, Case{CopyMode::Backup, 0444, 0644, 0644}}) {
        tree.write("src.txt", "content");
        tree.setTime("src.txt", 1700000000, 123456789);
        ::chmod(tree.path("src.txt").c_str(), c.source);
        ::unlink(tree.path("dst.txt").c_str());
        if (c.existingTarget >= 0) {
            tree.write("dst.txt", "old");
            ::chmod(tree.path("dst.txt").c_str(), static_cast<mode_t>(c.existingTarget));
        }
        PosixPlatform platform;
        EXPECT_EQ(platform.copyFile(tree.path("src.txt"), tree.path("dst.txt"), c.mode), 0);
        EXPECT_EQ(tree.read("dst.txt"), "content");
        struct stat st {};
        ::stat(tree.path("dst.txt").c_str(), &st);
        EXPECT_EQ(st.st_mtim.tv_sec, 1700000000);
        EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
        EXPECT_EQ(st.st_mode & 07777, c.expected) << static_cast<int>(c.mode);
    }
    ::umask(mask);
}

// A copy that fails half-way, at the flush or at the rename leaves the old target
// byte for byte, and no temporary file.
TEST(SafeCopy, FailureLeavesTheTargetByteIdentical) {
    TempTree tree;
    tree.write("src.bin", std::string(3 << 20, 's'));  // three writes of 1 MiB
    tree.setTime("src.bin", 1700000000);
    tree.write("dst.bin", "old target");
    for (int step = 0; step < 6; ++step) {
        FailingSyscalls sys;
        const int expected[] = {ENOSPC, EPERM, EIO, EIO, EIO, EBUSY};
        sys.failWriteNumber = step == 0 ? 2 : 0;
        sys.futimensError = step == 1 ? EPERM : 0;
        sys.ignoreTimes = step == 2;  // the date did not hold
        sys.fsyncError = step == 3 ? EIO : 0;
        sys.renameError = step == 4 ? EIO : 0;
        sys.editOnRead = step == 5 ? tree.path("src.bin") : "";
        PosixPlatform platform(sys);
        EXPECT_EQ(platform.copyFile(tree.path("src.bin"), tree.path("dst.bin"), CopyMode::FromSource),
                  expected[step]);
        EXPECT_TRUE(tree.read("dst.bin") == "old target") << "step " << step;
        EXPECT_EQ(tree.files().size(), 2u) << tree.dump();
    }
}

// Only regular files are copied: a pipe or a device fails at once instead of hanging
// the run or filling the stick. A refused copy writes nothing, and a move never
// replaces another file, even one whose name differs in letter case alone. Calls
// interrupted by a signal are made again.
TEST(SafeCopy, OnlyRegularFilesAreCopiedOrReplaced) {
    TempTree tree;
    tree.write("src.txt", "new");
    tree.write("ro.txt", "old");
    tree.write("SRC.txt", "other");
    ::chmod(tree.path("ro.txt").c_str(), 0444);
    tree.makeFolder("folder");
    ::mkfifo(tree.path("pipe").c_str(), 0644);
    FailingSyscalls sys;
    sys.interruptEach = true;
    PosixPlatform platform(sys);
    const std::string src = tree.path("src.txt");
    const std::pair<std::pair<std::string, std::string>, int> cases[] = {
        {{src, tree.path("ro.txt")}, EACCES},
        {{tree.path("none.txt"), tree.path("x.txt")}, ENOENT},
        {{tree.path("folder"), tree.path("x.txt")}, EISDIR},
        {{src, tree.path("folder")}, EISDIR},
        {{src, tree.path("no/x.txt")}, ENOENT},
        {{src, ""}, ENOENT},
        {{tree.path("pipe"), tree.path("x.txt")}, EINVAL},
        {{"/dev/zero", tree.path("x.txt")}, EINVAL},
        {{src, tree.path("pipe")}, EINVAL},
    };
    for (const auto& [paths, error] : cases) {
        EXPECT_EQ(platform.copyFile(paths.first, paths.second, CopyMode::FromSource), error) << paths.first;
    }
    EXPECT_EQ(sys.writes, 0);
    EXPECT_EQ(platform.moveFile(src, tree.path("SRC.txt")), EEXIST);
    EXPECT_EQ(tree.read("ro.txt"), "old");
    EXPECT_FALSE(tree.exists("x.txt"));
    EXPECT_EQ(platform.copyFile(src, src, CopyMode::FromSource), 0);  // onto itself: kept
    std::string bytes;
    EXPECT_EQ(platform.readFile(tree.path("pipe"), bytes), EINVAL);
    EXPECT_EQ(platform.readFile(src, bytes), 0);
    EXPECT_EQ(bytes, "new");
}

std::vector<int> errorsOf(const std::vector<Copied>& copies) {
    std::vector<int> errors(copies.size());
    std::transform(copies.begin(), copies.end(), errors.begin(), [](const Copied& c) { return c.error; });
    return errors;
}

// A listed symbolic link is written through: its file gets the copy, the link stays,
// and the link's date is its file's. The copies of a run wait with their targets shown
// as pending until one flush finishes them in order; a copy to a pending target, by
// any link or spelling of its folder, finishes the earlier one first, and a failed copy
// takes no later copy down with it unless the two are tied.
TEST(SafeCopy, CopiesGoThroughLinksAndFinishInOrder) {
    TempTree tree;
    tree.write({{"sub/a.txt", "a", 1700000000}, {"b.txt", "b", 1700000004}, {"t.txt", "old"}});
    ::symlink("../t.txt", tree.path("sub/link.txt").c_str());
    FailingSyscalls sys;
    PosixPlatform platform(sys);
    EXPECT_EQ(platform.copyFile(tree.path("b.txt"), tree.path("sub/link.txt"), CopyMode::OnComputer), 0);
    EXPECT_EQ(platform.modificationDate(tree.path("sub/link.txt")), fileDateOf(1700000004));
    EXPECT_EQ(platform.startCopy(tree.path("sub/a.txt"), tree.path("t.txt"), CopyMode::FromSource), 0);
    EXPECT_TRUE(platform.stateOf(tree.path("sub/link.txt")).pending);
    EXPECT_FALSE(platform.stateOf(tree.path("sub/a.txt")).pending);
    EXPECT_EQ(platform.startCopy(tree.path("b.txt"), tree.path("sub/link.txt"), CopyMode::FromSource), 0);
    const std::vector<Copied> done = platform.finishCopies();
    EXPECT_EQ(errorsOf(done), (std::vector<int>{0, 0}));
    // A copy tells the date its target holds and the digest of the bytes it wrote.
    Digest b;
    EXPECT_EQ(platform.digestOf(tree.path("b.txt"), b), 0);
    EXPECT_EQ(done.at(1).digest, b);
    EXPECT_EQ(done.at(1).time, platform.stateOf(tree.path("t.txt")).time());
    EXPECT_EQ(done.at(1).sourceTime, platform.stateOf(tree.path("b.txt")).time());
    sys.renameError = EIO;
    EXPECT_EQ(platform.startCopy(tree.path("sub/a.txt"), tree.path("t.txt"), CopyMode::FromSource), 0);
    EXPECT_EQ(platform.startCopy(tree.path("b.txt"), tree.path("t.txt"), CopyMode::FromSource), 0);
    EXPECT_EQ(platform.startCopy(tree.path("sub/a.txt"), tree.path("t.txt"), CopyMode::FromSource, true),
              EIO);
    EXPECT_EQ(errorsOf(platform.finishCopies()), (std::vector<int>{EIO, EIO}));
    EXPECT_EQ(tree.files(), (std::map<std::string, std::string>{
                                {"b.txt", "b"}, {"sub/a.txt", "a"}, {"sub/link.txt", "b"}, {"t.txt", "b"}}));
    struct stat st {};
    ::lstat(tree.path("sub/link.txt").c_str(), &st);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

// A name near the length limit still has room for its temporary name, which stays
// recognisable so that a later run can remove it.
TEST(SafeCopy, TemporaryNameFitsWhereTheTargetsNameFits) {
    for (const std::string& name : {std::string("a.txt"), std::string(239, 'x'), std::string(255, 'y')}) {
        const std::string temporary = fileNameOf(temporaryPathFor("/stick/" + name));
        EXPECT_LE(temporary.size(), 255u);
        EXPECT_TRUE(isTemporaryName(temporary)) << temporary;
    }
    EXPECT_FALSE(isTemporaryName("..verdaline-part"));  // what an empty name would give
}

}  // namespace
}  // namespace verdaline
