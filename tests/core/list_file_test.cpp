#include "list_file.h"

#include <gtest/gtest.h>

#include "errors.h"
#include "temp_tree.h"
#include "test_platform.h"

namespace verdaline {
namespace {

using testing::cp1251Lines;
using testing::TempTree;
using testing::TestPlatform;

TEST(SplitLines, EveryLineEndCountsAndOneFinalEndAddsNothing) {
    EXPECT_EQ(splitLines(""), Lines{});
    EXPECT_EQ(splitLines("a"), Lines{"a"});
    EXPECT_EQ(splitLines("a\r\n"), Lines{"a"});
    EXPECT_EQ(splitLines("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(splitLines("a\rb\nc\r\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("\r\n"), Lines{""});
    EXPECT_EQ(splitLines("a\r\n\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(splitLines("\n\na"), (Lines{"", "", "a"}));
    EXPECT_EQ(splitLines("a\n\rb"), (Lines{"a", "", "b"}));  // LF then CR: two ends
    EXPECT_EQ(splitLines(" a \t\r\n"), Lines{" a \t"});
}

TEST(ListFile, WritesCodePage1251WithCrLfAfterEveryLine) {
    TempTree tree;
    TestPlatform platform;
    writeListFile(platform, tree.path("list.txt"), {"/home/я/План.doc", "", "x"});
    EXPECT_EQ(tree.read("list.txt"), "/home/\xFF/\xCF\xEB\xE0\xED.doc\r\n\r\nx\r\n");
    writeListFile(platform, tree.path("empty.txt"), {});
    EXPECT_EQ(tree.read("empty.txt"), "");
}

TEST(ListFile, MissingFileOrFolderReadsAsNoList) {
    TempTree tree;
    TestPlatform platform;
    tree.makeFolder("folder.txt");
    EXPECT_EQ(readListFile(platform, tree.path("none.txt")), std::nullopt);
    EXPECT_EQ(readListFile(platform, tree.path("folder.txt")), std::nullopt);
}

// Whatever a list file holds, it reads without harm and is written back byte for byte.
TEST(ListFile, AnyBytesSurviveAReadAndAWrite) {
    TempTree tree;
    TestPlatform platform;
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n') {
            bytes += static_cast<char>(b);
        }
    }
    bytes += "\r\n";
    bytes += std::string(100000, '\xC6');
    bytes += "\r\n\r\n";
    bytes += std::string("\0\x98\0", 3);  // no final line end
    tree.write("odd.txt", bytes);

    const auto lines = readListFile(platform, tree.path("odd.txt"));
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 4u);
    EXPECT_EQ((*lines)[1].size(), 200000u);  // two UTF-8 bytes per letter
    writeListFile(platform, tree.path("odd.txt"), *lines);
    EXPECT_EQ(tree.read("odd.txt"), bytes + "\r\n");
}

TEST(ListFile, LineOutsideTheCodePageIsRefusedBeforeAnythingIsWritten) {
    TempTree tree;
    TestPlatform platform;
    tree.write("list.txt", "old\r\n");
    EXPECT_NE(testing::failureOf([&] {
                  writeListFile(platform, tree.path("list.txt"), {"/home/a/ok.txt", "/home/a/café.txt"});
              }).find("/home/a/café.txt"),
              std::string::npos);
    EXPECT_EQ(tree.read("list.txt"), "old\r\n");
    EXPECT_EQ(tree.files().size(), 1u) << tree.dump();
}

TEST(ListFile, FailuresNameThePathAndTheReason) {
    TempTree tree;
    TestPlatform platform;
    tree.write("list.txt", cp1251Lines({"a"}));
    platform.failRead[tree.path("list.txt")] = EIO;
    EXPECT_EQ(testing::failureOf([&] { readListFile(platform, tree.path("list.txt")); }),
              "Cannot open file \"" + tree.path("list.txt") + "\". " + systemReason(EIO));
    EXPECT_EQ(testing::failureOf([&] { writeListFile(platform, tree.path("no folder/list.txt"), {"a"}); }),
              "Cannot create file \"" + tree.path("no folder/list.txt") + "\". " + systemReason(testing::kNoFolder));
}

}  // namespace
}  // namespace verdaline
