#include "list_file.h"

#include <gtest/gtest.h>

#include "errors.h"
#include "temp_tree.h"
#include "test_platform.h"

namespace verdaline {
namespace {

using testing::failureOf;
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

// Code page 1251 with CR LF after every line; a missing file or a folder is no list;
// a line the code page cannot carry is refused before anything is written; failures
// name the path and the reason.
TEST(ListFile, WrittenAsCp1251AndFailuresNameThePath) {
    TempTree tree;
    TestPlatform platform;
    writeListFile(platform, tree.path("list.txt"), {"/home/я/План.doc", "", "x"});
    EXPECT_EQ(tree.read("list.txt"), "/home/\xFF/\xCF\xEB\xE0\xED.doc\r\n\r\nx\r\n");
    writeListFile(platform, tree.path("empty.txt"), {});
    EXPECT_EQ(tree.read("empty.txt"), "");
    tree.makeFolder("folder.txt");
    EXPECT_EQ(readListFile(platform, tree.path("none.txt")), std::nullopt);
    EXPECT_EQ(readListFile(platform, tree.path("folder.txt")), std::nullopt);

    EXPECT_NE(failureOf([&] { writeListFile(platform, tree.path("list.txt"), {"/a/ok.txt", "/a/café.txt"}); })
                  .find("/a/café.txt"),
              std::string::npos);
    EXPECT_EQ(tree.read("list.txt"), "/home/\xFF/\xCF\xEB\xE0\xED.doc\r\n\r\nx\r\n");
    EXPECT_EQ(tree.files().size(), 2u) << tree.dump();
    platform.failRead[tree.path("list.txt")] = EIO;
    EXPECT_EQ(failureOf([&] { readListFile(platform, tree.path("list.txt")); }),
              "Cannot open file \"" + tree.path("list.txt") + "\". " + systemReason(EIO) + ". " +
                  errorInWords(EIO));
    EXPECT_EQ(failureOf([&] { writeListFile(platform, tree.path("no folder/list.txt"), {"a"}); }),
              "Cannot create file \"" + tree.path("no folder/list.txt") + "\". " +
                  systemReason(testing::kNoFolder) + ". " + errorInWords(testing::kNoFolder));
}

}  // namespace
}  // namespace verdaline
