// The main window from its start: recognition, registration, loading the file list,
// the modes, the refresh of the flash view, and failures shown in a message box.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <filesystem>

#include "radio_group.h"
#include "shell_list_view.h"
#include "tform1.h"
#include "tform2.h"
#include "window_harness.h"

using namespace verdaline;
using namespace verdaline::testing;

namespace {

const char* const kDisk = "1A2B3C4D1A2B3C4D";

QList<QWidget*> workingControls(TForm1& f) {
    return {f.Button2,  f.Button3,      f.Button4,      f.Button5,
            f.Button11, f.RadioButton1, f.RadioButton2, f.RadioGroup1};
}

void writeRegistered(WindowHarness& h, const char* name) {
    h.tree.write("Списки_отчеты/Список компьютеров.txt", cp1251Lines({name, kDisk}));
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    // Before recognition nothing of the work area is made and no working control is usable.
    void unrecognisedStartMakesNothing() {
        for (const bool withList : {false, true}) {
            WindowHarness h;
            if (withList) {
                h.tree.write("Списки_отчеты/Список компьютеров.txt",
                             cp1251Lines({"Домашний", "0000000100000001"}));
            }
            const auto before = h.tree.files();
            TForm1& f = h.start();
            QCOMPARE(f.Label5->text(), QStringLiteral("которого нет в Вашем списке"));
            QVERIFY(f.GroupBox5->isVisibleTo(&f));
            for (QWidget* control : workingControls(f)) {
                QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
            }
            QVERIFY(h.dialogs.messages.empty());
            QCOMPARE(h.tree.files(), before);
            QCOMPARE(h.tree.isFolder("Списки_отчеты"), withList);
        }
    }

    void registeringANewComputer() {
        WindowHarness h;
        TForm1& f = h.start();
        f.ComboBox1->setCurrentText(QStringLiteral("Домашний"));
        f.Button6->click();
        QVERIFY(h.dialogs.messages.empty());
        QCOMPARE(h.tree.read("Списки_отчеты/Список компьютеров.txt"), cp1251Lines({"Домашний", kDisk}));
        QCOMPARE(f.Label5->text(), QStringLiteral("Домашний"));
        QVERIFY(!f.GroupBox5->isVisibleTo(&f));
        for (QWidget* control : workingControls(f)) {
            QCOMPARE(control->isEnabled(), control != f.Button3);
        }
        QVERIFY(f.fileList().empty());
        QVERIFY(!h.tree.exists("Файлы с компьютера_Домашний"));  // no file list, no copies folder yet
    }

    void registeringATakenNameNumbersIt() {
        WindowHarness h;
        h.tree.write("Списки_отчеты/Список компьютеров.txt", cp1251Lines({"Офисный", "0A0B0C0D0A0B0C0D"}));
        h.tree.write("Списки_отчеты/Список файлов на компьютере_Офисный3_.txt",
                     cp1251Lines({"/home/u/a.txt"}));
        TForm1& f = h.start();
        f.Button6->click();  // the proposed name, Офисный
        QCOMPARE(h.tree.read("Списки_отчеты/Список компьютеров.txt"),
                 cp1251Lines({"Офисный", "0A0B0C0D0A0B0C0D", "Офисный3", kDisk}));
        QCOMPARE(f.Label5->text(), QStringLiteral("Офисный3"));
        QCOMPARE(f.fileList(), Lines{"/home/u/a.txt"});  // the numbered name's file list is loaded
        QCOMPARE(f.Label7->text(), QStringLiteral("1 шт."));
    }

    // A refused name, a list that cannot be saved or an unreadable disk number leave
    // the computer unrecognised, with a message, and nothing written.
    void registrationThatFailsLeavesTheComputerUnrecognised() {
        WindowHarness h;
        TForm1& f = h.start();
        for (const char* name : {"Дом/1", "Café", "Дом."}) {
            f.ComboBox1->setCurrentText(QString::fromUtf8(name));
            f.Button6->click();
        }
        h.platform.failWrite[h.computerListPath()] = ENOSPC;
        f.ComboBox1->setCurrentText(QStringLiteral("Офисный"));
        f.Button6->click();
        QVERIFY(!h.tree.exists("Списки_отчеты/Список компьютеров.txt"));
        QCOMPARE(f.Label5->text(), QStringLiteral("которого нет в Вашем списке"));
        h.platform.failWrite.clear();
        f.Button6->click();  // the list is read again from the stick, where nothing was saved
        QCOMPARE(h.tree.read("Списки_отчеты/Список компьютеров.txt"), cp1251Lines({"Офисный", kDisk}));
        QCOMPARE(f.Label5->text(), QStringLiteral("Офисный"));

        h.platform.serial = {std::nullopt, EIO};
        TForm1& g = h.start();
        g.Button6->click();
        QVERIFY(g.GroupBox5->isVisibleTo(&g));
        QCOMPARE(h.dialogs.messages.size(), size_t(5));
        QVERIFY(h.dialogs.messages[0].text.contains(QStringLiteral("Дом/1")));
        QCOMPARE(h.dialogs.messages[3].text, QStringLiteral("Cannot create file \"") +
                                                 QString::fromStdString(h.computerListPath()) +
                                                 QStringLiteral("\". ") +
                                                 QString::fromLocal8Bit(strerror(ENOSPC)) + QLatin1Char('.'));
        QCOMPARE(h.dialogs.messages[3].icon, Dialogs::Icon::Stop);
        QCOMPARE(h.dialogs.messages[4].icon, Dialogs::Icon::Warning);
        QVERIFY(h.dialogs.messages[4].text.contains(QStringLiteral("номер системного диска")));
    }

    // Every file name can be read in both lists; the whole paths are in the hints, and
    // the flash-side list shows them in edit mode.
    void recognisedStartWithAFileList() {
        WindowHarness h;
        writeRegistered(h, "Офисный");
        const char* const deep = "/home/u/Документы/Проекты 2026/Клиенты/Северный филиал/Смета на второй квартал.xls";
        h.tree.write("Списки_отчеты/Список файлов на компьютере_Офисный_.txt",
                     cp1251Lines({"/home/u/Работа/План.doc", "/home/u/Дом/План.doc", "/План.doc", deep}));
        TForm1& f = h.start();
        const QString copies = QString::fromStdString(h.tree.path("Файлы с компьютера_Офисный"));
        QCOMPARE(f.windowTitle(), QStringLiteral("Verdaline_V5.2"));
        QCOMPARE(f.Label5->text(), QStringLiteral("Офисный"));
        QVERIFY(!f.GroupBox5->isVisibleTo(&f));
        QVERIFY(f.Button2->isEnabled());
        QVERIFY(!f.Button3->isEnabled());
        const QStringList shown = shownLines(f.Memo1);
        QCOMPARE(shown.mid(0, 3), (QStringList{"/home/u/Работа/План.doc", "/home/u/Дом/План.doc", "/План.doc"}));
        QVERIFY2(shown[3].startsWith(QChar(0x2026)) && shown[3].endsWith(QStringLiteral("/Смета на второй квартал.xls")),
                 qPrintable(shown[3]));
        QCOMPARE(shownLines(f.Memo2),
                 (QStringList{"План.doc", "Дом_План.doc", "_План.doc", "Смета на второй квартал.xls"}));
        QCOMPARE(hintOf(f.Memo1), QStringList(shown.mid(0, 3) + QStringList{QString::fromUtf8(deep)}).join('\n'));
        const QString flashText = copies + QStringLiteral("/План.doc\n") + copies +
                                  QStringLiteral("/Дом_План.doc\n") + copies + QStringLiteral("/_План.doc\n") +
                                  copies + QStringLiteral("/Смета на второй квартал.xls");
        QCOMPARE(hintOf(f.Memo2), flashText);
        // Ctrl+C copies the lines selected, in list order, as they are shown.
        f.activateWindow();
        f.Memo1->setFocus();
        QTRY_VERIFY(f.Memo1->hasFocus());
        f.Memo1->selectionModel()->select(f.Memo1->model()->index(3, 0), QItemSelectionModel::Select);
        f.Memo1->selectionModel()->select(f.Memo1->model()->index(1, 0), QItemSelectionModel::Select);
        QTest::keyClick(f.Memo1, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), shown[1] + QLatin1Char('\n') + shown[3]);
        f.CheckBox3->click();
        QCOMPARE(shownLines(f.Memo2).join('\n'), flashText);
        f.CheckBox3->click();
        QCOMPARE(f.flashList().size(), size_t(4));
        QCOMPARE(f.Label7->text(), QStringLiteral("4 шт."));
        QCOMPARE(f.Label8->text(), QStringLiteral("4 шт."));
        QCOMPARE(f.ShellListView1->root(), h.tree.path("Файлы с компьютера_Офисный"));  // from the start
        QVERIFY(!h.tree.exists("Файлы с компьютера_Офисный/Старые файлы"));
    }

    void emptyFileListStillMakesTheCopiesFolder() {
        WindowHarness h;
        writeRegistered(h, "Офисный");
        h.tree.write("Списки_отчеты/Список файлов на компьютере_Офисный_.txt", "");
        TForm1& f = h.start();
        QVERIFY(f.fileList().empty());
        QCOMPARE(f.Label7->text(), QStringLiteral("0 шт."));
        QVERIFY(h.tree.isFolder("Файлы с компьютера_Офисный"));
    }

    void modeAndDirection() {
        WindowHarness h;
        writeRegistered(h, "Офисный");
        TForm1& f = h.start();
        const auto expect = [&f](bool synchronisation, bool toFlash) {
            QCOMPARE(f.GroupBox3->isVisibleTo(&f), synchronisation);
            QCOMPARE(f.GroupBox4->isVisibleTo(&f), !synchronisation);
            QCOMPARE(f.Button2->isEnabled(), toFlash);
            QCOMPARE(f.Button3->isEnabled(), !toFlash);
        };
        expect(false, true);
        f.RadioButton2->click();
        expect(false, false);
        f.RadioGroup1->item(0)->click();
        expect(true, false);
        f.RadioGroup1->item(1)->click();  // the direction chosen before is kept
        expect(false, false);
        QVERIFY(f.RadioButton2->isChecked());
        f.RadioButton1->click();
        expect(false, true);
    }

    void refreshFollowsTheCopiesFolder() {
        WindowHarness h;
        writeRegistered(h, "Офисный");
        TForm1& f = h.start();
        QCOMPARE(f.Timer2->interval(), 3000);
        QVERIFY(f.Timer2->isActive());
        const std::string mount = h.platform.mountPointOf(h.tree.root());
        QCOMPARE(f.ShellListView1->root(), mount);  // the drive, never the computer's root

        h.tree.write({{"Файлы с компьютера_Офисный/б.txt", "1"},
                      {"Файлы с компьютера_Офисный/А.doc", "2"},
                      {"Файлы с компьютера_Офисный/Старые файлы/old.txt", "3"}});
        f.Timer2Timer();
        QCOMPARE(f.ShellListView1->root(), h.tree.path("Файлы с компьютера_Офисный"));
        QCOMPARE(f.ShellListView1->count(), 2);
        QCOMPARE(f.ShellListView1->item(0)->text(), QStringLiteral("А.doc"));
        QCOMPARE(f.Label10->text(), QStringLiteral("2 шт."));

        // The view follows a new file by itself, before any refresh.
        h.tree.write("Файлы с компьютера_Офисный/в.txt", "4");
        QTRY_COMPARE(f.Label10->text(), QStringLiteral("3 шт."));

        std::filesystem::remove_all(h.tree.path("Файлы с компьютера_Офисный"));
        f.Timer2Timer();
        QCOMPARE(f.ShellListView1->root(), mount);
    }

    // A file sits where the copies folder should be: start-up stops at loading, the
    // failure is shown with its full stop, and the window shows what it had reached.
    void failureDuringStartUpIsShownAndTheWindowGoesOn() {
        WindowHarness h;
        writeRegistered(h, "Офисный");
        h.tree.write("Списки_отчеты/Список файлов на компьютере_Офисный_.txt",
                     cp1251Lines({"/home/u/a.txt"}));
        h.tree.write("Файлы с компьютера_Офисный", "not a folder");
        TForm1& f = h.start();
        QCOMPARE(h.dialogs.messages.size(), size_t(1));
        QCOMPARE(h.dialogs.messages[0].caption, QStringLiteral("Verdaline"));
        QCOMPARE(h.dialogs.messages[0].text, QStringLiteral("I/O error 17."));
        QCOMPARE(h.dialogs.messages[0].icon, Dialogs::Icon::Stop);
        QCOMPARE(f.fileList(), Lines{"/home/u/a.txt"});
        QVERIFY(f.flashList().empty());
        QCOMPARE(f.Label7->text(), QStringLiteral("0 шт."));
        QCOMPARE(f.windowTitle(), QStringLiteral("Verdaline"));
        QVERIFY(f.Button4->isEnabled());
    }

    void handEditedNameOutsideTheWorkAreaIsNotTrusted() {
        WindowHarness h;
        writeRegistered(h, "../../home");
        TForm1& f = h.start();
        QCOMPARE(f.Label5->text(), QStringLiteral("которого нет в Вашем списке"));
        QVERIFY(f.GroupBox5->isVisibleTo(&f));
        QCOMPARE(h.dialogs.messages.size(), size_t(1));
        QVERIFY(h.dialogs.messages[0].text.contains(QStringLiteral("../../home")));
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
