// The command-line companion on a real work area: the same rules and files as the
// window, and exit statuses a script can rely on.
#include "cli_fixture.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <map>
#include <sstream>

#include "texts.h"
#include "work_area.h"

namespace verdaline {
namespace {

using testing::cp1251Lines;
using testing::TempTree;

class Cli : public testing::CliTest {
protected:
    int cli(std::vector<std::string> args) { return cliIn(tree.root(), tree.path("home"), std::move(args)); }
};

TEST_F(Cli, RegisterAddListRemoveAndStatus) {
    EXPECT_EQ(cli({"status"}), 0);
    EXPECT_EQ(out.str(), "Номер диска: 1A2B3C4D1A2B3C4D\nКомпьютер: не зарегистрирован\n");
    EXPECT_EQ(cli({"add", "/a.txt"}), 2);

    EXPECT_EQ(cli({"register", "Офис/1"}), 1);
    EXPECT_EQ(cli({"register", "Офисный"}), 0);
    EXPECT_EQ(cli({"register", "Другой"}), 1);  // this computer has its name already
    EXPECT_EQ(tree.read("Списки_отчеты/Список компьютеров.txt"),
              cp1251Lines({"Офисный", "1A2B3C4D1A2B3C4D"}));

    const std::string other = tree.path("work/Дом/План.doc");
    EXPECT_EQ(cli({"add", "docs/План.doc", other, "/x/café.txt", "../home/docs/План.doc"}), 1);
    const std::string copies = tree.path("Файлы с компьютера_Офисный");
    const std::string first = tree.path("home/docs/План.doc");
    EXPECT_EQ(out.str(), "1\t" + first + "\t" + copies + kSeparator + "План.doc\n2\t" + other + "\t" +
                             copies + kSeparator + "Дом_План.doc\n");
    EXPECT_NE(err.str().find("café"), std::string::npos);
    EXPECT_NE(err.str().find("уже есть в списке под номером 1"), std::string::npos);
    tree.makeFolder("home/folder");
    EXPECT_EQ(cli({"add", "folder", "docs/"}), 1);  // a folder, and a path ending in "/"
    EXPECT_NE(err.str().find("это папка"), err.str().rfind("это папка"));
    EXPECT_EQ(tree.read("Списки_отчеты/Список файлов на компьютере_Офисный_.txt"),
              cp1251Lines({first.c_str(), other.c_str()}));

    EXPECT_EQ(cli({"list"}), 0);
    EXPECT_EQ(out.str(), "1\t" + first + "\t" + copies + kSeparator + "План.doc\n2\t" + other + "\t" +
                             copies + kSeparator + "Дом_План.doc\n");
    EXPECT_EQ(cli({"remove", "3"}), 1);
    EXPECT_EQ(cli({"remove", "x"}), 1);
    EXPECT_EQ(cli({"remove", "1"}), 0);
    EXPECT_EQ(tree.read("Списки_отчеты/Список файлов на компьютере_Офисный_.txt"),
              cp1251Lines({other.c_str()}));
    EXPECT_EQ(cli({"status"}), 0);
    EXPECT_EQ(out.str(), "Номер диска: 1A2B3C4D1A2B3C4D\nКомпьютер: Офисный\nФайлов в списке: 1\n");

    // A copy on the stick for a listed path: tied only when asked.
    const std::string copy = copies + kSeparator + "общая.txt";
    tree.write({{"Файлы с компьютера_Офисный/общая.txt", "общая"}, {"work/Дом/План.doc", "дом"}});
    EXPECT_EQ(cli({"add-from-flash", copy, other}), 1);
    EXPECT_NE(err.str().find("--tie"), std::string::npos);
    EXPECT_EQ(cli({"add-from-flash", "--tie", copy, other}), 0);
    EXPECT_EQ(out.str(), "Связан с копией: 1\t" + other + "\n");
    EXPECT_EQ(tree.read("work/Дом/План.doc"), "общая");
}

#ifndef _WIN32
// Several verdaline-cli started together on one stick, and without input as a launcher
// may start them: every entry lands in the list.
TEST_F(Cli, AddsStartedTogetherAllLand) {
    cli({"register", "Офисный"});
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < 8; ++i) {
        if (const pid_t pid = ::fork(); pid != 0) {
            children.push_back(pid);
            continue;
        }
        ::close(gate[1]);
        ::close(STDIN_FILENO);  // the lock may get descriptor 0
        char go = 0;
        ::_exit(::read(gate[0], &go, 1) == 0 ? cli({"add", "/data/" + std::to_string(i) + ".txt"}) : 3);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (const pid_t pid : children) {
        int status = -1;
        ::waitpid(pid, &status, 0);
        EXPECT_EQ(status, 0);
    }
    EXPECT_EQ(cli({"status"}), 0);
    EXPECT_NE(out.str().find("Файлов в списке: 8"), std::string::npos) << out.str();
}
#endif

TEST_F(Cli, RunsPrintTheirReportAndEveryCommandTellsHowItWent) {
    EXPECT_EQ(cli({"sync"}), 2);  // not registered
    cli({"register", "Офисный"});
    EXPECT_EQ(cli({"sync"}), 0);  // an empty list: the error number, then the closing lines
    EXPECT_EQ(err.str(), "Ошибка 22\n");
    EXPECT_EQ(out.str(), "       \n_____________06.12.2026 16:18:02_____________\n");
    tree.write("home/a.txt", "a");
    cli({"add", tree.path("home/a.txt")});

    EXPECT_EQ(cli({"to-flash", "--no-backups"}), 0);
    EXPECT_EQ(out.str(), "Выполнено- Файл N1   " + tree.path("home/a.txt") +
                             " - новый.\n       \n-------------06.12.2026 16:18:02-------------\n");
    EXPECT_EQ(tree.read("Файлы с компьютера_Офисный/a.txt"), "a");

    cli({"add", tree.path("gone/b.txt")});
    tree.write("Файлы с компьютера_Офисный/b.txt", "b");
    EXPECT_EQ(cli({"to-computer"}), 1);  // the folder of b.txt is gone: an error line
    EXPECT_NE(out.str().find("Ошибка " + std::to_string(testing::kNoFolder) + " Файл N2"), std::string::npos);
    EXPECT_EQ(err.str(), "Файл N2 " + tree.path("gone/b.txt") + ": нет папки, куда копировать, или файла, откуда.\n");

    platform.failWrite[tree.path("Списки_отчеты/Отчет копирования_Офисный_.txt")] = ENOSPC;
    // A report that cannot be saved still tells what the run did.
    EXPECT_EQ(cli({"sync"}), 1);
    EXPECT_EQ(out.str().rfind("Не копирую - Файлы N1", 0), 0u);
    EXPECT_NE(err.str().find("Файл N2 " + tree.path("gone/b.txt") + ": нет папки"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("Cannot create file"), std::string::npos);
    EXPECT_EQ(cli({"copy"}), 2);
    EXPECT_EQ(cli({"list", "extra"}), 2);
    EXPECT_EQ(cli({}), 2);
    EXPECT_EQ(cli({"--help"}), 0);
    EXPECT_NE(out.str().find("to-computer"), std::string::npos);
}

// A plan marks each entry as the run right after it treats it, and writes nothing at all.
TEST_F(Cli, PlanSaysWhatTheRunThenDoes) {
    cli({"register", "Офисный"});
    const std::vector<std::string> names = {"newer.txt", "older.txt", "same.txt", "both.txt", "gone.txt"};
    for (const auto& name : names) {
        tree.write({{"pc/" + name, name, testing::localTime(2026, 3, 1, 9, 0, 0)}});
        cli({"add", tree.path("pc/" + name)});
    }
    cli({"sync"});
    const auto later = testing::localTime(2026, 3, 2, 9, 0, 0);
    tree.write({{"pc/newer.txt", "edited", later},
                {"Файлы с компьютера_Офисный/older.txt", "edited on the stick", later},
                {"pc/both.txt", "here!", later},  // as long as the other: only the bytes tell
                {"Файлы с компьютера_Офисный/both.txt", "there", later + 60}});
    std::filesystem::remove(testing::fsPath(tree.path("pc/gone.txt")));
    std::filesystem::remove(testing::fsPath(tree.path("Файлы с компьютера_Офисный/gone.txt")));
    const auto snapshot = [this] {
        std::map<std::string, std::pair<std::string, std::filesystem::file_time_type>> files;
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(testing::fsPath(tree.root()))) {
            files[entry.path().string()] = {entry.is_regular_file()
                                                ? tree.read(entry.path().string().substr(tree.root().size()))
                                                : std::string(),
                                            entry.last_write_time()};
        }
        return files;
    };
    const auto before = snapshot();
    std::string marks;
    for (const char* kind : {"to-flash", "to-computer", "sync"}) {
        EXPECT_EQ(cli({"plan", kind}), 0);
        marks.clear();
        std::istringstream lines(out.str());
        for (std::string line; std::getline(lines, line);) {
            marks += line.substr(line.find('\t') + 1, 1);
        }
    }
    EXPECT_EQ(marks, "><=!?");  // of the synchronisation, planned last
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(cli({"plan", "copy"}), 2);
    cli({"sync"});
    const std::string report = out.str();
    for (const char* line : {"Выполнено - Файл N1", "Выполнено - Файл N2", "Не копирую - Файлы N3",
                             "Конфликт - Файл N4", "НЕ НАЙДЕН- Файл N5"}) {
        EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
    }
    // The conflict's losing side is listed and taken back; then nothing is left to copy.
    EXPECT_EQ(cli({"versions", "4"}), 0);
    EXPECT_EQ(
        out.str(),
        "1\t2026-03-02 09:00:00\t5\tконфликт\t" +
            tree.path("Файлы с компьютера_Офисный/Старые файлы/both (конфликт 2026-03-02 09-00-00).txt") +
            "\n");
    EXPECT_EQ(cli({"restore", "4", "1"}), 0) << err.str();
    EXPECT_EQ(tree.read("pc/both.txt"), "here!");
    cli({"plan", "sync"});
    EXPECT_NE(out.str().find("4\t=\t"), std::string::npos) << out.str();
    for (const auto& wrong :
         {std::vector<std::string>{"restore", "4", "9"}, {"versions", "6"}, {"restore", "x", "1"}}) {
        EXPECT_EQ(cli(wrong), 2) << wrong[0];
    }
}

// A write-protected stick refuses at once what would write it, in plain words, yet gives
// its files back to the computer.
TEST_F(Cli, WriteProtectedStickGivesItsFilesBack) {
    TempTree pc;
    cli({"register", "Офисный"});
    pc.write("a.txt", "a");
    cli({"add", pc.path("a.txt")});
    cli({"to-flash"});
    tree.write({{"Файлы с компьютера_Офисный/a.txt", "edited at home", std::time(nullptr) + 60}});

    platform.writeProtected = tree.root();
    const auto files = tree.files();
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"to-flash"}, {"sync"}, {"add", pc.path("b.txt")}, {"remove", "1"}}) {
        EXPECT_EQ(cli(args), 2) << args[0];
        EXPECT_EQ(err.str(), texts::stickWriteProtected() + "\n") << args[0];
    }
    platform.serial = {0x5E6F7A8B, 0};
    EXPECT_EQ(cli({"register", "Домашний"}), 2);
    EXPECT_EQ(err.str(), texts::stickWriteProtected() + "\n");
    platform.serial = {0x1A2B3C4D, 0};
    EXPECT_EQ(cli({"plan", "sync"}), 0);

    // The version it would replace cannot be kept on the stick: it stays, and says why.
    EXPECT_EQ(cli({"to-computer"}), 1);
    EXPECT_EQ(pc.read("a.txt"), "a");
    EXPECT_EQ(err.str(), "Файл N1 " + pc.path("a.txt") + ": флешка защищена от записи" +
                             texts::replacedVersionNotKept() + "\n" + texts::reportNotSavedWriteProtected() +
                             "\n");
    EXPECT_EQ(cli({"to-computer", "--no-backups"}), 1);
    EXPECT_EQ(pc.read("a.txt"), "edited at home");
    EXPECT_NE(out.str().find("Выполнено- Файл N1"), std::string::npos) << out.str();
    EXPECT_EQ(err.str(), texts::reportNotSavedWriteProtected() + "\n");
    EXPECT_EQ(tree.files(), files);
}

}  // namespace
}  // namespace verdaline
