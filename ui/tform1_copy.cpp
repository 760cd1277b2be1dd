// The main window's copy runs: the two directed copies, synchronisation from its
// button, its timer and the progress bar's focus, and the copy report.
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>
#include <algorithm>
#include <array>

#include "errors.h"
#include "file_list.h"
#include "report.h"
#include "shell_list_view.h"
#include "texts.h"
#include "tform1.h"

namespace verdaline {
namespace {

// The interval of each item of the list, by position.
constexpr std::array<int, 7> kIntervals = {300000, 600000, 1200000, 1800000, 3600000, 10800000, 28800000};

}  // namespace

RunResult TForm1::run(RunKind kind) {
    m_running = true;
    struct Done {
        bool& running;
        ~Done() { running = false; }
    } done{m_running};

    // The run works on the lists as the stick has them, and no other program changes
    // the work area meanwhile.
    const WorkAreaLock lock(m_env.platform, m_area);
    showLists(listsOnStick(m_env.platform, m_area, computerName(), heldLists()));
    const int entries = static_cast<int>(m_fileList.size());
    if (entries == 0) {
        m_env.dialogs.showMessage(this, QString::fromUtf8(texts::kApplicationTitle),
                                  QStringLiteral("Ошибка ") + QString::number(emptyListErrorNumber()),
                                  Dialogs::Icon::None);
    } else {
        // A bar whose maximum equals its minimum turns into an endless busy indicator
        // in Qt, so a list of one entry gets the range 0..1.
        ProgressBar1->setMaximum(std::max(entries - 1, 1));
    }
    RunRequest request;
    request.kind = kind;
    request.computerName = computerName();
    request.fileList = m_fileList;
    request.flashList = m_flashList;
    request.backups = CheckBox2->isChecked();
    m_report.clear();
    RunResult result = runCopy(m_env.platform, m_area, m_env.clock, request, [this](std::size_t index) {
        // Drawn at once; nothing else is served while the run works.
        ProgressBar1->setValue(static_cast<int>(index));
        ProgressBar1->repaint();
    });
    m_report = result.report;
    if (result.failure) {
        // What the run did is shown with the reason it stopped or kept no report.
        throw Failure(stoppedRunText(result));
    }
    return result;
}

// A directed copy shows its report, then the bar returns to 0.
void TForm1::directedCopy(RunKind kind) {
    const RunResult result = run(kind);
    m_running = true;
    m_env.dialogs.showMessage(this, QString::fromUtf8(texts::kApplicationTitle),
                              QString::fromStdString(reportText(result.report)), Dialogs::Icon::None);
    m_running = false;
    ProgressBar1->setValue(0);
}

void TForm1::Button2Click() {
    directedCopy(RunKind::ToFlash);
}

void TForm1::Button3Click() {
    directedCopy(RunKind::ToComputer);
}

void TForm1::Button8Click() {
    run(RunKind::Synchronise);
    ProgressBar1->setValue(0);
}

void TForm1::Button13Click() {
    Button8Click();
}

void TForm1::Button12Click() {
    m_env.dialogs.openExternally(
        QUrl::fromLocalFile(QString::fromStdString(m_area.reportFile(computerName()))));
}

void TForm1::CheckBox1Click() {
    const bool on = CheckBox1->isChecked();
    ComboBox3->setEnabled(on);
    // Starting a running timer would restart its count; stopping discards it.
    if (on && !Timer1->isActive()) {
        Timer1->start();
    } else if (!on) {
        Timer1->stop();
    }
}

void TForm1::ComboBox3Change() {
    const int index = ComboBox3->currentIndex();
    if (index < 0 || index >= static_cast<int>(kIntervals.size())) {
        return;
    }
    // A new interval restarts the count; the same one leaves it alone.
    if (Timer1->interval() != kIntervals[static_cast<std::size_t>(index)]) {
        Timer1->setInterval(kIntervals[static_cast<std::size_t>(index)]);
    }
}

void TForm1::Timer1Timer() {
    // A tick that falls due while a run waits in its message box does not start a
    // run inside it; the timer's next tick comes an interval later.
    if (CheckBox1->isChecked() && !m_running) {
        Button13Click();
    }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ProgressBar1 && event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Only focus coming from another control of the window, not the window's own
        // return to the front.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !m_running) {
            guarded([this] { Button8Click(); });
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right || key == Qt::Key_Down) {
            moveFocusAlongWindow(static_cast<QWidget*>(watched), key == Qt::Key_Right || key == Qt::Key_Down);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// The arrow keys move the focus among the controls placed directly on the window, in
// their focus order, whether or not the tab key stops at them.
void TForm1::moveFocusAlongWindow(QWidget* from, bool forward) {
    const std::array<QWidget*, 5> order = {Button12, ProgressBar1, CheckBox2, ShellListView1, Button1};
    const auto at = std::find(order.begin(), order.end(), from);
    if (at == order.end()) {
        return;
    }
    const std::size_t count = order.size();
    std::size_t i = static_cast<std::size_t>(at - order.begin());
    for (std::size_t step = 1; step < count; ++step) {
        i = forward ? (i + 1) % count : (i + count - 1) % count;
        if (order[i]->isVisible() && order[i]->isEnabled()) {
            order[i]->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

}  // namespace verdaline
