// The main window's copy runs: the two directed copies, synchronisation from its
// button, its timer and the progress bar's focus, and the copy report.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTimer>
#include <algorithm>
#include <array>

#include "computers.h"
#include "copies_list.h"
#include "errors.h"
#include "file_list.h"
#include "fitted_lines.h"
#include "main_window.h"
#include "radio_group.h"
#include "report.h"
#include "report_window.h"
#include "run_troubles.h"
#include "shell_list_view.h"
#include "texts.h"

namespace verdaline {
namespace {

// The interval of each item of the list, by position.
constexpr std::array<int, 7> kIntervals = {300000, 600000, 1200000, 1800000, 3600000, 10800000, 28800000};

// A file from this size on shows how far its copy has come.
constexpr std::uint64_t kLargeFile = 16 << 20;

}  // namespace

RunResult MainWindow::run(RunKind kind) {
    m_running = true;
    // A tick that came during the run starts one synchronisation after it, never one
    // inside it, and never more than one.
    struct Done {
        MainWindow& window;
        ~Done() {
            window.m_running = false;
            window.m_progressBar->setTextVisible(false);
            if (std::uncaught_exceptions() > 0) {
                window.m_progressBar->setValue(0);  // a run that failed or stopped shows no progress
            }
            window.replan();
            if (window.m_tickWaiting) {
                window.m_tickWaiting = false;
                QTimer::singleShot(0, &window,
                                   [w = &window] { w->guarded([w] { w->synchroniseOnTimer(); }); });
            }
        }
    } done{*this};

    // The run works on the lists as the stick has them, and no other program changes
    // the work area meanwhile.
    const auto lock = lockForRun(m_env.platform, m_area, kind);
    if (m_recognised) {
        requireStillNamed(m_env.platform, m_area, computerName());
    }
    FileLists lists = listsOnStick(m_env.platform, m_area, computerName(), heldLists());
    showLists(lists);
    const int entries = static_cast<int>(m_fileList.size());
    if (entries == 0) {
        m_env.dialogs.showMessage(this, QString::fromUtf8(texts::kApplicationTitle),
                                  QStringLiteral("Ошибка ") + QString::number(emptyListErrorNumber()),
                                  Dialogs::Icon::None);
    } else {
        // A bar whose maximum equals its minimum turns into an endless busy indicator
        // in Qt, so a list of one entry gets the range 0..1.
        m_progressBar->setMaximum(std::max(entries - 1, 1));
    }
    RunRequest request;
    request.kind = kind;
    request.computerName = computerName();
    request.fileList = m_fileList;
    request.flashList = m_flashList;
    request.backups = m_backupsBox->isChecked();
    request.states = std::move(lists.states);
    request.foreign = foreignEntries();
    m_report.clear();
    // The window stays drawn and answers the desktop through a long run; the user's
    // clicks and keys wait until it ends, so no second run can start inside it.
    QElapsedTimer sinceServed;
    sinceServed.start();
    const auto serve = [&sinceServed] {
        if (sinceServed.elapsed() >= 40) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sinceServed.restart();
        }
    };
    const auto onEntry = [this, &serve](std::size_t index) {
        m_runEntry = index;
        m_progressBar->setValue(static_cast<int>(index));
        m_progressBar->setTextVisible(false);
        serve();
    };
    const auto onBytes = [this, &serve](std::uint64_t copied, std::uint64_t size) {
        // A large file shows how far its copy has come.
        if (size >= kLargeFile) {
            m_progressBar->setFormat(
                QStringLiteral("Файл N%1: %2 %").arg(m_runEntry + 1).arg(copied * 100 / size));
            m_progressBar->setTextVisible(true);
        }
        serve();
    };
    RunResult result = runCopy(m_env.platform, m_area, m_env.clock, request, onEntry, onBytes);
    m_report = verdaline::reportLines(request, result);
    m_failureReasons = failureReasons(m_env.platform, request, result);
    m_troubles = runTroubles(request, result, m_failureReasons);
    for (const auto& [i, state] : result.states) {
        if (i < m_states.size()) {
            m_states[i] = state;
        }
    }
    m_stamp = stampOf(m_env.platform, m_area, computerName());  // the run wrote its states there
    if (result.failure) {
        // What the run did is shown with the reason it stopped or kept no report.
        throw Failure(stoppedRunText(result, m_report) +
                      (m_failureReasons.empty() ? std::string() : "\n" + reportText(m_failureReasons)));
    }
    return result;
}

// A directed copy shows its report, then the bar returns to 0.
void MainWindow::directedCopy(RunKind kind) {
    if (m_running || !inStepWithStick(true)) {
        return;
    }
    run(kind);
    tellRunResult(true, true);
}

// What went wrong stays in the window until the next run; a run the user started tells
// it in a message (a directed copy always shows its report), offering the versions kept.
// The plan and a tick that came meanwhile wait for the message to close.
void MainWindow::tellRunResult(bool startedByUser, bool withReport) {
    const std::string endedAt = m_env.clock.timeOfDay(std::time(nullptr));
    m_runNotice->setText(m_troubles.any() ? QString::fromStdString(troublesNotice(m_troubles, endedAt))
                                          : QString());
    m_runNotice->setToolTip(QString::fromStdString(reportText(m_troubles.lines)).trimmed());
    m_runNotice->setVisible(m_troubles.any());
    if (startedByUser && (withReport || m_troubles.any())) {
        m_running = true;
        const QString caption = QString::fromUtf8(texts::kApplicationTitle);
        const QString text = QString::fromStdString(runMessage(m_troubles, withReport ? m_report : Lines{}));
        if (m_troubles.keptVersions.empty()) {
            m_env.dialogs.showMessage(this, caption, text,
                                      m_troubles.any() ? Dialogs::Icon::Warning : Dialogs::Icon::None);
        } else if (m_env.dialogs.ask(
                       this, caption,
                       text + '\n' + QString::fromStdString(openKeptVersionsQuestion(m_troubles)))) {
            showVersions(m_troubles.keptEntries.front());
        }
        m_running = false;
    } else if (!startedByUser && m_troubles.any()) {
        notifyDesktop(m_runNotice->text());
    }
    m_progressBar->setValue(0);
    replan();
    if (m_tickWaiting) {
        m_tickWaiting = false;
        synchroniseOnTimer();
    }
}

// A notification of the desktop's own, where it has a place for one.
void MainWindow::notifyDesktop(const QString& text) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return;
    }
    if (m_trayIcon == nullptr) {
        m_trayIcon = new QSystemTrayIcon(windowIcon(), this);
    }
    m_trayIcon->show();
    m_trayIcon->showMessage(QString::fromUtf8(texts::kApplicationTitle), text, QSystemTrayIcon::Warning);
}

void MainWindow::copyToFlash() {
    directedCopy(RunKind::ToFlash);
}

void MainWindow::copyToComputer() {
    directedCopy(RunKind::ToComputer);
}

void MainWindow::synchronise() {
    synchroniseNow(true);
}

void MainWindow::synchroniseNow(bool startedByUser) {
    if (m_running || (m_recognised && !inStepWithStick(startedByUser))) {
        return;  // never a run inside a run, nor one under a name the stick no longer has
    }
    const RunSummary summary = summarise(run(RunKind::Synchronise));
    m_progressBar->setValue(0);
    m_lastSynchronisation = m_env.clock.timeOfDay(std::time(nullptr));
    m_skippedAt.clear();
    m_lastSummary = summary;
    refreshSynchronisationStatus();
    m_synchronisationStatus->setToolTip(QString::fromStdString(reportText(m_troubles.lines)).trimmed());
    tellRunResult(startedByUser, false);
}

void MainWindow::refreshSynchronisationStatus() {
    const std::string next =
        m_synchronisationTimer->isActive()
            ? m_env.clock.timeOfDay(std::time(nullptr) + m_synchronisationTimer->remainingTime() / 1000)
            : "";
    m_synchronisationStatus->setText(QString::fromStdString(
        texts::synchronisationStatus(m_lastSynchronisation, m_lastSummary.toFlash, m_lastSummary.toComputer,
                                     m_lastSummary.failed, m_lastSummary.conflicts, next, m_skippedAt)));
    paintTroubles(m_synchronisationStatus, m_lastSummary.failed + m_lastSummary.conflicts > 0);
}

// The report on the stick is code page 1251 for the Windows build; it is shown decoded,
// in a window of the program's own, and written nowhere.
void MainWindow::openLastReport() {
    if (const auto report = lastReport(m_env.platform, m_area, computerName())) {
        m_reportWindow->showReport(*report);
    } else {
        m_env.dialogs.showMessage(this, QString::fromUtf8(texts::kApplicationTitle),
                                  QString::fromStdString(texts::noReportYet()), Dialogs::Icon::Information);
    }
}

void MainWindow::switchAutomaticSynchronisation() {
    const bool on = m_automaticBox->isChecked();
    m_intervalBox->setEnabled(on);
    // Starting a running timer would restart its count; stopping discards it.
    if (on && !m_synchronisationTimer->isActive()) {
        m_synchronisationTimer->start();
    } else if (!on) {
        m_synchronisationTimer->stop();
    }
    refreshSynchronisationStatus();
}

void MainWindow::chooseInterval() {
    const int index = m_intervalBox->currentIndex();
    if (index < 0 || index >= static_cast<int>(kIntervals.size())) {
        return;
    }
    // A new interval restarts the count; the same one leaves it alone.
    if (m_synchronisationTimer->interval() != kIntervals[static_cast<std::size_t>(index)]) {
        m_synchronisationTimer->setInterval(kIntervals[static_cast<std::size_t>(index)]);
    }
    refreshSynchronisationStatus();
}

void MainWindow::synchroniseOnTimer() {
    if (!m_automaticBox->isChecked()) {
        return;
    }
    if (m_running) {
        m_tickWaiting = true;  // taken up when the run and its message have ended
        return;
    }
    if (m_stickGone || !stickPresent(m_env.platform, m_area)) {
        m_skippedAt = m_env.clock.timeOfDay(std::time(nullptr));
        refreshSynchronisationStatus();
        return;
    }
    synchroniseNow(false);
}

RunKind MainWindow::chosenRun() const {
    if (m_modeGroup->itemIndex() == 0) {
        return RunKind::Synchronise;
    }
    return m_toFlashChoice->isChecked() ? RunKind::ToFlash : RunKind::ToComputer;
}

void MainWindow::replan() {
    m_planner.reset();
    m_otherWayPlanner.reset();
    m_marks.assign(m_recognised && !m_stickGone ? m_fileList.size() : 0, ' ');
    m_fileRows->marksChanged(0, m_marks.size() - 1);
    if (m_marks.empty()) {
        m_planSummary->clear();
        return;
    }
    if (m_planSummary->text().isEmpty()) {
        m_planSummary->setText(QStringLiteral("Проверяю файлы…"));
    }
    m_planned = 0;
    m_planCounts = {};
    m_waitingCount = 0;
    m_waiting.assign(m_marks.size(), ' ');
    const std::vector<bool> foreign = foreignEntries();
    m_planner = std::make_unique<Planner>(m_env.platform, m_area, chosenRun(), m_fileList, m_flashList,
                                          m_states, foreign);
    // A directed copy also shows what waits the other way: what a synchronisation would
    // carry in that direction.
    m_otherWayPlanner.reset();
    if (chosenRun() != RunKind::Synchronise) {
        m_otherWayPlanner = std::make_unique<Planner>(m_env.platform, m_area, RunKind::Synchronise,
                                                      m_fileList, m_flashList, m_states, foreign);
    }
    m_planTimer->start();
}

// A piece of the plan at a time, so that the window answers throughout a long list.
void MainWindow::planPiece() {
    if (m_planner == nullptr || m_running) {
        return;  // a run plans anew when it ends
    }
    QElapsedTimer slice;
    slice.start();
    const std::size_t first = m_planned;
    const char otherWay = chosenRun() == RunKind::ToFlash ? '<' : '>';
    while (m_planned < m_marks.size() && slice.elapsed() < 20) {
        const char mark = markOf(m_planner->entry(m_planned).decision.outcome);
        if (m_otherWayPlanner != nullptr &&
            markOf(m_otherWayPlanner->entry(m_planned).decision.outcome) == otherWay) {
            m_waiting[m_planned] = otherWay;
            ++m_waitingCount;
        }
        m_marks[m_planned++] = mark;
        m_planCounts.add(mark);
    }
    m_fileRows->marksChanged(first, m_planned - 1);
    if (m_planned < m_marks.size()) {
        m_planTimer->start();
        return;
    }
    m_planner.reset();
    m_otherWayPlanner.reset();
    std::string summary = planSummary(m_planCounts);
    if (m_waitingCount > 0) {
        summary += "\n" + texts::newerOtherWay(otherWay == '<', m_waitingCount);
    }
    m_planSummary->setText(QString::fromStdString(summary));
    paintTroubles(m_planSummary, m_planCounts.conflicts + m_waitingCount > 0);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_fileListView || watched == m_flashListView) {
        return showHint(watched, event);
    }
    if (watched == m_progressBar && event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Only focus coming from another control of the window, not the window's own
        // return to the front.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !m_running) {
            guarded([this] { synchronise(); });
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
void MainWindow::moveFocusAlongWindow(QWidget* from, bool forward) {
    const std::array<QWidget*, 5> order = {m_openReportButton, m_progressBar, m_backupsBox,
                                           m_presentFilesView, m_exitButton};
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

// Lines typed or loaded over the stick's copies may name another entry's copy.
std::vector<bool> MainWindow::foreignEntries() {
    if (!m_recognised || digestOf(m_flashList) == m_remembered) {
        return {};
    }
    return entriesOnOthersCopies(m_env.platform, m_area, computerName(), m_fileList, m_flashList);
}

}  // namespace verdaline
