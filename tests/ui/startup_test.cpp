// The main window from its start: recognition, registration, loading the file list,
// the modes, the refresh of the flash view, and failures shown in a message box.
#include <cstring>
#include <filesystem>

#include "computers.h"
#include "on_plug.h"
#include "window_harness.h"

using namespace verdaline;
using namespace verdaline::testing;

namespace {

// The window shows the computer by its name, registration hidden and every working
// control usable but the arrow of the other direction; without a name, it shows the
// computer as unknown, offers registration and leaves every working control unusable.
void expectRecognised(MainWindow& f, const char* name) {
    QCOMPARE(text(f, "computerNameLabel"),
             name ? QString::fromUtf8(name) : QStringLiteral("которого нет в Вашем списке"));
    QCOMPARE(find<QGroupBox>(f, "registrationGroup")->isVisibleTo(&f), name == nullptr);
    QCOMPARE(find<QAction>(f, "renameItem")->isEnabled(), name != nullptr);
    for (const char* control :
         {"toFlashButton", "toComputerButton", "addFromComputerButton", "editListButton",
          "addFromFlashButton", "toFlashChoice", "toComputerChoice", "modeGroup"}) {
        QVERIFY2(find(f, control)->isEnabled() == (name && std::strcmp(control, "toComputerButton") != 0),
                 control);
    }
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    // Before recognition nothing of the work area is made. An unreadable disk number, a
    // refused or taken name or a computer list that cannot be saved leave the computer
    // unrecognised, with a message; the box offers only free names. Then the name typed
    // is registered and its file list loaded; the menu renames the computer, its lists
    // following it.
    void registrationAndRename() {
        WindowHarness h;
        h.platform.serial = {std::nullopt, EIO};
        MainWindow& first = h.start();
        click(first, "registerButton");
        expectRecognised(first, nullptr);
        expectMessage(h.dialogs, 1, Dialogs::Icon::Warning, QStringLiteral("номер системного диска"));
        QVERIFY(std::filesystem::is_empty(fsPath(h.tree.root())));

        h.platform.serial = {0x1A2B3C4D, 0};
        const std::string list = cp1251Lines({"Офисный", "0A0B0C0D0A0B0C0D"});
        h.tree.write(kComputerList, list);
        h.tree.write("Списки_отчеты/Список файлов на компьютере_Домашний_.txt", cp1251Lines({"/home/u/a.txt"}));
        MainWindow& f = h.start();
        QComboBox* nameBox = find<QComboBox>(f, "computerNameBox");
        QCOMPARE(nameBox->currentText(), QStringLiteral("Домашний"));
        QCOMPARE(nameBox->findText(QStringLiteral("Офисный")), -1);
        savePicture(&f, QStringLiteral("main-second-computer"));
        for (const char* refused : {"Дом/1", "офисный"}) {
            nameBox->setCurrentText(QString::fromUtf8(refused));
            click(f, "registerButton");
            QVERIFY(h.dialogs.messages.back().text.contains(QString::fromUtf8(refused)));
        }
        expectMessage(h.dialogs, 3, Dialogs::Icon::Warning, QStringLiteral("уже занято"));
        h.platform.failWrite[h.tree.path(kComputerList)] = ENOSPC;
        nameBox->setCurrentText(QStringLiteral("Домашний"));
        click(f, "registerButton");
        expectMessage(h.dialogs, 4, Dialogs::Icon::Stop, QString::fromLocal8Bit(strerror(ENOSPC)) + '.');
        expectRecognised(f, nullptr);
        QCOMPARE(h.tree.read(kComputerList), list);

        h.platform.failWrite.clear();
        click(f, "registerButton");  // its file list, of an older version, gets its copies remembered
        expectMessage(h.dialogs, 5, Dialogs::Icon::Warning, QStringLiteral("Для 1 файл(ов)"));
        QCOMPARE(h.tree.read(kComputerList), cp1251Lines({"Офисный", "0A0B0C0D0A0B0C0D", "Домашний", kDisk}));
        expectRecognised(f, "Домашний");
        QCOMPARE(f.fileList(), Lines{"/home/u/a.txt"});
        QCOMPARE(text(f, "fileCount"), QStringLiteral("1 шт."));

        h.dialogs.typed = {QStringLiteral("офисный"), QStringLiteral("Дача")};
        find<QAction>(f, "renameItem")->trigger();
        expectMessage(h.dialogs, 7, Dialogs::Icon::Warning, QStringLiteral("уже занято"));
        find<QAction>(f, "renameItem")->trigger();
        expectRecognised(f, "Дача");
        QCOMPARE(f.fileList(), Lines{"/home/u/a.txt"});
        QCOMPARE(h.tree.read("Списки_отчеты/Список файлов на компьютере_Дача_.txt"), cp1251Lines({"/home/u/a.txt"}));
        QVERIFY(h.tree.exists("Файлы с компьютера_Дача") && !h.tree.exists("Файлы с компьютера_Домашний"));
        find<QAction>(f, "renameItem")->trigger();  // cancelled: nothing changes
        expectRecognised(f, "Дача");
    }

    // The menu item asks first (Нет unless answered) and says what it puts on the computer;
    // a new window shows it on; turned off, nothing of it is left.
    void onPlugIsAskedForAndLeavesNothingWhenOff() {
        WindowHarness h;
        std::filesystem::copy_file(VERDALINE_WATCHER, fsPath(h.tree.path(watcherFileName())));
        const OnPlugPlaces places = onPlugPlaces();
        QAction* item = find<QAction>(h.startRecognised(), "onPlugItem");
        item->trigger();
        expectMessage(h.dialogs, 1, Dialogs::Icon::Information, q(places.startEntry));
        QVERIFY(!item->isChecked() && !hasStartEntry(places) && !h.platform.isFolder(places.dataFolder));

        h.dialogs.replies = {true};
        item->trigger();
        expectMessage(h.dialogs, 3, Dialogs::Icon::Information, QStringLiteral("Наблюдатель: работает"));
        QVERIFY(item->isChecked() && watcherRunning(places));
        item = find<QAction>(h.start(), "onPlugItem");
        QVERIFY(item->isChecked());
        item->trigger();
        expectMessage(h.dialogs, 4, Dialogs::Icon::Information, QStringLiteral("выключена"));
        QVERIFY(!item->isChecked() && !watcherRunning(places));
        QVERIFY(!hasStartEntry(places) && !h.platform.isFolder(places.dataFolder));
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
        MainWindow& f =
            h.startRecognised({"/home/u/Работа/План.doc", "/home/u/Дом/План.doc", "/План.doc", deep});
        QListView* files = find<QListView>(f, "fileListView");
        QWidget* flash = find(f, "flashListView");
        const QStringList shown = shownLines(files);
        QCOMPARE(shown.mid(0, 3),
                 (QStringList{"/home/u/Работа/План.doc", "/home/u/Дом/План.doc", "/План.doc"}));
        QVERIFY2(shown[3].startsWith(QChar(0x2026)) &&
                     shown[3].endsWith(QStringLiteral("/Смета на второй квартал.xls")),
                 qPrintable(shown[3]));
        const QStringList names = {"План.doc", "Дом_План.doc", "_План.doc", "Смета на второй квартал.xls"};
        QCOMPARE(shownLines(flash), names);
        // A row's hint names its own file, what a run would do and both dates, nothing more.
        QTRY_VERIFY(!f.planning());
        QVERIFY2(hintOf(files).startsWith(QStringLiteral("/home/u/Работа/План.doc\nКопировать неоткуда")) &&
                     hintOf(files).count('\n') == 3,
                 qPrintable(hintOf(files)));
        QCOMPARE(hintOf(flash), q(h.copy("План.doc")));
        const QString flashText = q(h.copy("")) + names.join('\n' + q(h.copy("")));
        // Ctrl+C copies the lines selected, in list order, as they are shown.
        f.activateWindow();
        files->setFocus();
        QTRY_VERIFY(files->hasFocus());
        files->selectionModel()->select(files->model()->index(3, 0), QItemSelectionModel::Select);
        files->selectionModel()->select(files->model()->index(1, 0), QItemSelectionModel::Select);
        QTest::keyClick(files, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), shown[1] + QLatin1Char('\n') + shown[3]);
        click(f, "editFlashListBox");
        QCOMPARE(shownLines(flash).join('\n'), flashText);
        click(f, "editFlashListBox");
        expectCounts(f, "4 шт.", "4 шт.");  // edit mode on and off changed nothing
        QVERIFY(!h.tree.exists(kCopies + "/Старые файлы"));
    }

    // The mode shows its group and the direction enables its arrow. Even an empty file
    // list makes the copies folder, which the flash view shows; while there is none, the
    // view shows the drive, never the computer's root.
    void modeDirectionAndFlashView() {
        WindowHarness h;
        MainWindow& f = h.startRecognised();
        auto* mode = find<RadioGroup>(f, "modeGroup");
        const auto expect = [&f](QAbstractButton* clicked, bool synchronisation, bool toFlash) {
            if (clicked != nullptr) {
                clicked->click();
            }
            QCOMPARE(find<QGroupBox>(f, "synchronisationGroup")->isVisibleTo(&f), synchronisation);
            QCOMPARE(find<QGroupBox>(f, "directedCopyGroup")->isVisibleTo(&f), !synchronisation);
            QCOMPARE(find<QPushButton>(f, "toFlashButton")->isEnabled(), toFlash);
            QCOMPARE(find<QPushButton>(f, "toComputerButton")->isEnabled(), !toFlash);
        };
        expect(nullptr, false, true);
        expect(find<QRadioButton>(f, "toComputerChoice"), false, false);
        expect(mode->item(0), true, false);
        expect(mode->item(1), false, false);  // the direction chosen before is kept
        expect(find<QRadioButton>(f, "toFlashChoice"), false, true);

        QVERIFY(find<QTimer>(f, "refreshTimer")->isActive());
        auto* present = find<ShellListView>(f, "presentFilesView");
        QCOMPARE(present->root(), h.tree.path(kCopies));
        std::filesystem::remove_all(h.tree.path(kCopies));
        f.refreshFromStick();
        QCOMPARE(present->root(), h.platform.mountPointOf(h.tree.root()));

        h.tree.write(
            {{kCopies + "/б.txt", "1"}, {kCopies + "/А.doc", "2"}, {kCopies + "/Старые файлы/old.txt", "3"}});
        f.refreshFromStick();
        QCOMPARE(present->root(), h.tree.path(kCopies));
        QCOMPARE(present->count(), 2);
        QCOMPARE(present->item(0)->text(), QStringLiteral("А.doc"));
        QCOMPARE(text(f, "presentCount"), QStringLiteral("2 шт."));
        // The view follows a new file by itself, before any refresh.
        h.tree.write(kCopies + "/в.txt", "4");
        QTRY_COMPARE(text(f, "presentCount"), QStringLiteral("3 шт."));
    }

    // The stick pulled out, or detached so that its folder's path lies on another mount:
    // the window says so, keeps the lists greyed, lets nothing be done that needs the
    // stick (an automatic synchronisation only notes that it skipped) and never shows the
    // computer's own files; put back, everything returns.
    void stickPulledAndPutBack() {
        for (const bool detached : {false, true}) {
            WindowHarness h;
            MainWindow& f = h.startRecognised({"/home/u/a.txt"});
            f.showVersions(0);
            auto* versions = f.findChild<QWidget*>(QStringLiteral("versionsWindow"));
            QVERIFY(versions->isVisible());
            const std::string root = h.tree.root().substr(0, h.tree.root().size() - 1);
            if (detached) {
                h.platform.mountedAt = "/media/u/OTHER";
            } else {
                std::filesystem::rename(fsPath(root), fsPath(root + "-away"));
            }
            f.refreshFromStick();
            QVERIFY(find(f, "stickMissing")->isVisibleTo(&f));
            QCOMPARE(text(f, "stickMissing"), QStringLiteral("Флешка не найдена: вставьте ее снова"));
            QVERIFY(!versions->isVisible());  // the versions it showed went with the stick
            QCOMPARE(f.fileList(), Lines{"/home/u/a.txt"});
            for (const char* control : {"fileListView", "addFromComputerButton", "toFlashButton",
                                        "synchroniseButton", "openReportButton", "addFromFlashButton"}) {
                QVERIFY2(!find(f, control)->isEnabled(), control);
            }
            QCOMPARE(find<ShellListView>(f, "presentFilesView")->count(), 0);
            click(f, "automaticBox");
            f.synchroniseOnTimer();
            QVERIFY(text(f, "synchronisationStatus")
                        .startsWith(QStringLiteral("Пропущена: 16:18:02, нет флешки")));
            find<RadioGroup>(f, "modeGroup")->item(0)->click();
            savePicture(&f, QStringLiteral("main-stick-pulled"));
            if (detached) {
                h.platform.mountedAt.reset();
            } else {
                std::filesystem::rename(fsPath(root + "-away"), fsPath(root));
            }
            f.refreshFromStick();
            QVERIFY(!find(f, "stickMissing")->isVisibleTo(&f));
            QVERIFY(find(f, "synchroniseButton")->isEnabled() && find(f, "addFromComputerButton")->isEnabled());
            QCOMPARE(find<ShellListView>(f, "presentFilesView")->root(), h.tree.path(kCopies));
            QVERIFY(h.dialogs.messages.empty());
        }
    }

    // Renamed by another program, the computer is followed by the next look: its name,
    // lists and copies folder. A window that has not looked yet writes nothing under the
    // old name: it reads the stick first and says so.
    void followsARenameMadeElsewhere() {
        WindowHarness h;
        MainWindow& f = h.startRecognised({"/home/u/a.txt"});
        const WorkArea area(h.tree.root());
        QVERIFY(!renameComputer(h.platform, area, "Офисный", "Дача"));  // as verdaline-cli rename does
        f.refreshFromStick();
        expectRecognised(f, "Дача");
        QCOMPARE(f.fileList(), Lines{"/home/u/a.txt"});
        QCOMPARE(find<ShellListView>(f, "presentFilesView")->root(), h.tree.path("Файлы с компьютера_Дача"));
        QVERIFY(!renameComputer(h.platform, area, "Дача", "Офис"));
        h.dialogs.answers = {QStringLiteral("/home/u/b.txt")};
        click(f, "addFromComputerButton");
        expectMessage(h.dialogs, 1, Dialogs::Icon::Warning, QStringLiteral("теперь он называется \"Офис\""));
        expectRecognised(f, "Офис");
        QVERIFY(!renameComputer(h.platform, area, "Офис", "Дом"));
        click(f, "synchroniseButton");
        expectMessage(h.dialogs, 2, Dialogs::Icon::Warning, QStringLiteral("теперь он называется \"Дом\""));
        for (const char* stale : {"Дача", "Офис"}) {
            QVERIFY(!h.tree.exists(std::string("Файлы с компьютера_") + stale));
            QVERIFY(!h.tree.exists(std::string("Списки_отчеты/Список файлов на компьютере_") + stale + "_.txt"));
            QVERIFY(!h.tree.exists(std::string("Списки_отчеты/Отчет копирования_") + stale + "_.txt"));
        }
        QCOMPARE(h.tree.read("Списки_отчеты/Список файлов на компьютере_Дом_.txt"), listBytes({"/home/u/a.txt"}));
        // Another program's list change under a name no longer on the stick is refused.
        QVERIFY(failureOf([&] { addEntries(h.platform, area, "Офис", {}, {"/home/u/c.txt"}); })
                    .find("его больше нет в списке компьютеров") != std::string::npos);
        QVERIFY(!h.tree.exists("Списки_отчеты/Список файлов на компьютере_Офис_.txt"));
    }

    // A file sits where the copies folder should be: start-up stops at loading, the
    // failure is shown with what to do, and the window shows what it had reached.
    void failureDuringStartUpIsShownAndTheWindowGoesOn() {
        WindowHarness h;
        h.tree.write(kCopies, "not a folder");
        MainWindow& f = h.startRecognised({"/home/u/a.txt"});
        expectMessage(h.dialogs, 1, Dialogs::Icon::Stop, QStringLiteral("I/O error 17. "));
        QVERIFY(h.dialogs.messages[0].text.endsWith(
            QStringLiteral("уже есть файл или папка с тем же именем: переименуйте или уберите их и повторите.")));
        QCOMPARE(h.dialogs.messages[0].caption, QStringLiteral("Verdaline"));
        QCOMPARE(f.fileList(), Lines{"/home/u/a.txt"});
        QVERIFY(f.flashList().empty());
        QCOMPARE(text(f, "fileCount"), QStringLiteral("0 шт."));
        QCOMPARE(f.windowTitle(), QStringLiteral("Verdaline"));
        QVERIFY(find<QPushButton>(f, "addFromComputerButton")->isEnabled());
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
