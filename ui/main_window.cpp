#include "main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolTip>

#include "about_info.h"
#include "computers.h"
#include "errors.h"
#include "fitted_lines.h"
#include "list_window.h"
#include "on_plug.h"
#include "radio_group.h"
#include "shell_list_view.h"
#include "texts.h"
#include "versions_window.h"
#include "window_placement.h"

namespace verdaline {
namespace {

// The lines joined by line breaks, as the text of edit mode shows them.
std::string joined(const Lines& lines) {
    std::string text;
    for (const auto& line : lines) {
        if (&line != &lines.front()) {
            text += '\n';
        }
        text += line;
    }
    return text;
}

}  // namespace

MainWindow::MainWindow(Environment environment, QWidget* parent)
    : QMainWindow(parent), m_env(std::move(environment)), m_area(m_env.programFolder) {
    m_area.keepMountPoint(m_env.platform.mountPointOf(m_area.programFolder()));
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QString::fromUtf8(texts::kApplicationTitle));
    createControls();
    // 919 x 735 with a usual frame: a border of 8 and a title bar of 31 pixels.
    setFixedSize(903, 696);
    centreOnScreen(this);
    connectHandlers();
    startUp();
    m_refreshTimer->start();
}

MainWindow::~MainWindow() {
    unmarkWindowOpen();
}

void MainWindow::setSecondaryWindows(ListWindow* listWindow, AboutWindow* aboutWindow,
                                     HelpWindow* helpWindow) {
    m_listWindow = listWindow;
    m_aboutWindow = aboutWindow;
    m_helpWindow = helpWindow;
}

std::string MainWindow::computerName() const {
    return m_computerNameLabel->text().toStdString();
}

void MainWindow::guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& failure) {
        reportFailure(m_env.dialogs, this, failureText(m_env.platform, m_area, failure));
    }
}

// Every event of the window runs its handler guarded.
template <typename Sender, typename Signal>
void MainWindow::on(Sender* sender, Signal signal, void (MainWindow::*handler)()) {
    connect(sender, signal, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
}

void MainWindow::connectHandlers() {
    // Start-up, registration, modes and the refresh.
    on(m_registerButton, &QPushButton::clicked, &MainWindow::registerComputer);
    on(m_renameItem, &QAction::triggered, &MainWindow::renameComputer);
    on(m_onPlugItem, &QAction::triggered, &MainWindow::switchOnPlug);
    on(m_modeGroup, &RadioGroup::clicked, &MainWindow::switchMode);
    on(m_toFlashChoice, &QRadioButton::clicked, &MainWindow::chooseDirection);
    on(m_toComputerChoice, &QRadioButton::clicked, &MainWindow::chooseDirection);
    on(m_exitButton, &QPushButton::clicked, &MainWindow::exitProgram);
    on(m_refreshTimer, &QTimer::timeout, &MainWindow::refreshFromStick);
    on(m_presentFilesView, &ShellListView::itemsChanged, &MainWindow::countFilesPresent);
    // The lists.
    on(m_addFromComputerButton, &QPushButton::clicked, &MainWindow::addFromComputer);
    on(m_addFromFlashButton, &QPushButton::clicked, &MainWindow::addFromFlash);
    on(m_editListButton, &QPushButton::clicked, &MainWindow::openListWindow);
    connect(m_versionsItem, &QAction::triggered, this, [this] {
        if (const QModelIndex row = m_fileListView->currentIndex(); row.isValid()) {
            guarded([this, row] { showVersions(static_cast<std::size_t>(row.row())); });
        }
    });
    connect(m_fileListView, &QListView::doubleClicked, this, [this](const QModelIndex& row) {
        guarded([this, row] { showVersions(static_cast<std::size_t>(row.row())); });
    });
    connect(m_versionsWindow, &VersionsWindow::restored, this, [this] { guarded([this] { replan(); }); });
    on(m_editFlashListBox, &QCheckBox::clicked, &MainWindow::switchFlashListEditing);
    on(m_flashListText, &QPlainTextEdit::textChanged, &MainWindow::flashListEdited);
    on(m_saveUserListButton, &QPushButton::clicked, &MainWindow::saveUserList);
    on(m_loadUserListButton, &QPushButton::clicked, &MainWindow::loadUserList);
    // Copy runs and automatic synchronisation; the arrow keys and the bar's focus.
    on(m_toFlashButton, &QPushButton::clicked, &MainWindow::copyToFlash);
    on(m_toComputerButton, &QPushButton::clicked, &MainWindow::copyToComputer);
    on(m_synchroniseButton, &QPushButton::clicked, &MainWindow::synchronise);
    on(m_openReportButton, &QPushButton::clicked, &MainWindow::openLastReport);
    on(m_automaticBox, &QCheckBox::clicked, &MainWindow::switchAutomaticSynchronisation);
    on(m_intervalBox, &QComboBox::activated, &MainWindow::chooseInterval);
    on(m_synchronisationTimer, &QTimer::timeout, &MainWindow::synchroniseOnTimer);
    on(m_planTimer, &QTimer::timeout, &MainWindow::planPiece);
    for (QWidget* control : std::initializer_list<QWidget*>{m_openReportButton, m_progressBar, m_backupsBox,
                                                            m_exitButton, m_fileListView, m_flashListView}) {
        control->installEventFilter(this);
    }
    // The menu.
    on(m_helpItem, &QAction::triggered, &MainWindow::showHelp);
    on(m_aboutItem, &QAction::triggered, &MainWindow::showAbout);
    on(m_webSiteItem, &QAction::triggered, &MainWindow::openWebSite);
    on(m_letterItem, &QAction::triggered, &MainWindow::writeLetter);
}

void MainWindow::startUp() {
    guarded([this] {
        computeDiskNumber();
        recogniseComputer();
        loadFileList();
        refreshFlashView();
        setWindowTitle(windowTitle() + QStringLiteral("_V") + about::kVersion);
    });
    guarded([this] {
        // The watcher leaves this stick to the window while it is open.
        markWindowOpen(m_area.programFolder());
        const OnPlugPlaces places = onPlugPlaces();
        refreshInstalledWatcher(m_env.platform, places, m_area.programFolder() + watcherFileName());
        m_onPlugItem->setChecked(onPlugIsOn(m_env.platform, places));
    });
}

void MainWindow::computeDiskNumber() {
    const VolumeSerial serial = m_env.platform.systemVolumeSerial();
    m_diskNumber = diskNumberOf(serial);
    m_diskNumberError = serial.error;
}

void MainWindow::recogniseComputer() {
    if (const auto dropped = finishRename(m_env.platform, m_area)) {
        warn(*dropped);
    }
    m_computerList = readListFile(m_env.platform, m_area.computerListFile()).value_or(Lines{});
    const Recognition recognition = recognise(m_diskNumber, m_computerList);
    if (recognition.name) {
        showRecognised(*recognition.name);
        return;
    }
    showUnrecognised();
    if (recognition.untrustedName) {
        m_env.dialogs.showMessage(this, QString::fromUtf8(texts::kApplicationTitle),
                                  QString::fromStdString(texts::untrustedComputerName(
                                      m_area.computerListFile(), *recognition.untrustedName)),
                                  Dialogs::Icon::Warning);
    }
}

void MainWindow::showRecognised(const std::string& name) {
    m_recognised = true;
    m_computerNameLabel->setText(QString::fromStdString(name));
    m_computerNameLabel->adjustSize();
    m_registrationGroup->hide();
    m_renameItem->setEnabled(true);
    for (QWidget* control :
         std::initializer_list<QWidget*>{m_addFromComputerButton, m_editListButton, m_addFromFlashButton,
                                         m_toFlashButton, m_toComputerChoice, m_toFlashChoice, m_modeGroup}) {
        control->setEnabled(true);
    }
}

// The box offers the names no computer on the stick has; a free name typed stays.
void MainWindow::showUnrecognised() {
    const QString typed = m_computerNameBox->currentText();
    m_computerNameBox->clear();
    for (const auto& name : freeComputerNames(m_computerList)) {
        m_computerNameBox->addItem(QString::fromStdString(name));
    }
    if (!typed.isEmpty() && !nameTaken(m_computerList, typed.toStdString())) {
        m_computerNameBox->setCurrentText(typed);
    }
    m_recognised = false;
    m_computerNameLabel->setText(QString::fromUtf8(texts::kUnknownComputer));
    m_computerNameLabel->adjustSize();
    m_registrationGroup->show();
    m_renameItem->setEnabled(false);
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_addFromComputerButton, m_editListButton, m_addFromFlashButton, m_toFlashButton,
             m_toComputerButton, m_toComputerChoice, m_toFlashChoice, m_modeGroup}) {
        control->setEnabled(false);
    }
}

void MainWindow::loadFileList() {
    const std::string name = computerName();
    const auto loaded = loadLists(m_env.platform, m_area, name);
    if (!loaded) {
        setFileList({});
        setFlashList({});
        return;
    }
    setFileList(loaded->lists.files);
    setFlashList({});
    ensureFolder(m_env.platform, m_area.copiesFolder(name));
    showChange(std::move(*loaded));
}

void MainWindow::registerComputer() {
    const std::string name = m_computerNameBox->currentText().toStdString();
    const auto refusal = verdaline::registerComputer(m_env.platform, m_area, m_computerList, name,
                                                     m_diskNumber, m_diskNumberError);
    if (refusal) {
        m_env.dialogs.showMessage(this, QString::fromUtf8(texts::kApplicationTitle),
                                  QString::fromStdString(*refusal), Dialogs::Icon::Warning);
        return;
    }
    recogniseComputer();
    loadFileList();
}

void MainWindow::renameComputer() {
    if (m_running || !m_recognised || !inStepWithStick(true)) {
        return;
    }
    const std::string name = computerName();
    const auto typed = m_env.dialogs.askText(this, QString::fromUtf8(texts::kApplicationTitle),
                                             QStringLiteral("Новое имя этого компьютера:"),
                                             QString::fromStdString(name));
    if (!typed || typed->toStdString() == name) {
        return;
    }
    if (const auto refusal = verdaline::renameComputer(m_env.platform, m_area, name, typed->toStdString())) {
        m_env.dialogs.showMessage(this, QString::fromUtf8(texts::kApplicationTitle),
                                  QString::fromStdString(*refusal), Dialogs::Icon::Warning);
        return;
    }
    recogniseComputer();
    loadFileList();
    refreshFlashView();
}

void MainWindow::showStickGone() {
    m_stickGone = true;
    m_planner.reset();
    m_marks.assign(m_marks.size(), ' ');
    m_fileRows->marksChanged(0, m_marks.size() - 1);
    m_planSummary->clear();
    m_computerCaption->hide();
    m_computerNameLabel->hide();
    m_stickMissing->show();
    m_renameItem->setEnabled(false);
    // Everything that needs the stick.
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_fileListView, m_flashListView, m_addFromComputerButton, m_editListButton, m_addFromFlashButton,
             m_toFlashButton, m_toComputerButton, m_synchroniseButton, m_openReportButton, m_registerButton,
             m_editFlashListBox, m_saveUserListButton, m_loadUserListButton}) {
        control->setEnabled(false);
    }
    m_versionsWindow->close();  // its versions lie on the stick that went
    m_progressBar->setValue(0);
}

void MainWindow::showStickBack() {
    m_stickGone = false;
    m_stickMissing->hide();
    m_computerCaption->show();
    m_computerNameLabel->show();
    // What needs the stick, besides what recognition enables.
    for (QWidget* control : std::initializer_list<QWidget*>{m_fileListView, m_flashListView, m_synchroniseButton,
                                                            m_openReportButton, m_registerButton, m_editFlashListBox,
                                                            m_saveUserListButton, m_loadUserListButton}) {
        control->setEnabled(true);
    }
    recogniseComputer();
    loadFileList();
    chooseDirection();
}

void MainWindow::refreshFromStick() {
    if (!stickPresent(m_env.platform, m_area)) {
        if (!m_stickGone) {
            showStickGone();
        }
        refreshFlashView();
        return;
    }
    if (m_stickGone) {
        showStickBack();
    } else {
        followComputer();
    }
    // Another program may have changed the file list on the stick; during a run the
    // lists stay as the run took them.
    // Only lists that changed on the stick are read again: a long one takes its time.
    // The stamp is taken before the reading, so that a change made meanwhile is read next time.
    if (const ListsStamp stamp = m_recognised && !m_running ? stampOf(m_env.platform, m_area, computerName())
                                                             : m_stamp;
        stamp != m_stamp) {
        if (auto lists = changedOnStick(m_env.platform, m_area, computerName(), heldLists())) {
            showLists(std::move(*lists));
        } else {
            m_stamp = stamp;
        }
    }
    refreshFlashView();
    if (m_listWindow != nullptr) {
        m_listWindow->refreshCount();
    }
    // Files change on either side at any time: the marks are looked at again, in pieces.
    if (!planning() && !m_running) {
        replan();
    }
}

// Another program (the command line, another window, another computer) may have renamed
// this computer or removed it: the window follows the name the stick now gives it.
bool MainWindow::followComputer() {
    std::optional<std::string> name;
    try {
        name = recognise(m_diskNumber, readListFile(m_env.platform, m_area.computerListFile()).value_or(Lines{}))
                   .name;
    } catch (const Failure&) {
        return false;  // being written or gone: looked at again next time
    }
    const std::optional<std::string> shown = m_recognised ? std::optional(computerName()) : std::nullopt;
    if (name == shown) {
        return false;
    }
    recogniseComputer();
    loadFileList();
    refreshFlashView();
    return true;
}

bool MainWindow::inStepWithStick(bool tell) {
    if (!stickPresent(m_env.platform, m_area)) {
        if (!m_stickGone) {
            showStickGone();
        }
        if (tell) {
            warn(texts::stickPulled());
        }
        return false;
    }
    const std::string shown = computerName();
    if (!followComputer()) {
        return true;
    }
    if (tell) {
        warn(texts::computerRenamedMeanwhile(
            shown, m_recognised ? std::optional(computerName()) : std::nullopt));
    }
    return false;
}

// The copies folder, or while there is none the drive the program is on; nothing while
// the stick is gone, never a folder of the computer.
void MainWindow::refreshFlashView() {
    const std::string copies = m_area.copiesFolder(computerName());
    m_presentFilesView->setRoot(m_stickGone ? std::string()
                                : m_env.platform.isFolder(copies)
                                    ? copies
                                    : m_env.platform.mountPointOf(m_area.programFolder()));
    m_presentFilesView->repaint();
    countFilesPresent();
}

void MainWindow::countFilesPresent() {
    m_presentCount->setText(
        QString::fromStdString(texts::count(static_cast<std::size_t>(m_presentFilesView->count()))));
    m_presentCount->adjustSize();
}

void MainWindow::switchMode() {
    const bool synchronisation = m_modeGroup->itemIndex() == 0;
    m_synchronisationGroup->setVisible(synchronisation);
    m_directedCopyGroup->setVisible(!synchronisation);
    m_planSummary->setGeometry(synchronisation ? kSynchronisationSummary : kDirectedSummary);
    replan();
}

void MainWindow::chooseDirection() {
    m_toFlashButton->setEnabled(m_toFlashChoice->isChecked());
    m_toComputerButton->setEnabled(m_toComputerChoice->isChecked());
    replan();
}

void MainWindow::exitProgram() {
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    emit closed();
}

void MainWindow::setFileList(Lines lines) {
    m_fileList = std::move(lines);
    m_fileRows->show(&m_fileList);
    // The list window never works on a stale copy of the list.
    if (m_listWindow != nullptr) {
        m_listWindow->followFileList(m_fileList);
    }
}

// Taken by value and moved in: a long list is held once.
void MainWindow::showLists(FileLists lists) {
    m_stamp = stampOf(m_env.platform, m_area, computerName());
    m_remembered = lists.remembered;
    m_states = std::move(lists.states);
    if (lists.files != m_fileList) {
        setFileList(std::move(lists.files));
    }
    if (lists.flash != m_flashList) {
        setFlashList(std::move(lists.flash));
    }
    refreshCounts();
    replan();
}

void MainWindow::setFlashList(Lines lines) {
    m_flashList = std::move(lines);
    showFlashList();
    flashListEdited();
}

// In edit mode the box holds the flash paths as they are, to be typed over.
void MainWindow::showFlashList() {
    const bool editing = m_editFlashListBox->isChecked();
    m_flashRows->show(editing ? nullptr : &m_flashList, m_area.copiesFolder(computerName()) + kSeparator);
    m_showingLists = true;
    m_flashListText->setPlainText(editing ? QString::fromStdString(joined(m_flashList)) : QString());
    m_showingLists = false;
    m_flashListView->setCurrentWidget(editing ? static_cast<QWidget*>(m_flashListText) : m_flashListRows);
}

// A row tells its own file and, on the computer's side, what a run would do with it and
// both dates; nothing of the other rows, which would cover the window.
bool MainWindow::showHint(QObject* box, QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return false;
    }
    const QPoint at = static_cast<QHelpEvent*>(event)->globalPos();
    QListView* rows = box == m_fileListView ? m_fileListView : m_flashListRows;
    const Lines& lines = box == m_fileListView ? m_fileList : m_flashList;
    const auto row = static_cast<std::size_t>(rows->indexAt(rows->viewport()->mapFromGlobal(at)).row());
    if (!rows->isVisibleTo(this) || row >= lines.size()) {
        QToolTip::hideText();
        return true;
    }
    std::string text = lines[row];
    if (box == m_fileListView && row < m_marks.size() && m_marks[row] != ' ') {
        text += "\n" + planTip(m_env.platform, m_marks[row], m_fileList[row],
                                row < m_flashList.size() ? m_flashList[row] : std::string());
        if (row < m_waiting.size() && m_waiting[row] != ' ') {
            text += "\n" + texts::newerOtherWayTip(m_waiting[row] == '<');
        }
    }
    QToolTip::showText(at, QString::fromStdString(text), static_cast<QWidget*>(box));
    return true;
}

void MainWindow::refreshCounts() {
    m_fileCount->setText(QString::fromStdString(texts::count(m_fileList.size())));
    m_fileCount->adjustSize();
    m_flashCount->setText(QString::fromStdString(texts::count(m_flashList.size())));
    m_flashCount->adjustSize();
}

}  // namespace verdaline
