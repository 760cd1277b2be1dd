// Every kept version within reach: an entry's own, never one of a look-alike's, and one
// taken back lands on both sides, what it replaced kept, with nothing left to copy.
#include "versions.h"
#include "copy_run_fixture.h"

namespace verdaline {
namespace {

class Versions : public CopyRun {
protected:
    // A run on the lists as the stick keeps them, as the window and the command line make it.
    Ran sync(const std::string& who = "Офисный") {
        FileLists lists = readLists(platform, area, who).value();
        return planned({RunKind::Synchronise, who, lists.files, lists.flash, true, lists.states, {}});
    }
    std::vector<FileVersion> kept(std::size_t i, const std::string& who = "Офисный") {
        const FileLists lists = readLists(platform, area, who).value();
        return keptVersionsOf(platform, area, who, lists.files.at(i), lists.flash.at(i));
    }
    // The kept versions of entry i, newest first: kind and bytes.
    std::string shown(std::size_t i, const std::string& who = "Офисный") {
        std::string text;
        for (const auto& version : kept(i, who)) {
            text += versionKindText(version.kind) + ": " +
                    stick.read(version.path.substr(stick.root().size())) + "; ";
        }
        return text;
    }
    // The marks of a synchronisation planned now.
    std::string plan(const std::string& who = "Офисный") {
        const FileLists lists = readLists(platform, area, who).value();
        Planner planner(platform, area, RunKind::Synchronise, lists.files, lists.flash, lists.states);
        std::string marks;
        for (std::size_t i = 0; i < lists.files.size(); ++i) {
            marks += markOf(planner.entry(i).decision.outcome);
        }
        return marks;
    }
    void restore(std::size_t i, std::size_t version, const std::string& who = "Офисный") {
        const std::string path = readLists(platform, area, who).value().files.at(i);
        restoreVersion(platform, area, who, path, kept(i, who).at(version).path);
    }
};
INSTANTIATE_TEST_SUITE_P(Stick, Versions, kSticks,
                         [](const auto& p) { return p.param == Stick::Disk ? "Disk" : "ExFat"; });

TEST_P(Versions, EachEntryHasItsOwnAndTakesOneBackWhole) {
    const Lines names = {"План.doc", "b/План.doc", "План (2).doc", "Дом_План.doc"};
    Lines paths;
    for (const auto& name : names) {
        computer.write({{"pc/" + name, name + " v1", kOld}});
        paths.push_back(pc(name));
    }
    ASSERT_TRUE(addEntries(platform, area, "Офисный", {}, paths).notices.empty());
    sync();
    // Three replacements of each, then a conflict of the first: the stick's version kept.
    for (int v = 2; v <= 4; ++v) {
        for (const auto& name : names) {
            computer.write({{"pc/" + name, name + " v" + std::to_string(v), kOld + v * 10}});
        }
        sync();
    }
    computer.write({{"pc/План.doc", "План.doc office", kNew + 100}});
    stick.write({{kCopies + "План.doc", "План.doc home", kNew + 50}});
    EXPECT_EQ(sync().outcomes[0].kind, EntryOutcome::Kind::ConflictToFlash);
    const auto expectShown = [&] {
        EXPECT_EQ(shown(0),
                  "конфликт: План.doc home; замененная: План.doc v3; замененная: План.doc v2; "
                  "замененная: План.doc v1; ")
            << dump();
        for (std::size_t i = 1; i < names.size(); ++i) {
            EXPECT_EQ(shown(i), "замененная: " + names[i] + " v3; замененная: " + names[i] +
                                    " v2; замененная: " + names[i] + " v1; ")
                << dump();
        }
    };
    expectShown();
    // A stick whose old-files folder remembers nothing tells them by their names alike.
    const std::string memory = kOldFiles + ".verdaline-versions.txt";
    const std::string remembered = stick.read(memory);
    std::filesystem::remove(fsPath(stick.path(memory)));
    expectShown();
    stick.write(memory, remembered);

    // The conflict's version taken back over an edit: both versions it replaces are kept.
    computer.write({{"pc/План.doc", "План.doc edit", kNew + 200}});
    restore(0, 0);
    EXPECT_EQ(read("pc/План.doc"), "План.doc home");
    EXPECT_EQ(read(kCopies + "План.doc"), "План.doc home");
    EXPECT_TRUE(shown(0).starts_with(
        "с компьютера: План.doc edit; замененная: План.doc office; конфликт: План.doc home; "))
        << shown(0);
    EXPECT_EQ(plan(), "====");
    // Onto a computer whose file and folder were deleted: put back.
    std::filesystem::remove_all(fsPath(computer.path("pc/b")));
    restore(1, 2);
    EXPECT_EQ(read("pc/b/План.doc"), "b/План.doc v1");
    EXPECT_EQ(plan(), "====");
    // A removed entry's copy is its own when the same file comes back, and no other's.
    const auto swap = [&](const std::string& name) {
        removeEntry(platform, area, "Офисный", *readLists(platform, area, "Офисный"), 3);
        computer.write({{"pc/" + name, "another", kOld}});
        addEntries(platform, area, "Офисный", {}, {pc(name)});
    };
    swap("y/Дом_План.doc");  // takes the free copy name, none of the versions
    EXPECT_EQ(shown(3), "");
    swap("Дом_План.doc");
    EXPECT_TRUE(shown(3).starts_with("удаленная из списка: Дом_План.doc v4; замененная: Дом_План.doc v3;"))
        << shown(3);

    // A copy shared with another computer: its versions are the home's too, and one taken
    // back there travels to the office as a change of the stick.
    computer.write({{"pc/home/plan.doc", "home", kOld}});
    addFromFlash(platform, area, "Домашний", {}, flash("План (2).doc"), pc("home/plan.doc"));
    EXPECT_EQ(shown(0, "Домашний"), shown(2));
    restore(0, 1, "Домашний");
    EXPECT_EQ(read("pc/home/plan.doc"), "План (2).doc v2");
    EXPECT_EQ(plan("Домашний"), "=");
    EXPECT_EQ(plan(), "==<>");  // the entry added again has no copy yet
    // A kept version removed is gone, and nothing else.
    const auto before = kept(1);
    removeKeptVersion(platform, area, "Офисный", pc("b/План.doc"), before[0].path);
    EXPECT_EQ(kept(1).size(), before.size() - 1);
    EXPECT_FALSE(std::filesystem::exists(fsPath(before[0].path)));
    EXPECT_THROW(restoreVersion(platform, area, "Офисный", pc("b/План.doc"), before[0].path), Failure);
}

}  // namespace
}  // namespace verdaline
