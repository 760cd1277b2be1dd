// The copy runs from the window: the arrows, synchronisation from its three starts,
// the progress bar, the report message and the automatic synchronisation's timer.
#include <QAction>
#include <QTableWidget>

#include "report.h"
#include "window_harness.h"

using namespace verdaline;
using namespace verdaline::testing;

namespace {

// The computer's files pc/<name> written with their names as content, and started
// with them as the file list.
MainWindow& startWithFiles(WindowHarness& h, std::initializer_list<const char*> names) {
    Lines list;
    for (const char* name : names) {
        h.tree.write(std::string("pc/") + name, name);
        list.push_back(h.tree.path(std::string("pc/") + name));
    }
    return h.startRecognised(list);
}

}  // namespace

class CopyTest : public QObject {
    Q_OBJECT

private slots:
    // The bar counts the entries, stands at the last while the report is shown and
    // returns to 0 after; when the report cannot be saved, the run stops there and shows
    // what it did with the reason. The arrow enabled by the direction copies that way.
    void directedCopies() {
        WindowHarness h;
        MainWindow& f = startWithFiles(h, {"a.txt", "b.txt", "c.txt"});
        // Before the run its plan: every row marked, summed up, and told when asked.
        const auto planned = [&f](const char* summary, const char* firstMark) {
            QTRY_VERIFY(!f.planning());
            QVERIFY2(text(f, "planSummary") == QString::fromUtf8(summary), qPrintable(text(f, "planSummary")));
            QCOMPARE(find<QListView>(f, "fileListView")->model()->index(0, 0).data(Qt::UserRole).toString(),
                     QString::fromUtf8(firstMark));
        };
        planned("Будет скопировано: на флешку 3, на компьютер 0, конфликтов 0", ">");
        QVERIFY(hintOf(find(f, "fileListView"))
                    .startsWith(q(h.tree.path("pc/a.txt")) + QStringLiteral("\nБудет скопирован с компьютера на флешку.")));
        savePicture(&f, QStringLiteral("main-planned"));
        click(f, "toComputerChoice");
        planned("Будет скопировано: на флешку 0, на компьютер 0, конфликтов 0, не найдено 3\n"
                "на компьютере новее: 3 — нажмите «>»",
                "?");
        click(f, "toFlashChoice");
        QProgressBar* bar = find<QProgressBar>(f, "progressBar");
        int positionWhileShown = -1;
        // The message box serves timers while it stands, as a modal one does.
        h.dialogs.whileMessageOpen = [&](const FakeDialogs::Message&) {
            positionWhileShown = bar->value();
            QCoreApplication::processEvents();
        };
        click(f, "toFlashButton");
        QCOMPARE(bar->maximum(), 2);
        QCOMPARE(positionWhileShown, 2);
        QCOMPARE(bar->value(), 0);
        expectMessage(h.dialogs, 1, Dialogs::Icon::None,
                      QStringLiteral("Выполнено- Файл N1   ") + q(h.tree.path("pc/a.txt")));
        QCOMPARE(h.dialogs.messages[0].text, q(reportText(f.reportLines())));
        planned("Будет скопировано: на флешку 0, на компьютер 0, конфликтов 0", "=");
        QCOMPARE(h.tree.read(kCopies + "/b.txt"), std::string("b.txt"));
        // Edited on the stick since: the next look marks what waits for the other arrow.
        h.tree.write({{kCopies + "/b.txt", "from home", std::time(nullptr) + 60}});
        f.refreshFromStick();
        planned("Будет скопировано: на флешку 0, на компьютер 0, конфликтов 0\nна флешке новее: 1 — нажмите «<»",
                "=");
        QVERIFY(hintOf(find(f, "fileListView")).count('\n') == 3);  // row 1 waits for nothing
        savePicture(&f, QStringLiteral("main-newer-on-the-stick"));

        h.platform.failWrite[h.tree.path(kReport)] = ENOSPC;
        click(f, "toFlashButton");
        expectMessage(h.dialogs, 2, Dialogs::Icon::Stop, QStringLiteral("Не копирую- Файл N3"));
        QVERIFY(h.dialogs.messages[1].text.startsWith(QStringLiteral("Cannot create file")));
        QCOMPARE(bar->value(), 0);  // a stopped run shows no progress
        h.platform.failWrite.clear();

        h.tree.write(kCopies + "/a.txt", "from flash");
        std::remove(h.tree.path("pc/a.txt").c_str());
        click(f, "toComputerChoice");
        click(f, "toComputerButton");
        QCOMPARE(h.tree.read("pc/a.txt"), std::string("from flash"));
    }

    void emptyListShowsTheErrorThenTheClosingLines() {
        WindowHarness h;
        MainWindow& f = h.startRecognised();
        QProgressBar* bar = find<QProgressBar>(f, "progressBar");
        const int maximum = bar->maximum();
        click(f, "toFlashButton");
        QCOMPARE(h.dialogs.messages.size(), size_t(2));
        QCOMPARE(h.dialogs.messages[0].text, QStringLiteral("Ошибка 22"));
        QCOMPARE(h.dialogs.messages[1].text,
                 QStringLiteral("       \n-------------06.12.2026 16:18:02-------------\n"));
        QCOMPARE(bar->maximum(), maximum);
        QCOMPARE(h.tree.read(kReport),
                 std::string("       \r\n-------------06.12.2026 16:18:02-------------\r\n"));
    }

    // Synchronisation tells what it did in its group, and asks nothing unless an entry had a
    // conflict or failed: then a message lists them in words and offers the folder where
    // the other version was kept. It starts from
    // its button, and when focus reaches the bar from another control, not when the
    // window returns to the front; the arrow keys walk the controls on the window. The
    // last report shows decoded in a window of its own; before one exists, a word says so.
    void synchronisationTellsWhatWentWrong() {
        WindowHarness h;
        MainWindow& f = startWithFiles(h, {"a.txt"});
        QCheckBox* backups = find<QCheckBox>(f, "backupsBox");
        QProgressBar* bar = find<QProgressBar>(f, "progressBar");
        QFocusEvent windowReturns(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(bar, &windowReturns);
        click(f, "openReportButton");
        expectMessage(h.dialogs, 1, Dialogs::Icon::Information, QStringLiteral("Отчета еще нет"));
        QVERIFY(!h.tree.exists(kReport));
        h.dialogs.messages.clear();
        click(f, "synchroniseButton");
        QCOMPARE(bar->maximum(), 1);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(text(f, "synchronisationStatus"),
                 QStringLiteral("Последняя: 16:18:02\nна флешку 1, на компьютер 0,\nошибок 0, конфликтов 0"));
        // Edited on both sides since: the newer wins, and the other, kept, is counted.
        const std::time_t now = std::time(nullptr);
        h.tree.write({{"pc/a.txt", "office", now + 60}, {kCopies + "/a.txt", "home", now + 30}});
        h.dialogs.replies = {true};
        find<RadioGroup>(f, "modeGroup")->item(0)->click();
        click(f, "synchroniseButton");
        QVERIFY(text(f, "synchronisationStatus").endsWith(QStringLiteral("ошибок 0, конфликтов 1")));
        expectMessage(
            h.dialogs, 1, Dialogs::Icon::Information,
            QStringLiteral("Конфликтов: 1.\n\nФайл N1 ") + q(h.tree.path("pc/a.txt")) +
                QStringLiteral(": изменен и на компьютере, и на флешке; более новая версия скопирована "
                               "с компьютера на флешку, версия с флешки сохранена: ") +
                q(h.tree.path(kCopies + "/Старые файлы/a (конфликт ")));
        QVERIFY(!find(f, "runNotice")->isHidden());
        savePicture(&f, QStringLiteral("main-synchronised-with-a-conflict"));
        // Its message offers the entry's versions. The other one, taken back, is on both
        // sides, both versions it replaced are kept, and nothing is left to copy.
        auto* versions = f.findChild<QWidget*>(QStringLiteral("versionsWindow"));
        QVERIFY(versions->isVisible());
        QCOMPARE(versions->windowTitle(), QStringLiteral("Версии файла - ") + q(h.tree.path("pc/a.txt")));
        auto* table = versions->findChild<QTableWidget*>(QStringLiteral("versionTable"));
        const auto kinds = [table] {
            QStringList shown;
            for (int row = 0; row < table->rowCount(); ++row) {
                shown.append(table->item(row, 2)->text());
            }
            return shown.join(QLatin1Char(','));
        };
        QCOMPARE(kinds(), QStringLiteral("на компьютере,на флешке,конфликт"));
        savePicture(versions, QStringLiteral("versions-after-a-conflict"));
        click(*versions, "openButton");
        QVERIFY(h.dialogs.opened.at(0).toLocalFile().contains(QStringLiteral("/Старые файлы/a (конфликт ")));
        h.dialogs.replies = {true};
        click(*versions, "restoreButton");
        QCOMPARE(h.tree.read("pc/a.txt"), std::string("home"));
        QCOMPARE(h.tree.read(kCopies + "/a.txt"), std::string("home"));
        QVERIFY2(kinds().startsWith(QStringLiteral("на компьютере,на флешке,")) &&
                     kinds().contains(QStringLiteral("замененная")) &&
                     kinds().contains(QStringLiteral("с компьютера")) &&
                     kinds().endsWith(QStringLiteral(",конфликт")),
                 qPrintable(kinds()));
        QTRY_VERIFY(!f.planning());
        QCOMPARE(find<QListView>(f, "fileListView")->model()->index(0, 0).data(Qt::UserRole).toString(),
                 QStringLiteral("="));
        versions->close();
        // The list's menu opens it too, for the row chosen.
        auto* rows = find<QListView>(f, "fileListView");
        rows->setCurrentIndex(rows->model()->index(0, 0));
        f.findChild<QAction*>(QStringLiteral("versionsItem"))->trigger();
        QVERIFY(versions->isVisible());
        versions->close();
        h.dialogs.messages.clear();
        // A failed entry is counted, and its reason told where the count is.
        h.tree.write({{"pc/a.txt", "again", now + 120}});
        h.platform.writeProtected = h.tree.path(kCopies);
        click(f, "synchroniseButton");
        QVERIFY(text(f, "synchronisationStatus").endsWith(QStringLiteral("ошибок 1, конфликтов 0")));
        QVERIFY(find(f, "synchronisationStatus")->toolTip().endsWith(QStringLiteral(": флешка защищена от записи.")));
        expectMessage(h.dialogs, 1, Dialogs::Icon::Warning, QStringLiteral("Не скопировано: 1.\n\nФайл N1 "));
        QCOMPARE(h.dialogs.opened.size(), size_t(1));
        h.platform.writeProtected.clear();
        h.dialogs.messages.clear();
        click(f, "openReportButton");
        QWidget* report = f.findChild<QWidget*>(QStringLiteral("reportWindow"));
        QVERIFY(report && report->isVisible() && h.dialogs.opened.size() == 1);
        QCOMPARE(find<QPlainTextEdit>(*report, "reportText")->toPlainText(), q(reportText(f.reportLines())));
        savePicture(report, QStringLiteral("report-window"));
        report->close();
        QVERIFY(f.reportLines().back().find("_____________06.12.2026") != std::string::npos);

        std::remove(h.tree.path(kReport).c_str());
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        find<QPushButton>(f, "openReportButton")->setFocus();
        QTest::keyClick(find<QPushButton>(f, "openReportButton"), Qt::Key_Right);
        QVERIFY(bar->hasFocus());
        QTRY_VERIFY(h.tree.exists(kReport));  // reaching the bar synchronised
        QVERIFY(find(f, "runNotice")->isHidden());  // and nothing went wrong
        QTest::keyClick(bar, Qt::Key_Down);
        QVERIFY(backups->hasFocus());
        std::remove(h.tree.path(kReport).c_str());
        QTest::keyClick(backups, Qt::Key_Up);
        QVERIFY(bar->hasFocus());
        QVERIFY(h.tree.exists(kReport));
        QVERIFY(h.dialogs.messages.empty());
    }

    // A long copy keeps the window served: a large file shows how far it has come, no
    // run starts inside the run, and a tick that came meanwhile gives one run after it.
    void longRunKeepsTheWindowServed() {
        WindowHarness h;
        h.tree.write({{"pc/big.bin", std::string(20 << 20, 'b')}});
        MainWindow& f = h.startRecognised({h.tree.path("pc/big.bin")});
        QProgressBar* bar = find<QProgressBar>(f, "progressBar");
        click(f, "automaticBox");
        h.syscalls.writeDelayMs = 10;
        QString shownDuringRun;
        std::string reportWhileShown;
        h.dialogs.whileMessageOpen = [&](const FakeDialogs::Message&) {
            f.synchroniseOnTimer();  // a tick during the report's message starts nothing inside it
            reportWhileShown = f.reportLines().front();
        };
        QTimer::singleShot(0, &f, [&] {
            shownDuringRun = text(f, "progressBar");
            f.synchronise();
            f.synchroniseOnTimer();
        });
        click(f, "toFlashButton");
        h.syscalls.writeDelayMs = 0;
        QVERIFY2(shownDuringRun.startsWith(QStringLiteral("Файл N1: ")), qPrintable(shownDuringRun));
        expectMessage(h.dialogs, 1, Dialogs::Icon::None, QStringLiteral("Выполнено- Файл N1"));
        QCOMPARE(reportWhileShown.rfind("Выполнено- Файл N1", 0), 0u);
        QTRY_VERIFY(f.reportLines().front().rfind("Не копирую - Файлы N1", 0) == 0);  // one run after
        QVERIFY(!bar->isTextVisible());
    }

    // The box starts the timer without a run; a new interval restarts the count; a
    // tick runs only while the box is checked, whatever the mode shows.
    void automaticSynchronisationTimer() {
        WindowHarness h;
        MainWindow& f = startWithFiles(h, {"a.txt"});
        QComboBox* interval = find<QComboBox>(f, "intervalBox");
        QTimer* timer = find<QTimer>(f, "synchronisationTimer");
        QCOMPARE(timer->interval(), 600000);  // the item shown, 10 минут
        click(f, "automaticBox");
        QVERIFY(interval->isEnabled() && timer->isActive());
        QCOMPARE(text(f, "synchronisationStatus"), QStringLiteral("Следующая: 16:18:02"));
        QVERIFY(!h.tree.exists(kReport));
        interval->setCurrentIndex(5);
        f.chooseInterval();
        QCOMPARE(timer->interval(), 10800000);  // ТРИ ЧАСА, counted from now
        QVERIFY(timer->isActive());

        find<RadioGroup>(f, "modeGroup")->item(1)->click();  // the directed-copy controls shown: ticks go on
        h.tree.write(kCopies + "/Старые файлы/.made", "");
        h.platform.writeProtected = h.tree.path(kCopies);
        f.synchroniseOnTimer();
        h.platform.writeProtected.clear();
        QVERIFY(h.tree.exists(kReport));
        // What went wrong is told in the window, without a message.
        QVERIFY(h.dialogs.messages.empty());
        QCOMPARE(text(f, "runNotice"),
                 QStringLiteral("Синхронизация в 16:18:02. Не скопировано: 1. Подробности - в отчете."));
        savePicture(&f, QStringLiteral("main-automatic-run-failed"));
        click(f, "automaticBox");
        QVERIFY(!timer->isActive() && !interval->isEnabled());
        std::remove(h.tree.path(kReport).c_str());
        f.synchroniseOnTimer();  // a tick delivered after unchecking
        QVERIFY(!h.tree.exists(kReport));
        click(f, "automaticBox");
        QCOMPARE(timer->interval(), 10800000);
    }
};

QTEST_MAIN(CopyTest)
#include "copy_test.moc"
