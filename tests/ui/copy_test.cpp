// The copy runs from the window: the arrows, synchronisation from its three starts,
// the progress bar, the report message and the automatic synchronisation's timer.
#include "report.h"
#include "window_harness.h"

using namespace verdaline;
using namespace verdaline::testing;

namespace {

// The computer's files pc/<name> written with their names as content, and started
// with them as the file list.
TForm1& startWithFiles(WindowHarness& h, std::initializer_list<const char*> names) {
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
        TForm1& f = startWithFiles(h, {"a.txt", "b.txt", "c.txt"});
        int positionWhileShown = -1;
        h.dialogs.whileMessageOpen = [&](const FakeDialogs::Message&) {
            positionWhileShown = f.ProgressBar1->value();
        };
        f.Button2->click();
        QCOMPARE(f.ProgressBar1->maximum(), 2);
        QCOMPARE(positionWhileShown, 2);
        QCOMPARE(f.ProgressBar1->value(), 0);
        expectMessage(h.dialogs, 1, Dialogs::Icon::None,
                      QStringLiteral("Выполнено- Файл N1   ") + q(h.tree.path("pc/a.txt")));
        QCOMPARE(h.dialogs.messages[0].text, q(reportText(f.reportLines())));
        QCOMPARE(h.tree.read(kCopies + "/b.txt"), std::string("b.txt"));

        h.platform.failWrite[h.tree.path(kReport)] = ENOSPC;
        f.Button2->click();
        expectMessage(h.dialogs, 2, Dialogs::Icon::Stop, QStringLiteral("Не копирую- Файл N3"));
        QVERIFY(h.dialogs.messages[1].text.startsWith(QStringLiteral("Cannot create file")));
        QCOMPARE(f.ProgressBar1->value(), 2);
        h.platform.failWrite.clear();

        h.tree.write(kCopies + "/a.txt", "from flash");
        std::remove(h.tree.path("pc/a.txt").c_str());
        f.RadioButton2->click();
        f.Button3->click();
        QCOMPARE(h.tree.read("pc/a.txt"), std::string("from flash"));
    }

    void emptyListShowsTheErrorThenTheClosingLines() {
        WindowHarness h;
        TForm1& f = h.startRecognised();
        const int maximum = f.ProgressBar1->maximum();
        f.Button2->click();
        QCOMPARE(h.dialogs.messages.size(), size_t(2));
        QCOMPARE(h.dialogs.messages[0].text, QStringLiteral("Ошибка 22"));
        QCOMPARE(h.dialogs.messages[1].text,
                 QStringLiteral("       \n-------------06.12.2026 16:18:02-------------\n"));
        QCOMPARE(f.ProgressBar1->maximum(), maximum);
        QCOMPARE(h.tree.read(kReport),
                 std::string("       \r\n-------------06.12.2026 16:18:02-------------\r\n"));
    }

    // Synchronisation asks nothing and tells what it did in its group. It starts from
    // its button, and when focus reaches the bar from another control, not when the
    // window returns to the front; the arrow keys walk the controls on the window. The
    // last report opens as a UTF-8 rendering, and nothing opens before one exists.
    void synchronisationIsSilent() {
        QStandardPaths::setTestModeEnabled(true);
        WindowHarness h;
        TForm1& f = startWithFiles(h, {"a.txt"});
        QFocusEvent windowReturns(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(f.ProgressBar1, &windowReturns);
        f.Button12->click();
        QVERIFY(h.dialogs.opened.empty() && !h.tree.exists(kReport));
        f.Button13->click();
        QCOMPARE(f.ProgressBar1->maximum(), 1);
        QCOMPARE(f.ProgressBar1->value(), 0);
        QCOMPARE(f.Label13->text(),
                 QStringLiteral("Последняя: 16:18:02\nна флешку 1, на компьютер 0,\nошибок 0"));
        f.Button12->click();
        QCOMPARE(h.dialogs.opened.size(), size_t(1));
        QFile opened(h.dialogs.opened[0].toLocalFile());
        QVERIFY(opened.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(opened.readAll()), q(reportText(f.reportLines())));
        QVERIFY(f.reportLines().back().find("_____________06.12.2026") != std::string::npos);

        std::remove(h.tree.path(kReport).c_str());
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
        QVERIFY(h.dialogs.messages.empty());
    }

    // A long copy keeps the window served: a large file shows how far it has come, no
    // run starts inside the run, and a tick that came meanwhile gives one run after it.
    void longRunKeepsTheWindowServed() {
        WindowHarness h;
        h.tree.write({{"pc/big.bin", std::string(20 << 20, 'b')}});
        TForm1& f = h.startRecognised({h.tree.path("pc/big.bin")});
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
        expectMessage(h.dialogs, 1, Dialogs::Icon::None, QStringLiteral("Выполнено- Файл N1"));
        QCOMPARE(reportWhileShown.rfind("Выполнено- Файл N1", 0), 0u);
        QTRY_VERIFY(f.reportLines().front().rfind("Не копирую - Файлы N1", 0) == 0);  // one run after
        QVERIFY(!f.ProgressBar1->isTextVisible());
    }

    // The box starts the timer without a run; a new interval restarts the count; a
    // tick runs only while the box is checked, whatever the mode shows.
    void automaticSynchronisationTimer() {
        WindowHarness h;
        TForm1& f = startWithFiles(h, {"a.txt"});
        QCOMPARE(f.Timer1->interval(), 600000);  // the item shown, 10 минут
        f.CheckBox1->click();
        QVERIFY(f.ComboBox3->isEnabled() && f.Timer1->isActive());
        QCOMPARE(f.Label13->text(), QStringLiteral("Следующая: 16:18:02"));
        QVERIFY(!h.tree.exists(kReport));
        f.ComboBox3->setCurrentIndex(5);
        f.ComboBox3Change();
        QCOMPARE(f.Timer1->interval(), 10800000);  // ТРИ ЧАСА, counted from now
        QVERIFY(f.Timer1->isActive());

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
};

QTEST_MAIN(CopyTest)
#include "copy_test.moc"
