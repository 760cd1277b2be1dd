// The copy runs from the window: the arrows, synchronisation from its three starts,
// the progress bar, the report message and the automatic synchronisation's timer.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QStandardPaths>
#include <QTimer>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "cp1251.h"
#include "radio_group.h"
#include "report.h"
#include "tform1.h"
#include "window_harness.h"

using namespace verdaline;
using namespace verdaline::testing;

namespace {

const char* const kReport = "Списки_отчеты/Отчет копирования_Офисный_.txt";

// A recognised computer "Офисный" whose list holds the given files of tree/pc.
TForm1& startWith(WindowHarness& h, const std::vector<std::string>& names) {
    h.tree.write("Списки_отчеты/Список компьютеров.txt", cp1251Lines({"Офисный", "1A2B3C4D1A2B3C4D"}));
    std::string list;
    for (const auto& name : names) {
        list += *encodeCp1251(h.tree.path("pc/" + name)) + "\r\n";
    }
    h.tree.write("Списки_отчеты/Список файлов на компьютере_Офисный_.txt", list);
    return h.start();
}

}  // namespace

class CopyTest : public QObject {
    Q_OBJECT

private slots:
    void copyToTheFlashDriveShowsItsReportThenResetsTheBar() {
        WindowHarness h;
        h.tree.write({{"pc/a.txt", "a"}, {"pc/b.txt", "b"}, {"pc/c.txt", "c"}});
        TForm1& f = startWith(h, {"a.txt", "b.txt", "c.txt"});
        int positionWhileShown = -1;
        h.dialogs.whileMessageOpen = [&](const FakeDialogs::Message&) {
            positionWhileShown = f.ProgressBar1->value();
        };
        f.Button2->click();
        QCOMPARE(f.ProgressBar1->maximum(), 2);
        QCOMPARE(positionWhileShown, 2);
        QCOMPARE(f.ProgressBar1->value(), 0);
        QCOMPARE(h.dialogs.messages.size(), size_t(1));
        QCOMPARE(h.dialogs.messages[0].caption, QStringLiteral("Verdaline"));
        QVERIFY(h.dialogs.messages[0].text.startsWith(QStringLiteral("Выполнено- Файл N1   ") +
                                                      QString::fromStdString(h.tree.path("pc/a.txt")) +
                                                      QStringLiteral(" - новый.\n")));
        QVERIFY(h.dialogs.messages[0].text.endsWith(
            QStringLiteral("\n       \n-------------06.12.2026 16:18:02-------------\n")));
        QCOMPARE(h.tree.read("Файлы с компьютера_Офисный/b.txt"), std::string("b"));
        QCOMPARE(f.reportLines().size(), size_t(5));
    }

    void copyToTheComputerFollowsTheDirection() {
        WindowHarness h;
        h.tree.write({{"Файлы с компьютера_Офисный/a.txt", "from flash"}});
        h.tree.makeFolder("pc");
        TForm1& f = startWith(h, {"a.txt"});
        QVERIFY(!f.Button3->isEnabled());
        f.RadioButton2->click();
        f.Button3->click();
        QCOMPARE(h.tree.read("pc/a.txt"), std::string("from flash"));
        QVERIFY(h.dialogs.messages[0].text.endsWith(QStringLiteral("_____________\n")));
    }

    void emptyListShowsTheErrorThenTheClosingLines() {
        WindowHarness h;
        TForm1& f = startWith(h, {});
        const int maximum = f.ProgressBar1->maximum();
        f.Button2->click();
        QCOMPARE(h.dialogs.messages.size(), size_t(2));
        QCOMPARE(h.dialogs.messages[0].text, QStringLiteral("Ошибка 22"));
        QCOMPARE(h.dialogs.messages[0].caption, QStringLiteral("Verdaline"));
        QCOMPARE(h.dialogs.messages[1].text,
                 QStringLiteral("       \n-------------06.12.2026 16:18:02-------------\n"));
        QCOMPARE(f.ProgressBar1->maximum(), maximum);
        QCOMPARE(h.tree.read(kReport),
                 std::string("       \r\n-------------06.12.2026 16:18:02-------------\r\n"));
    }

    void synchronisationFromItsButtonIsSilent() {
        WindowHarness h;
        h.tree.write({{"pc/a.txt", "a"}});
        TForm1& f = startWith(h, {"a.txt", "b.txt"});
        f.Button13->click();
        QVERIFY(h.dialogs.messages.empty());
        QCOMPARE(f.ProgressBar1->maximum(), 1);
        QCOMPARE(f.ProgressBar1->value(), 0);
        QCOMPARE(h.tree.read("Файлы с компьютера_Офисный/a.txt"), std::string("a"));
        QVERIFY(h.tree.read(kReport).find("_____________06.12.2026") != std::string::npos);
        QCOMPARE(f.Label13->text(), QStringLiteral("Последняя: 16:18:02\nна флешку 1, на компьютер 0,\nошибок 0"));
    }

    // A long copy keeps the window served: a large file shows how far it has come, no
    // run starts inside the run, and a tick that came meanwhile gives one run after it.
    void longRunKeepsTheWindowServed() {
        WindowHarness h;
        h.tree.write({{"pc/big.bin", std::string(20 << 20, 'b')}});
        TForm1& f = startWith(h, {"big.bin"});
        f.CheckBox1->click();
        h.syscalls.writeDelayMs = 10;
        QString shownDuringRun;
        std::string reportWhileShown;
        h.dialogs.whileMessageOpen = [&](const FakeDialogs::Message&) {
            f.Timer1Timer();  // a tick during the report's message starts nothing inside it
            reportWhileShown = f.reportLines().front();
        };
        QTimer::singleShot(0, &f, [&] {
            shownDuringRun = f.ProgressBar1->text();
            f.Button8Click();
            f.Timer1Timer();
        });
        f.Button2->click();
        h.syscalls.writeDelayMs = 0;
        QVERIFY2(shownDuringRun.startsWith(QStringLiteral("Файл N1: ")), qPrintable(shownDuringRun));
        QCOMPARE(h.dialogs.messages.size(), size_t(1));
        QVERIFY(h.dialogs.messages[0].text.startsWith(QStringLiteral("Выполнено- Файл N1")));
        QCOMPARE(reportWhileShown.rfind("Выполнено- Файл N1", 0), 0u);
        QTRY_VERIFY(f.reportLines().front().rfind("Не копирую - Файлы N1", 0) == 0);  // one run after
        QVERIFY(!f.ProgressBar1->isTextVisible());
    }

    void reportThatCannotBeSavedStopsTheRunAndKeepsTheBar() {
        WindowHarness h;
        h.tree.write({{"pc/a.txt", "a"}, {"pc/b.txt", "b"}});
        TForm1& f = startWith(h, {"a.txt", "b.txt"});
        h.platform.failWrite[h.tree.path(kReport)] = ENOSPC;
        f.Button2->click();
        QCOMPARE(h.dialogs.messages.size(), size_t(1));
        QCOMPARE(h.dialogs.messages[0].icon, Dialogs::Icon::Stop);
        QVERIFY(h.dialogs.messages[0].text.startsWith(QStringLiteral("Cannot create file")));
        QVERIFY(h.dialogs.messages[0].text.contains(QStringLiteral("Выполнено- Файл N2")));  // what was done
        QCOMPARE(f.ProgressBar1->value(), 1);
    }

    // Nothing opens before the first report; then a UTF-8 rendering of it opens.
    void openingTheLastReport() {
        QStandardPaths::setTestModeEnabled(true);
        WindowHarness h;
        h.tree.write({{"pc/a.txt", "a"}});
        TForm1& f = startWith(h, {"a.txt"});
        f.Button12->click();
        QVERIFY(h.dialogs.opened.empty());
        f.Button13->click();
        f.Button12->click();
        QCOMPARE(h.dialogs.opened.size(), size_t(1));
        QFile opened(h.dialogs.opened[0].toLocalFile());
        QVERIFY(opened.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(opened.readAll()), QString::fromStdString(reportText(f.reportLines())));
        QVERIFY(h.dialogs.messages.empty());
    }

    // The box starts the timer without a run; a new interval restarts the count; a
    // tick runs only while the box is checked, whatever the mode shows.
    void automaticSynchronisationTimer() {
        WindowHarness h;
        TForm1& f = startWith(h, {"a.txt"});
        QVERIFY(!f.ComboBox3->isEnabled());
        QCOMPARE(f.ComboBox3->currentText(), QStringLiteral("10 минут"));
        QCOMPARE(f.Timer1->interval(), 600000);
        f.CheckBox1->click();
        QVERIFY(f.ComboBox3->isEnabled() && f.Timer1->isActive());
        QCOMPARE(f.Label13->text(), QStringLiteral("Следующая: 16:18:02"));
        QVERIFY(!h.tree.exists(kReport));
        f.ComboBox3->setCurrentIndex(5);
        f.ComboBox3Change();
        QCOMPARE(f.Timer1->interval(), 10800000);  // ТРИ ЧАСА, counted from now
        QVERIFY(f.Timer1->remainingTime() > 600000);

        f.RadioGroup1->item(1)->click();  // the directed-copy controls shown: ticks go on
        f.Timer1Timer();
        QVERIFY(h.tree.exists(kReport));
        f.CheckBox1->click();
        QVERIFY(!f.Timer1->isActive() && !f.ComboBox3->isEnabled());
        std::remove(h.tree.path(kReport).c_str());
        f.Timer1Timer();  // a tick delivered after unchecking
        QVERIFY(!h.tree.exists(kReport));
        f.CheckBox1->click();
        QCOMPARE(f.Timer1->interval(), 10800000);
    }

    void progressBarFocusStartsOneSynchronisation() {
        WindowHarness h;
        h.tree.write({{"pc/a.txt", "a"}});
        TForm1& f = startWith(h, {"a.txt"});
        QFocusEvent windowReturns(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(f.ProgressBar1, &windowReturns);
        QVERIFY(!h.tree.exists(kReport));
        QFocusEvent arrived(QEvent::FocusIn, Qt::OtherFocusReason);
        QApplication::sendEvent(f.ProgressBar1, &arrived);
        QCOMPARE(h.tree.read("Файлы с компьютера_Офисный/a.txt"), std::string("a"));
        QVERIFY(h.tree.read(kReport).find("_____________") != std::string::npos);
    }

    void arrowKeysWalkTheWindowsControls() {
        WindowHarness h;
        h.tree.write({{"pc/a.txt", "a"}});
        TForm1& f = startWith(h, {"a.txt"});
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.Button12->setFocus();
        QTest::keyClick(f.Button12, Qt::Key_Right);
        QVERIFY(f.ProgressBar1->hasFocus());
        QTRY_VERIFY(h.tree.exists(kReport));  // reaching the bar synchronised
        QTest::keyClick(f.ProgressBar1, Qt::Key_Down);
        QVERIFY(f.CheckBox2->hasFocus());
        std::remove(h.tree.path(kReport).c_str());
        QTest::keyClick(f.CheckBox2, Qt::Key_Up);
        QVERIFY(f.ProgressBar1->hasFocus());
        QVERIFY(h.tree.exists(kReport));
        QTest::keyClick(f.ProgressBar1, Qt::Key_Left);
        QVERIFY(f.Button12->hasFocus());
    }
};

QTEST_MAIN(CopyTest)
#include "copy_test.moc"
