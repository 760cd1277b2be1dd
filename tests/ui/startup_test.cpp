// The main window from its start: recognition, registration, loading the file list,
// the modes, the refresh of the flash view, and failures shown in a message box.
#include <filesystem>

#include "window_harness.h"

using namespace verdaline;
using namespace verdaline::testing;

namespace {

// The window shows the computer by its name, registration hidden and every working
// control usable but the arrow of the other direction; without a name, it shows the
// computer as unknown, offers registration and leaves every working control unusable.
void expectRecognised(TForm1& f, const char* name) {
    QCOMPARE(f.Label5->text(),
             name ? QString::fromUtf8(name) : QStringLiteral("которого нет в Вашем списке"));
    QCOMPARE(f.GroupBox5->isVisibleTo(&f), name == nullptr);
    for (QWidget* control : QList<QWidget*>{f.Button2, f.Button3, f.Button4, f.Button5, f.Button11,
                                            f.RadioButton1, f.RadioButton2, f.RadioGroup1}) {
        QVERIFY2(control->isEnabled() == (name && control != f.Button3), qPrintable(control->objectName()));
    }
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    // Before recognition nothing of the work area is made. An unreadable disk number, a
    // refused name or a computer list that cannot be saved leave the computer
    // unrecognised, with a message; then the name typed is registered, numbered as it
    // is in the list already, and the file list of the name it got is loaded.
    void registration() {
        WindowHarness h;
        h.platform.serial = {std::nullopt, EIO};
        TForm1& first = h.start();
        first.Button6->click();
        expectRecognised(first, nullptr);
        expectMessage(h.dialogs, 1, Dialogs::Icon::Warning, QStringLiteral("номер системного диска"));
        QVERIFY(std::filesystem::is_empty(fsPath(h.tree.root())));

        h.platform.serial = {0x1A2B3C4D, 0};
        const std::string list = cp1251Lines({"Домашний", "0A0B0C0D0A0B0C0D"});
        h.tree.write(kComputerList, list);
        h.tree.write("Списки_отчеты/Список файлов на компьютере_Домашний3_.txt",
                     cp1251Lines({"/home/u/a.txt"}));
        TForm1& f = h.start();
        f.ComboBox1->setCurrentText(QStringLiteral("Дом/1"));
        f.Button6->click();
        expectMessage(h.dialogs, 2, Dialogs::Icon::Warning, QStringLiteral("Дом/1"));
        h.platform.failWrite[h.tree.path(kComputerList)] = ENOSPC;
        f.ComboBox1->setCurrentText(QStringLiteral("Домашний"));
        f.Button6->click();
        expectMessage(h.dialogs, 3, Dialogs::Icon::Stop, QString::fromLocal8Bit(strerror(ENOSPC)) + '.');
        expectRecognised(f, nullptr);
        QCOMPARE(h.tree.read(kComputerList), list);

        h.platform.failWrite.clear();
        f.Button6->click();
        QCOMPARE(h.dialogs.messages.size(), size_t(3));
        QCOMPARE(h.tree.read(kComputerList),
                 cp1251Lines({"Домашний", "0A0B0C0D0A0B0C0D", "Домашний3", kDisk}));
        expectRecognised(f, "Домашний3");
        QCOMPARE(f.fileList(), Lines{"/home/u/a.txt"});
        QCOMPARE(f.Label7->text(), QStringLiteral("1 шт."));
    }

    void handEditedNameOutsideTheWorkAreaIsNotTrusted() {
        WindowHarness h;
        h.tree.write(kComputerList, cp1251Lines({"../../home", kDisk}));
        expectRecognised(h.start(), nullptr);
        expectMessage(h.dialogs, 1, Dialogs::Icon::Warning, QStringLiteral("../../home"));
    }

    // Every file name can be read in both lists; the whole paths are in the hints, and
    // the flash-side list shows them in edit mode.
    void recognisedStartWithAFileList() {
        WindowHarness h;
        const char* const deep =
            "/home/u/Документы/Проекты 2026/Клиенты/Северный филиал/Смета на второй квартал.xls";
        TForm1& f = h.startRecognised({"/home/u/Работа/План.doc", "/home/u/Дом/План.doc", "/План.doc", deep});
        const QStringList shown = shownLines(f.Memo1);
        QCOMPARE(shown.mid(0, 3),
                 (QStringList{"/home/u/Работа/План.doc", "/home/u/Дом/План.doc", "/План.doc"}));
        QVERIFY2(shown[3].startsWith(QChar(0x2026)) &&
                     shown[3].endsWith(QStringLiteral("/Смета на второй квартал.xls")),
                 qPrintable(shown[3]));
        const QStringList names = {"План.doc", "Дом_План.doc", "_План.doc", "Смета на второй квартал.xls"};
        QCOMPARE(shownLines(f.Memo2), names);
        QCOMPARE(hintOf(f.Memo1),
                 QStringList(shown.mid(0, 3) + QStringList{QString::fromUtf8(deep)}).join('\n'));
        const QString flashText = q(h.copy("")) + names.join('\n' + q(h.copy("")));
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
        expectCounts(f, "4 шт.", "4 шт.");  // edit mode on and off changed nothing
        QVERIFY(!h.tree.exists(kCopies + "/Старые файлы"));
    }

    // The mode shows its group and the direction enables its arrow. Even an empty file
    // list makes the copies folder, which the flash view shows; while there is none, the
    // view shows the drive, never the computer's root.
    void modeDirectionAndFlashView() {
        WindowHarness h;
        TForm1& f = h.startRecognised();
        const auto expect = [&f](QAbstractButton* clicked, bool synchronisation, bool toFlash) {
            if (clicked != nullptr) {
                clicked->click();
            }
            QCOMPARE(f.GroupBox3->isVisibleTo(&f), synchronisation);
            QCOMPARE(f.GroupBox4->isVisibleTo(&f), !synchronisation);
            QCOMPARE(f.Button2->isEnabled(), toFlash);
            QCOMPARE(f.Button3->isEnabled(), !toFlash);
        };
        expect(nullptr, false, true);
        expect(f.RadioButton2, false, false);
        expect(f.RadioGroup1->item(0), true, false);
        expect(f.RadioGroup1->item(1), false, false);  // the direction chosen before is kept
        expect(f.RadioButton1, false, true);

        QVERIFY(f.Timer2->isActive());
        QCOMPARE(f.ShellListView1->root(), h.tree.path(kCopies));
        std::filesystem::remove_all(h.tree.path(kCopies));
        f.Timer2Timer();
        QCOMPARE(f.ShellListView1->root(), h.platform.mountPointOf(h.tree.root()));

        h.tree.write(
            {{kCopies + "/б.txt", "1"}, {kCopies + "/А.doc", "2"}, {kCopies + "/Старые файлы/old.txt", "3"}});
        f.Timer2Timer();
        QCOMPARE(f.ShellListView1->root(), h.tree.path(kCopies));
        QCOMPARE(f.ShellListView1->count(), 2);
        QCOMPARE(f.ShellListView1->item(0)->text(), QStringLiteral("А.doc"));
        QCOMPARE(f.Label10->text(), QStringLiteral("2 шт."));
        // The view follows a new file by itself, before any refresh.
        h.tree.write(kCopies + "/в.txt", "4");
        QTRY_COMPARE(f.Label10->text(), QStringLiteral("3 шт."));
    }

    // A file sits where the copies folder should be: start-up stops at loading, the
    // failure is shown with its full stop, and the window shows what it had reached.
    void failureDuringStartUpIsShownAndTheWindowGoesOn() {
        WindowHarness h;
        h.tree.write(kCopies, "not a folder");
        TForm1& f = h.startRecognised({"/home/u/a.txt"});
        expectMessage(h.dialogs, 1, Dialogs::Icon::Stop, QStringLiteral("I/O error 17."));
        QCOMPARE(h.dialogs.messages[0].text, QStringLiteral("I/O error 17."));
        QCOMPARE(h.dialogs.messages[0].caption, QStringLiteral("Verdaline"));
        QCOMPARE(f.fileList(), Lines{"/home/u/a.txt"});
        QVERIFY(f.flashList().empty());
        QCOMPARE(f.Label7->text(), QStringLiteral("0 шт."));
        QCOMPARE(f.windowTitle(), QStringLiteral("Verdaline"));
        QVERIFY(f.Button4->isEnabled());
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
