// Adding files, the list window and the flash-side list's edit mode and user lists, as
// the window wires them to the rules of the file list.
#include <sys/stat.h>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include "cp1251.h"
#include "tform1.h"
#include "tform2.h"
#include "window_harness.h"

using namespace verdaline;
using namespace verdaline::testing;

namespace {

const char* const kFileList = "Списки_отчеты/Список файлов на компьютере_Офисный_.txt";

// A list file's bytes: code page 1251, CR LF after every line.
std::string crlf(const Lines& lines) {
    std::string bytes;
    for (const auto& l : lines) {
        bytes += *encodeCp1251(l) + "\r\n";
    }
    return bytes;
}

// A recognised computer "Офисный" with the given file list.
TForm1& startWith(WindowHarness& h, const Lines& files) {
    h.tree.write("Списки_отчеты/Список компьютеров.txt", cp1251Lines({"Офисный", "1A2B3C4D1A2B3C4D"}));
    h.tree.write(kFileList, crlf(files));
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
    // A file chosen in the dialog joins both lists and the file on the stick; a
    // duplicate or a name the code page cannot hold is refused with its message.
    void addingFromTheComputer() {
        WindowHarness h;
        TForm1& f = startWith(h, {"/c/3.txt"});
        h.dialogs.answers = {QStringLiteral("/home/u/План.doc"), QString(), QStringLiteral("/c/3.txt"),
                             QStringLiteral("/home/u/café.txt")};
        f.Button4->click();
        QCOMPARE(h.dialogs.requests[0].title, QStringLiteral("Выбрать"));
        QCOMPARE(f.fileList(), (Lines{"/c/3.txt", "/home/u/План.doc"}));
        QCOMPARE(f.flashList(), (Lines{copies(h) + "/3.txt", copies(h) + "/План.doc"}));
        QCOMPARE(f.Label7->text(), QStringLiteral("2 шт."));
        QCOMPARE(f.Label8->text(), QStringLiteral("2 шт."));
        QCOMPARE(hintOf(f.Memo1), QStringLiteral("/c/3.txt\n/home/u/План.doc"));
        QCOMPARE(h.tree.read(kFileList), crlf(f.fileList()));
        f.Button4->click();  // cancelled: the dialog opened where the last file was chosen
        QCOMPARE(h.dialogs.requests[1].folder, QStringLiteral("/home/u"));
        QCOMPARE(h.dialogs.requests[1].fileName, QStringLiteral("План.doc"));

        f.Button4->click();
        f.Button4->click();
        QCOMPARE(h.dialogs.messages.size(), size_t(2));
        QCOMPARE(h.dialogs.messages[0].caption, QStringLiteral("Проверка наличия файла в списке"));
        QCOMPARE(h.dialogs.messages[0].text.toUtf8(),
                 QByteArray("Файл с именем /c/3.txt уже есть в списке под номером 1\r\n"));
        QCOMPARE(h.dialogs.messages[0].icon, Dialogs::Icon::Warning);
        QVERIFY(h.dialogs.messages[1].text.contains(QStringLiteral("café")));
        QCOMPARE(f.fileList().size(), size_t(2));
        QCOMPARE(f.flashList().size(), size_t(2));
    }

    // A file from the stick is copied to the place chosen, with its date, and listed;
    // a copy that fails is reported and the entry stays.
    void addingFromTheFlashDrive() {
        WindowHarness h;
        TForm1& f = startWith(h, {"/home/u/notes2.txt"});
        h.tree.write("stick/notes.txt", "заметки");
        h.tree.setTime("stick/notes.txt", localTime(2026, 3, 1, 10, 0, 0));
        h.tree.makeFolder("home");
        h.dialogs.answers = {q(h.tree.path("stick/notes.txt")), q(h.tree.path("home/notes2.txt")),
                             q(h.tree.path("stick/notes.txt")), q(h.tree.path("gone/x.txt"))};
        f.Button11->click();
        QCOMPARE(h.dialogs.requests[0].title, QStringLiteral("В Ы Б Р А Т Ь . . ."));
        QCOMPARE(h.dialogs.requests[0].folder, q(h.platform.mountPointOf(h.tree.root())));
        QCOMPARE(h.dialogs.requests[1].title, QStringLiteral("ВЫБРАТЬ КУДА СОХРАНИТЬ..."));
        QCOMPARE(h.dialogs.requests[1].fileName, QStringLiteral("notes.txt"));
        QCOMPARE(h.dialogs.requests[1].folder, QDir::homePath());
        QVERIFY(h.dialogs.requests[1].confirmOverwrite);
        QCOMPARE(f.flashList()[1], copies(h) + "/home_notes2.txt");
        QCOMPARE(h.tree.read("home/notes2.txt"), std::string("заметки"));
        struct stat st {};
        ::stat(h.tree.path("home/notes2.txt").c_str(), &st);
        QCOMPARE(st.st_mtim.tv_sec, localTime(2026, 3, 1, 10, 0, 0));

        f.Button11->click();
        QCOMPARE(h.dialogs.messages.size(), size_t(1));
        QVERIFY(h.dialogs.messages[0].text.contains(QString::fromLocal8Bit(strerror(ENOENT))));
        QCOMPARE(f.fileList().back(), h.tree.path("gone/x.txt"));
        QCOMPARE(h.tree.read(kFileList), crlf(f.fileList()));
    }

    void listWindowDeletesOnlyTheSelectedEntry() {
        WindowHarness h;
        TForm1& f = startWith(h, numbered(12));
        TForm2& w = h.listWindow();
        f.Button5->click();
        QVERIFY(w.isVisible());
        QCOMPARE(w.windowTitle(), QStringLiteral("Список файлов"));
        QCOMPARE(w.ListBox1->count(), 12);
        QCOMPARE(w.Label1->text(), QStringLiteral("12 шт."));
        // Focus makes a row current without selecting it: that is no choice to delete.
        w.ListBox1->setCurrentRow(0, QItemSelectionModel::NoUpdate);
        w.Button1->click();
        QCOMPARE(f.fileList(), numbered(12));

        w.ListBox1->setCurrentRow(2);
        w.Button1->click();
        Lines expected = numbered(12);
        expected.erase(expected.begin() + 2);
        QCOMPARE(f.fileList(), expected);
        QCOMPARE(f.flashList().size(), size_t(11));
        QCOMPARE(h.tree.read(kFileList), crlf(expected));
        QCOMPARE(f.Label7->text(), QStringLiteral("11 шт."));
        QCOMPARE(f.Label8->text(), QStringLiteral("11 шт."));
        QCOMPARE(w.Label1->text(), QStringLiteral("11 шт."));
        QCOMPARE(w.ListBox1->item(2)->text(), QStringLiteral("/home/u/docs/file4.txt"));

        h.platform.failWrite[h.tree.path(kFileList)] = EROFS;
        w.ListBox1->setCurrentRow(0);
        w.Button1->click();
        QCOMPARE(h.dialogs.messages.size(), size_t(1));
        QCOMPARE(h.dialogs.messages[0].icon, Dialogs::Icon::Stop);
        QCOMPARE(f.fileList().size(), size_t(11));  // the window shows what the stick holds
    }

    // The list window shows the list as it is now: refilled when reopened, following
    // an entry added meanwhile and a list changed by another program.
    void listWindowFollowsTheFileList() {
        WindowHarness h;
        TForm1& f = startWith(h, numbered(2));
        TForm2& w = h.listWindow();
        f.Button5->click();
        w.Button2->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.ListBox1->count(), 0);
        h.dialogs.answers = {QStringLiteral("/b/new.txt")};
        f.Button4->click();
        f.Button5->click();
        QCOMPARE(w.ListBox1->count(), 3);
        w.ListBox1->setCurrentRow(0);
        h.tree.write(kFileList, crlf({"/home/u/docs/file1.txt", "/b/new.txt", "/c/other.txt"}));  // by verdaline-cli
        f.Timer2Timer();
        QCOMPARE(f.Label7->text(), QStringLiteral("3 шт."));
        QCOMPARE(w.ListBox1->item(2)->text(), QStringLiteral("/c/other.txt"));
        w.ListBox1->setCurrentRow(0);
        w.Button1->click();
        QCOMPARE(f.fileList(), (Lines{"/b/new.txt", "/c/other.txt"}));
        QCOMPARE(f.flashList(), (Lines{copies(h) + "/new.txt", copies(h) + "/other.txt"}));
        savePicture(&w, QStringLiteral("list-window-followed"));
    }

    void editModeAndCounting() {
        WindowHarness h;
        TForm1& f = startWith(h, numbered(3));
        QVERIFY(!qobject_cast<QPlainTextEdit*>(f.Memo2->currentWidget()));
        f.CheckBox3->click();
        auto* memo = qobject_cast<QPlainTextEdit*>(f.Memo2->currentWidget());
        QVERIFY(memo);
        QVERIFY(f.Button14->isVisibleTo(&f));
        QVERIFY(f.Button15->isVisibleTo(&f));

        // Typing a new flash path over line 2.
        QTextCursor cursor = memo->textCursor();
        cursor.movePosition(QTextCursor::Start);
        cursor.movePosition(QTextCursor::Down);
        cursor.select(QTextCursor::LineUnderCursor);
        memo->setTextCursor(cursor);
        QTest::keyClicks(memo, QStringLiteral("/stick/own path.txt"));
        QCOMPARE(f.flashList()[1], std::string("/stick/own path.txt"));
        memo->moveCursor(QTextCursor::End);
        QTest::keyClick(memo, Qt::Key_Return);
        QCOMPARE(f.Label8->text(), QStringLiteral("3 шт."));  // one final line end starts no line
        QTest::keyClick(memo, Qt::Key_Return);
        QCOMPARE(f.Label8->text(), QStringLiteral("4 шт."));
        QTest::keyClicks(memo, QStringLiteral("/s/a"));
        QTest::keyClick(memo, Qt::Key_Return, Qt::ShiftModifier);  // a line separator
        QTest::keyClicks(memo, QStringLiteral("/s/b"));
        QCOMPARE(f.Label8->text(), QStringLiteral("6 шт."));
        QCOMPARE(f.flashList().back(), std::string("/s/b"));
        QCOMPARE(f.Label7->text(), QStringLiteral("3 шт."));

        f.CheckBox3->click();
        QCOMPARE(shownLines(f.Memo2),
                 (QStringList{"file1.txt", "/stick/own path.txt", "file3.txt", "", "/s/a", "/s/b"}));
        QVERIFY(!f.Button14->isVisibleTo(&f));
    }

    void userLists() {
        WindowHarness h;
        TForm1& f = startWith(h, numbered(8));
        f.CheckBox3->click();
        h.dialogs.answers = {q(h.tree.path("Мой список.txt")), q(h.tree.path("five.txt")),
                             q(h.tree.path("нет такого.txt"))};
        f.Button14->click();
        QCOMPARE(h.dialogs.requests[0].fileName, QStringLiteral("Пользовательский список файлов"));
        QCOMPARE(h.dialogs.requests[0].defaultSuffix, QStringLiteral("txt"));
        QVERIFY(!h.dialogs.requests[0].confirmOverwrite);
        QCOMPARE(h.tree.read("Мой список.txt"), crlf(f.flashList()));

        h.tree.write("five.txt", cp1251Lines({"/s/1", "/s/2", "/s/3", "/s/4", "/s/5"}));
        const QString hint = hintOf(f.Memo2);
        QVERIFY(hint.endsWith(QStringLiteral("/file8.txt")));
        f.Button15->click();
        QCOMPARE(f.flashList(), (Lines{"/s/1", "/s/2", "/s/3", "/s/4", "/s/5"}));
        QCOMPARE(hintOf(f.Memo2), hint);  // the list as it was loaded
        QCOMPARE(f.Label8->text(), QStringLiteral("5 шт."));
        QCOMPARE(f.Label7->text(), QStringLiteral("8 шт."));
        QCOMPARE(h.tree.read(kFileList), crlf(numbered(8)));
        f.Button15->click();
        QCOMPARE(h.dialogs.messages.size(), size_t(1));
        QCOMPARE(h.dialogs.messages[0].text, QStringLiteral("Cannot open file \"") +
                                                 q(h.tree.path("нет такого.txt")) + QStringLiteral("\". ") +
                                                 QString::fromLocal8Bit(strerror(ENOENT)) + QLatin1Char('.'));
        QCOMPARE(f.flashList().size(), size_t(5));
    }
};

QTEST_MAIN(FileListTest)
#include "file_list_test.moc"
