// Adding files, the list window and the flash-side list's edit mode and user lists, as
// the window wires them to the rules of the file list.
#include "window_harness.h"

using namespace verdaline;
using namespace verdaline::testing;

class FileListTest : public QObject {
    Q_OBJECT

private slots:
    // Files chosen in one dialog join both lists and the stick, and the dialog opens next
    // where the last was chosen; duplicates are refused in one message. A file from the
    // stick (the dialog opens in the program folder, the copies folders at its side) is
    // copied to the place chosen, whose folder is made when the user wants it, and
    // listed; a copy that fails is reported and the entry stays.
    void addingFiles() {
        WindowHarness h;
        MainWindow& f = h.startRecognised({"/c/3.txt"});
        h.dialogs.answers = {QStringLiteral("/home/u/План.doc\n/home/u/Смета.xls"), QString(),
                             QStringLiteral("/c/3.txt\n/home/u/Смета.xls\n/home/u/Итог.doc")};
        click(f, "addFromComputerButton");
        QCOMPARE(f.fileList(), (Lines{"/c/3.txt", "/home/u/План.doc", "/home/u/Смета.xls"}));
        QCOMPARE(f.flashList(), (Lines{h.copy("3.txt"), h.copy("План.doc"), h.copy("Смета.xls")}));
        expectCounts(f, "3 шт.", "3 шт.");
        QCOMPARE(h.tree.read(kFileList),
                 std::string("/c/3.txt\r\n/home/u/\xcf\xeb\xe0\xed.doc\r\n/home/u/\xd1\xec\xe5\xf2\xe0.xls\r\n"));
        click(f, "addFromComputerButton");  // cancelled
        QCOMPARE(h.dialogs.requests[1].folder, QStringLiteral("/home/u"));
        QCOMPARE(h.dialogs.requests[1].fileName, QStringLiteral("Смета.xls"));
        click(f, "addFromComputerButton");
        expectMessage(h.dialogs, 1, Dialogs::Icon::Warning, QStringLiteral("уже есть в списке под номером 3"));
        QVERIFY(h.dialogs.messages[0].text.contains(QStringLiteral("уже есть в списке под номером 1")));
        QCOMPARE(h.dialogs.messages[0].caption, QStringLiteral("Проверка наличия файла в списке"));
        QCOMPARE(f.fileList().back(), std::string("/home/u/Итог.doc"));
        h.dialogs.messages.clear();
        f.deleteEntry(3);
        QCOMPARE(f.fileList().size(), size_t(3));

        h.tree.write("stick/notes.txt", "заметки");
        h.dialogs.answers = {q(h.tree.path("stick/notes.txt")), q(h.tree.path("new/notes2.txt")),
                             q(h.tree.path("stick/notes.txt")), q(h.tree.path("new/notes2.txt")),
                             q(h.tree.path("stick/gone.txt")), q(h.tree.path("new/x.txt"))};
        click(f, "addFromFlashButton");  // the missing folder refused
        QCOMPARE(h.dialogs.requests[3].folder, q(h.tree.root()));
        QCOMPARE(h.dialogs.requests[3].places, QStringList{q(h.tree.path(kCopies))});
        QCOMPARE(h.dialogs.requests[4].fileName, QStringLiteral("notes.txt"));
        expectMessage(h.dialogs, 1, Dialogs::Icon::Information, QStringLiteral("еще нет. Создать ее"));
        QVERIFY(!h.tree.exists("new"));
        h.dialogs.replies = {true};
        click(f, "addFromFlashButton");
        QCOMPARE(f.flashList()[3], h.copy("notes2.txt"));
        QCOMPARE(h.tree.read("new/notes2.txt"), std::string("заметки"));
        click(f, "addFromFlashButton");
        expectMessage(h.dialogs, 3, Dialogs::Icon::Warning, QStringLiteral("его нет на флешке"));
        QCOMPARE(f.fileList().size(), size_t(4));
        QCOMPARE(h.tree.read(kFileList), listBytes(f.fileList()));
        // A copy chosen for a listed file ties them together when the user says so.
        h.tree.write(kCopies + "/общая.txt", "общая");
        h.dialogs.answers = {q(h.copy("общая.txt")), q(h.tree.path("new/notes2.txt"))};
        h.dialogs.replies = {true};
        click(f, "addFromFlashButton");
        expectMessage(h.dialogs, 4, Dialogs::Icon::Information, QStringLiteral("Связать его с копией"));
        QCOMPARE(f.flashList()[3], h.copy("общая.txt"));
        QCOMPARE(h.tree.read("new/notes2.txt"), std::string("общая"));
    }

    // The list window deletes the row the user selected and nothing else: focus makes a
    // row current without selecting it, and that is no choice. It shows the list as it
    // is now: refilled when reopened, following an entry added meanwhile and a list
    // changed by another program. A deletion that cannot be saved is shown.
    void listWindowDeletesOnlyTheSelectedEntry() {
        WindowHarness h;
        MainWindow& f = h.startRecognised(numbered(4));
        ListWindow& w = h.listWindow();
        auto* entries = find<QListWidget>(w, "entries");
        click(f, "editListButton");
        QVERIFY(w.isVisible());
        QCOMPARE(text(w, "count"), QStringLiteral("4 шт."));
        entries->setCurrentRow(0, QItemSelectionModel::NoUpdate);
        click(w, "deleteButton");
        QCOMPARE(f.fileList(), numbered(4));
        entries->setCurrentRow(2);
        click(w, "deleteButton");
        QCOMPARE(f.fileList(),
                 (Lines{"/home/u/docs/file1.txt", "/home/u/docs/file2.txt", "/home/u/docs/file4.txt"}));
        expectCounts(f, "3 шт.", "3 шт.");
        QCOMPARE(text(w, "count"), QStringLiteral("3 шт."));
        QCOMPARE(entries->item(2)->text(), QStringLiteral("/home/u/docs/file4.txt"));

        click(w, "closeButton");
        QVERIFY(!w.isVisible());
        h.dialogs.answers = {QStringLiteral("/b/new.txt")};
        click(f, "addFromComputerButton");
        click(f, "editListButton");
        QCOMPARE(entries->count(), 4);
        h.tree.write(kFileList, listBytes({"/home/u/docs/file1.txt", "/b/new.txt",
                                           "/c/other.txt"}));  // by verdaline-cli
        f.refreshFromStick();
        expectCounts(f, "3 шт.", "3 шт.");
        QCOMPARE(text(w, "count"), QStringLiteral("3 шт."));
        QCOMPARE(entries->item(2)->text(), QStringLiteral("/c/other.txt"));
        entries->setCurrentRow(0);
        click(w, "deleteButton");
        QCOMPARE(f.fileList(), (Lines{"/b/new.txt", "/c/other.txt"}));
        QCOMPARE(f.flashList(), (Lines{h.copy("new.txt"), h.copy("other.txt")}));
        savePicture(&w, QStringLiteral("list-window-followed"));

        h.platform.failWrite[h.tree.path(kFileList)] = EROFS;
        entries->setCurrentRow(0);
        click(w, "deleteButton");
        expectMessage(h.dialogs, 1, Dialogs::Icon::Stop, QString::fromLocal8Bit(strerror(EROFS)));
        QCOMPARE(f.fileList().size(), size_t(2));  // the window shows what the stick holds
    }

    // In edit mode the text typed is the flash-side list, line by line. A user list
    // saves it and loads one in its place; the hint keeps the list as it was loaded at
    // the start, and the file list stays as it was.
    void editModeAndUserLists() {
        WindowHarness h;
        MainWindow& f = h.startRecognised(numbered(3));
        click(f, "editFlashListBox");
        auto* flash = find<QStackedWidget>(f, "flashListView");
        auto* memo = qobject_cast<QPlainTextEdit*>(flash->currentWidget());
        QVERIFY(memo && find(f, "saveUserListButton")->isVisibleTo(&f) &&
                find(f, "loadUserListButton")->isVisibleTo(&f));
        QVERIFY(hintOf(flash).isEmpty());  // the text itself is there to read

        // Typing a new flash path over line 2.
        QTextCursor line2(memo->document()->findBlockByNumber(1));
        line2.select(QTextCursor::LineUnderCursor);
        memo->setTextCursor(line2);
        QTest::keyClicks(memo, QStringLiteral("/stick/own path.txt"));
        QCOMPARE(f.flashList()[1], std::string("/stick/own path.txt"));
        memo->moveCursor(QTextCursor::End);
        QTest::keyClick(memo, Qt::Key_Return);
        QCOMPARE(text(f, "flashCount"), QStringLiteral("3 шт."));  // one final line end starts no line
        QTest::keyClick(memo, Qt::Key_Return);
        QCOMPARE(text(f, "flashCount"), QStringLiteral("4 шт."));
        QTest::keyClicks(memo, QStringLiteral("/s/a"));
        QTest::keyClick(memo, Qt::Key_Return, Qt::ShiftModifier);  // a line separator
        QTest::keyClicks(memo, QStringLiteral("/s/b"));
        expectCounts(f, "3 шт.", "6 шт.");
        const Lines typed = {
            h.copy("file1.txt"), "/stick/own path.txt", h.copy("file3.txt"), "", "/s/a", "/s/b"};
        QCOMPARE(f.flashList(), typed);

        h.dialogs.answers = {q(h.tree.path("Мой список.txt")), q(h.tree.path("нет такого.txt"))};
        click(f, "saveUserListButton");
        QCOMPARE(h.tree.read("Мой список.txt"), listBytes(typed));
        click(f, "loadUserListButton");
        expectMessage(h.dialogs, 1, Dialogs::Icon::Stop, q(h.tree.path("нет такого.txt")));
        h.tree.write("Мой список.txt", cp1251Lines({"/s/1", "/s/2"}));
        h.dialogs.answers = {q(h.tree.path("Мой список.txt"))};
        click(f, "loadUserListButton");
        QCOMPARE(f.flashList(), (Lines{"/s/1", "/s/2"}));
        expectCounts(f, "3 шт.", "2 шт.");
        QCOMPARE(h.tree.read(kFileList), listBytes(numbered(3)));

        click(f, "editFlashListBox");
        QCOMPARE(shownLines(flash), (QStringList{"/s/1", "/s/2"}));
        QVERIFY(!find(f, "saveUserListButton")->isVisibleTo(&f));
        QCOMPARE(hintOf(flash), QStringLiteral("/s/1"));
    }
};

QTEST_MAIN(FileListTest)
#include "file_list_test.moc"
