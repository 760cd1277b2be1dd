// Adding files, the list window and the flash-side list's edit mode and user lists.
#include <sys/stat.h>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "cp1251.h"
#include "tform1.h"
#include "tform2.h"
#include "window_harness.h"

using namespace verdaline;
using namespace verdaline::testing;

namespace {

const char* const kDisk = "1A2B3C4D1A2B3C4D";
const char* const kFileList = "Списки_отчеты/Список файлов на компьютере_Офисный_.txt";

// A list file's bytes: code page 1251, CR LF after every line.
std::string crlf(const Lines& lines) {
    std::string bytes;
    for (const auto& l : lines) {
        bytes += *encodeCp1251(l) + "\r\n";
    }
    return bytes;
}

// A recognised computer "Офисный" with the given file list (none when empty).
TForm1& startWith(WindowHarness& h, const std::vector<std::string>& files, bool writeList = true) {
    h.tree.write("Списки_отчеты/Список компьютеров.txt", cp1251Lines({"Офисный", kDisk}));
    if (writeList) {
        h.tree.write(kFileList, crlf(files));
    }
    return h.start();
}

std::string copies(WindowHarness& h) {
    return h.tree.path("Файлы с компьютера_Офисный");
}

Lines numbered(int n) {
    Lines lines;
    for (int i = 1; i <= n; ++i) {
        lines.push_back("/home/u/docs/file" + std::to_string(i) + ".txt");
    }
    return lines;
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

class FileListTest : public QObject {
    Q_OBJECT

private slots:
    void addingToAnEmptyList() {
        WindowHarness h;
        TForm1& f = startWith(h, {}, false);
        h.dialogs.answers = {QStringLiteral("/home/u/План.doc")};
        f.Button4->click();
        QCOMPARE(h.dialogs.requests.size(), size_t(1));
        QCOMPARE(h.dialogs.requests[0].title, QStringLiteral("Выбрать"));
        QCOMPARE(f.fileList(), Lines{"/home/u/План.doc"});
        QCOMPARE(f.flashList(), Lines{copies(h) + "/План.doc"});
        QCOMPARE(f.Label7->text(), QStringLiteral("1 шт."));
        QCOMPARE(f.Label8->text(), QStringLiteral("1 шт."));
        QCOMPARE(f.Memo1->toolTip(), QStringLiteral("/home/u/План.doc"));
        QCOMPARE(h.tree.read(kFileList), cp1251Lines({"/home/u/План.doc"}));
        QVERIFY(h.tree.isFolder("Файлы с компьютера_Офисный"));

        // The dialog opens again where the last file was chosen.
        h.dialogs.answers = {QString()};
        f.Button4->click();
        QCOMPARE(h.dialogs.requests[1].folder, QStringLiteral("/home/u"));
        QCOMPARE(h.dialogs.requests[1].fileName, QStringLiteral("План.doc"));
    }

    // The duplicate is refused before either list changes, even while its message is
    // open; the file list is written again (its lone LFs become CR LF).
    void duplicateAtPositionThree() {
        WindowHarness h;
        h.tree.write("Списки_отчеты/Список компьютеров.txt", cp1251Lines({"Офисный", kDisk}));
        h.tree.write(kFileList, "/a/1.txt\n/b/2.txt\n/c/3.txt\n/d/4.txt\n");
        TForm1& f = h.start();
        const Lines filesBefore = f.fileList();
        const Lines flashBefore = f.flashList();
        const QString hintBefore = f.Memo2->toolTip();
        size_t entriesWhileOpen = 0;
        h.dialogs.whileMessageOpen = [&](const FakeDialogs::Message&) {
            entriesWhileOpen = f.fileList().size();
        };
        h.dialogs.answers = {QStringLiteral("/c/3.txt")};
        f.Button4->click();
        QCOMPARE(h.dialogs.messages.size(), size_t(1));
        QCOMPARE(h.dialogs.messages[0].caption, QStringLiteral("Проверка наличия файла в списке"));
        QCOMPARE(h.dialogs.messages[0].text.toUtf8(),
                 QByteArray("Файл с именем /c/3.txt уже есть в списке под номером 3\r\n"));
        QCOMPARE(h.dialogs.messages[0].icon, Dialogs::Icon::Warning);
        QCOMPARE(entriesWhileOpen, size_t(4));
        QCOMPARE(f.fileList(), filesBefore);
        QCOMPARE(f.flashList(), flashBefore);
        QCOMPARE(f.Memo2->toolTip(), hintBefore);
        QCOMPARE(f.Label7->text(), QStringLiteral("4 шт."));
        QCOMPARE(f.Label8->text(), QStringLiteral("4 шт."));
        QCOMPARE(h.tree.read(kFileList), std::string("/a/1.txt\r\n/b/2.txt\r\n/c/3.txt\r\n/d/4.txt\r\n"));
    }

    void pathDifferingInCaseIsAddedAndKeptApart() {
        WindowHarness h;
        TForm1& f = startWith(h, {"/home/u/План.doc", "/home/u/report.doc"});
        h.dialogs.answers = {QStringLiteral("/home/u/план.doc"), QStringLiteral("/work/Plan/report.doc"),
                             QStringLiteral("/report.doc")};
        f.Button4->click();
        f.Button4->click();
        f.Button4->click();
        QVERIFY(h.dialogs.messages.empty());
        QCOMPARE(f.flashList(),
                 (Lines{copies(h) + "/План.doc", copies(h) + "/report.doc", copies(h) + "/план (2).doc",
                        copies(h) + "/Plan_report.doc", copies(h) + "/_report.doc"}));
        QCOMPARE(f.Label7->text(), QStringLiteral("5 шт."));
    }

    void cancellingTheDialogs() {
        WindowHarness h;
        TForm1& f = startWith(h, {"/a/1.txt"});
        h.tree.write(kFileList, "/a/1.txt\n");
        h.dialogs.answers = {QString()};
        f.Button4->click();
        QCOMPARE(h.tree.read(kFileList), std::string("/a/1.txt\n"));  // the computer dialog writes nothing

        h.dialogs.answers = {QString()};
        f.Button11->click();
        QCOMPARE(h.tree.read(kFileList), crlf({"/a/1.txt"}));  // the flash-drive add saves all the same
        h.tree.write(kFileList, "/a/1.txt\n");
        h.dialogs.answers = {QStringLiteral("/stick/x.txt"), QString()};
        f.Button11->click();
        QCOMPARE(h.tree.read(kFileList), crlf({"/a/1.txt"}));
        QCOMPARE(f.fileList(), Lines{"/a/1.txt"});
        QVERIFY(h.dialogs.messages.empty());
    }

    void addingFromTheFlashDriveUnderANewName() {
        WindowHarness h;
        TForm1& f = startWith(h, {"/home/u/notes2.txt"});
        h.tree.write("stick/notes.txt", "заметки");
        h.tree.setTime("stick/notes.txt", localTime(2026, 3, 1, 10, 0, 0));
        h.dialogs.answers = {q(h.tree.path("stick/notes.txt")), q(h.tree.path("home/notes2.txt"))};
        h.tree.makeFolder("home");
        f.Button11->click();

        QCOMPARE(h.dialogs.requests[0].title, QStringLiteral("В Ы Б Р А Т Ь . . ."));
        QCOMPARE(h.dialogs.requests[0].folder, q(h.platform.mountPointOf(h.tree.root())));
        QCOMPARE(h.dialogs.requests[1].title, QStringLiteral("ВЫБРАТЬ КУДА СОХРАНИТЬ..."));
        QCOMPARE(h.dialogs.requests[1].fileName, QStringLiteral("notes.txt"));
        QCOMPARE(h.dialogs.requests[1].folder, QDir::homePath());
        QVERIFY(h.dialogs.requests[1].confirmOverwrite);

        QCOMPARE(f.fileList(), (Lines{"/home/u/notes2.txt", h.tree.path("home/notes2.txt")}));
        // Another entry has that name already: the folder's name goes in front.
        QCOMPARE(f.flashList()[1], copies(h) + "/home_notes2.txt");
        QCOMPARE(h.tree.read("home/notes2.txt"), std::string("заметки"));
        struct stat st {};
        ::stat(h.tree.path("home/notes2.txt").c_str(), &st);
        QCOMPARE(st.st_mtim.tv_sec, localTime(2026, 3, 1, 10, 0, 0));
        QCOMPARE(h.tree.read(kFileList), crlf(f.fileList()));
        QVERIFY(h.tree.isFolder("Файлы с компьютера_Офисный"));
        QVERIFY(h.dialogs.messages.empty());
    }

    void failedCopyFromTheFlashDriveIsReportedAndTheEntryStays() {
        WindowHarness h;
        TForm1& f = startWith(h, {});
        h.tree.write("stick/notes.txt", "x");
        h.dialogs.answers = {q(h.tree.path("stick/notes.txt")), q(h.tree.path("gone/notes2.txt"))};
        f.Button11->click();
        QCOMPARE(h.dialogs.messages.size(), size_t(1));
        QVERIFY(h.dialogs.messages[0].text.contains(q(h.tree.path("gone/notes2.txt"))));
        QVERIFY(h.dialogs.messages[0].text.contains(QString::fromLocal8Bit(strerror(ENOENT))));
        QCOMPARE(f.fileList(), Lines{h.tree.path("gone/notes2.txt")});
        QCOMPARE(f.flashList(), Lines{copies(h) + "/notes2.txt"});
        QCOMPARE(f.Label7->text(), QStringLiteral("1 шт."));
        QCOMPARE(h.tree.read(kFileList), crlf(f.fileList()));
    }

    void pathsOutsideTheCodePageAreRefused() {
        WindowHarness h;
        TForm1& f = startWith(h, {"/a/1.txt"});
        h.tree.write(kFileList, "/a/1.txt\n");
        h.tree.write("stick/x.txt", "x");
        h.dialogs.answers = {QStringLiteral("/home/u/café.txt"), q(h.tree.path("stick/x.txt")),
                             q(h.tree.path("naïve.txt"))};
        f.Button4->click();
        f.Button11->click();
        QCOMPARE(h.dialogs.messages.size(), size_t(2));
        QVERIFY(h.dialogs.messages[0].text.contains(QStringLiteral("café")));
        QCOMPARE(f.fileList(), Lines{"/a/1.txt"});
        QCOMPARE(h.tree.read(kFileList), std::string("/a/1.txt\n"));
        QVERIFY(!h.tree.exists("naïve.txt"));
    }

    void listWindowDeletesTheThirdOfTwelve() {
        WindowHarness h;
        TForm1& f = startWith(h, numbered(12));
        TForm2& w = h.listWindow();
        f.Button5->click();
        QVERIFY(w.isVisible());
        QCOMPARE(w.windowTitle(), QStringLiteral("Список файлов"));
        QCOMPARE(w.ListBox1->count(), 12);
        QCOMPARE(w.ListBox1->item(0)->text(), QStringLiteral("/home/u/docs/file1.txt"));
        QCOMPARE(w.Label1->text(), QStringLiteral("12 шт."));
        QVERIFY(w.Button1->isVisible());

        const std::string thirdFlash = f.flashList()[2];
        w.ListBox1->setCurrentRow(2);
        w.Button1->click();
        Lines expected = numbered(12);
        expected.erase(expected.begin() + 2);
        QCOMPARE(f.fileList(), expected);
        QCOMPARE(f.flashList().size(), size_t(11));
        QVERIFY(std::find(f.flashList().begin(), f.flashList().end(), thirdFlash) == f.flashList().end());
        QCOMPARE(h.tree.read(kFileList), crlf(expected));
        QCOMPARE(f.Label7->text(), QStringLiteral("11 шт."));
        QCOMPARE(f.Label8->text(), QStringLiteral("11 шт."));
        QCOMPARE(w.Label1->text(), QStringLiteral("11 шт."));
        QCOMPARE(w.ListBox1->count(), 11);
        QCOMPARE(w.ListBox1->item(2)->text(), QStringLiteral("/home/u/docs/file4.txt"));
    }

    void deletingWithNothingSelectedOrTheOnlyEntry() {
        WindowHarness h;
        TForm1& f = startWith(h, {"/a/1.txt"});
        TForm2& w = h.listWindow();
        f.Button5->click();
        h.tree.write(kFileList, "/a/1.txt\n");
        // Focus makes a row current without selecting it: that is no choice to delete.
        w.ListBox1->setCurrentRow(0, QItemSelectionModel::NoUpdate);
        w.Button1->click();
        QCOMPARE(f.fileList(), Lines{"/a/1.txt"});
        QCOMPARE(h.tree.read(kFileList), crlf({"/a/1.txt"}));  // written again, unchanged

        w.ListBox1->setCurrentRow(0);
        w.Button1->click();
        QVERIFY(f.fileList().empty());
        QVERIFY(f.flashList().empty());
        QCOMPARE(h.tree.read(kFileList), std::string());
        QCOMPARE(f.Label7->text(), QStringLiteral("0 шт."));
        QCOMPARE(f.Label8->text(), QStringLiteral("0 шт."));
        QCOMPARE(w.Label1->text(), QStringLiteral("0 шт."));
    }

    void closingAndReopeningRefills() {
        WindowHarness h;
        TForm1& f = startWith(h, numbered(3));
        TForm2& w = h.listWindow();
        f.Button5->click();
        w.Button2->click();
        QVERIFY(!w.isVisible());
        QVERIFY(!w.Button1->isVisibleTo(&w));
        QCOMPARE(w.ListBox1->count(), 0);
        f.Timer2Timer();
        QCOMPARE(w.Label1->text(), QStringLiteral("0 шт."));
        h.dialogs.answers = {QStringLiteral("/b/new.txt")};
        f.Button4->click();
        f.Button5->click();
        QCOMPARE(w.ListBox1->count(), 4);
        QVERIFY(w.Button1->isVisibleTo(&w));
        QCOMPARE(w.Label1->text(), QStringLiteral("4 шт."));
    }

    // An entry added on the main window while the list window is open appears there
    // and survives a deletion made there afterwards.
    void entryAddedWhileOpenSurvivesADeletion() {
        WindowHarness h;
        TForm1& f = startWith(h, numbered(3));
        TForm2& w = h.listWindow();
        f.Button5->click();
        w.ListBox1->setCurrentRow(0);
        h.dialogs.answers = {QStringLiteral("/b/new.txt")};
        f.Button4->click();
        QCOMPARE(w.ListBox1->count(), 4);
        QCOMPARE(w.ListBox1->currentRow(), 0);
        w.Button1->click();
        QCOMPARE(f.fileList(), (Lines{"/home/u/docs/file2.txt", "/home/u/docs/file3.txt", "/b/new.txt"}));
        QCOMPARE(f.flashList(),
                 (Lines{copies(h) + "/file2.txt", copies(h) + "/file3.txt", copies(h) + "/new.txt"}));
        QCOMPARE(h.tree.read(kFileList), crlf(f.fileList()));
    }

    // Another program (verdaline-cli) adds to the file list: the window follows it at
    // its next tick and before its own next change, and loses no entry.
    void followsAFileListChangedByAnotherProgram() {
        WindowHarness h;
        TForm1& f = startWith(h, numbered(2));
        TForm2& w = h.listWindow();
        f.Button5->click();
        h.tree.write(kFileList, crlf(numbered(3)));
        f.Timer2Timer();
        QCOMPARE(f.fileList(), numbered(3));
        QCOMPARE(f.flashList().size(), size_t(3));
        QCOMPARE(f.Label7->text(), QStringLiteral("3 шт."));
        QCOMPARE(w.ListBox1->count(), 3);
        h.tree.write(kFileList, crlf(numbered(4)));
        h.dialogs.answers = {QStringLiteral("/b/new.txt")};
        f.Button4->click();
        Lines expected = numbered(4);
        expected.push_back("/b/new.txt");
        QCOMPARE(h.tree.read(kFileList), crlf(expected));
        QCOMPARE(f.fileList(), expected);
        QCOMPARE(w.Label1->text(), QStringLiteral("5 шт."));
        savePicture(&w, QStringLiteral("list-window-followed"));
    }

    void deletionThatCannotSaveIsShown() {
        WindowHarness h;
        TForm1& f = startWith(h, numbered(2));
        f.Button5->click();
        h.platform.failWrite[h.tree.path(kFileList)] = EROFS;
        h.listWindow().ListBox1->setCurrentRow(0);
        h.listWindow().Button1->click();
        QCOMPARE(h.dialogs.messages.size(), size_t(1));
        QVERIFY(h.dialogs.messages[0].text.startsWith(QStringLiteral("Cannot create file \"")));
        QCOMPARE(h.dialogs.messages[0].icon, Dialogs::Icon::Stop);
        QCOMPARE(f.fileList().size(), size_t(2));  // the window shows what the stick holds
        QCOMPARE(f.Label7->text(), QStringLiteral("2 шт."));
    }

    void editModeAndCounting() {
        WindowHarness h;
        TForm1& f = startWith(h, numbered(3));
        QVERIFY(f.Memo2->isReadOnly());
        QVERIFY(!f.Button14->isVisibleTo(&f));
        f.CheckBox3->click();
        QVERIFY(!f.Memo2->isReadOnly());
        QVERIFY(f.Button14->isVisibleTo(&f));
        QVERIFY(f.Button15->isVisibleTo(&f));

        // Typing a new flash path over line 2.
        QTextCursor cursor = f.Memo2->textCursor();
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::Down);
        cursor.select(QTextCursor::LineUnderCursor);
        f.Memo2->setTextCursor(cursor);
        QTest::keyClicks(f.Memo2, QStringLiteral("/stick/own path.txt"));
        QCOMPARE(f.flashList()[1], std::string("/stick/own path.txt"));
        QCOMPARE(f.Label8->text(), QStringLiteral("3 шт."));
        f.Memo2->moveCursor(QTextCursor::End);
        QTest::keyClick(f.Memo2, Qt::Key_Return);
        QCOMPARE(f.Label8->text(), QStringLiteral("3 шт."));  // one final line end starts no line
        QTest::keyClick(f.Memo2, Qt::Key_Return);
        QCOMPARE(f.Label8->text(), QStringLiteral("4 шт."));
        QCOMPARE(f.Label7->text(), QStringLiteral("3 шт."));
        QTest::keyClicks(f.Memo2, QStringLiteral("/s/a"));
        QTest::keyClick(f.Memo2, Qt::Key_Return, Qt::ShiftModifier);  // a line separator
        QTest::keyClicks(f.Memo2, QStringLiteral("/s/b"));
        QCOMPARE(f.Label8->text(), QStringLiteral("6 шт."));
        QCOMPARE(f.flashList().back(), std::string("/s/b"));

        f.CheckBox3->click();
        QVERIFY(f.Memo2->isReadOnly());
        QVERIFY(!f.Button14->isVisibleTo(&f));
        savePicture(&f, QStringLiteral("main-edit-mode"));
    }

    void userListsSavedAndLoaded() {
        WindowHarness h;
        TForm1& f = startWith(h, numbered(8));
        f.CheckBox3->click();
        h.dialogs.answers = {q(h.tree.path("Мой список.txt"))};
        f.Button14->click();
        QCOMPARE(h.dialogs.requests[0].fileName, QStringLiteral("Пользовательский список файлов"));
        QCOMPARE(h.dialogs.requests[0].defaultSuffix, QStringLiteral("txt"));
        QVERIFY(!h.dialogs.requests[0].confirmOverwrite);
        QCOMPARE(h.dialogs.requests[0].title, QString());
        std::string expected;
        for (const auto& path : f.flashList()) {
            expected += *encodeCp1251(path) + "\r\n";
        }
        QCOMPARE(h.tree.read("Мой список.txt"), expected);

        h.tree.write("five.txt", cp1251Lines({"/s/1", "/s/2", "/s/3", "/s/4", "/s/5"}));
        const QString hint = f.Memo2->toolTip();
        h.dialogs.answers = {q(h.tree.path("five.txt"))};
        f.Button15->click();
        QCOMPARE(f.flashList(), (Lines{"/s/1", "/s/2", "/s/3", "/s/4", "/s/5"}));
        QCOMPARE(f.Label8->text(), QStringLiteral("5 шт."));
        QCOMPARE(f.Label7->text(), QStringLiteral("8 шт."));
        QCOMPARE(f.Memo2->toolTip(), hint);
        QCOMPARE(h.tree.read(kFileList), crlf(numbered(8)));
    }

    void userListFailures() {
        WindowHarness h;
        TForm1& f = startWith(h, numbered(2));
        const Lines before = f.flashList();
        h.dialogs.answers = {q(h.tree.path("нет такого.txt"))};
        f.Button15->click();
        QCOMPARE(h.dialogs.messages.size(), size_t(1));
        QCOMPARE(h.dialogs.messages[0].text, QStringLiteral("Cannot open file \"") +
                                                 q(h.tree.path("нет такого.txt")) + QStringLiteral("\". ") +
                                                 QString::fromLocal8Bit(strerror(ENOENT)) + QLatin1Char('.'));
        QCOMPARE(f.flashList(), before);

        h.dialogs.answers = {q(h.tree.path("no folder/list.txt"))};
        f.Button14->click();
        QVERIFY(h.dialogs.messages[1].text.startsWith(QStringLiteral("Cannot create file \"")));

        f.CheckBox3->click();
        f.Memo2->setPlainText(QStringLiteral("/stick/café.txt"));
        h.dialogs.answers = {q(h.tree.path("list.txt"))};
        f.Button14->click();
        QCOMPARE(h.dialogs.messages.size(), size_t(3));
        QVERIFY(h.dialogs.messages[2].text.contains(QStringLiteral("café")));
        QVERIFY(!h.tree.exists("list.txt"));
    }
};

QTEST_MAIN(FileListTest)
#include "file_list_test.moc"
