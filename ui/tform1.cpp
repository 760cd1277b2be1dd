#include "tform1.h"

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

#include "computers.h"
#include "fitted_lines.h"
#include "flash_paths.h"
#include "radio_group.h"
#include "shell_list_view.h"
#include "texts.h"
#include "tform2.h"
#include "window_placement.h"

namespace verdaline {
namespace {

// The lines joined by line breaks, as a hint or the text of edit mode shows them.
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

TForm1::TForm1(Environment environment, QWidget* parent)
    : QMainWindow(parent), m_env(std::move(environment)), m_area(m_env.programFolder) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QString::fromUtf8(texts::kApplicationTitle));
    createControls();
    // 919 x 735 with a usual frame: a border of 8 and a title bar of 31 pixels.
    setFixedSize(903, 696);
    centreOnScreen(this);
    connectHandlers();
    FormCreate();
    Timer2->start();
}

TForm1::~TForm1() = default;

void TForm1::setSecondaryWindows(TForm2* listWindow, TAboutBox* aboutWindow, TForm3* helpWindow) {
    m_listWindow = listWindow;
    m_aboutWindow = aboutWindow;
    m_helpWindow = helpWindow;
}

std::string TForm1::computerName() const {
    return Label5->text().toStdString();
}

void TForm1::guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& failure) {
        reportFailure(m_env.dialogs, this, failure.what());
    }
}

// Every event of the window runs its handler guarded.
template <typename Sender, typename Signal>
void TForm1::on(Sender* sender, Signal signal, void (TForm1::*handler)()) {
    connect(sender, signal, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
}

void TForm1::connectHandlers() {
    // Start-up, registration, modes and the refresh.
    on(Button6, &QPushButton::clicked, &TForm1::Button6Click);
    on(RadioGroup1, &RadioGroup::clicked, &TForm1::RadioGroup1Click);
    on(RadioButton1, &QRadioButton::clicked, &TForm1::RadioButton1Click);
    on(RadioButton2, &QRadioButton::clicked, &TForm1::RadioButton2Click);
    on(Button1, &QPushButton::clicked, &TForm1::Button1Click);
    on(Timer2, &QTimer::timeout, &TForm1::Timer2Timer);
    on(ShellListView1, &ShellListView::itemsChanged, &TForm1::ShellListView1Change);
    // The lists.
    on(Button4, &QPushButton::clicked, &TForm1::Button4Click);
    on(Button11, &QPushButton::clicked, &TForm1::Button11Click);
    on(Button5, &QPushButton::clicked, &TForm1::Button5Click);
    on(CheckBox3, &QCheckBox::clicked, &TForm1::CheckBox3Click);
    on(m_flashText, &QPlainTextEdit::textChanged, &TForm1::Memo2Change);
    on(Button14, &QPushButton::clicked, &TForm1::Button14Click);
    on(Button15, &QPushButton::clicked, &TForm1::Button15Click);
    // Copy runs and automatic synchronisation; the arrow keys and the bar's focus.
    on(Button2, &QPushButton::clicked, &TForm1::Button2Click);
    on(Button3, &QPushButton::clicked, &TForm1::Button3Click);
    on(Button13, &QPushButton::clicked, &TForm1::Button13Click);
    on(Button12, &QPushButton::clicked, &TForm1::Button12Click);
    on(CheckBox1, &QCheckBox::clicked, &TForm1::CheckBox1Click);
    on(ComboBox3, &QComboBox::activated, &TForm1::ComboBox3Change);
    on(Timer1, &QTimer::timeout, &TForm1::Timer1Timer);
    for (QWidget* control :
         std::initializer_list<QWidget*>{Button12, ProgressBar1, CheckBox2, Button1, Memo1, Memo2}) {
        control->installEventFilter(this);
    }
    // The menu.
    on(N3, &QAction::triggered, &TForm1::N3Click);
    on(N2, &QAction::triggered, &TForm1::N2Click);
    on(N5, &QAction::triggered, &TForm1::N5Click);
    on(N6, &QAction::triggered, &TForm1::N6Click);
}

void TForm1::FormCreate() {
    guarded([this] {
        Button7Click();
        Button10Click();
        Button9Click();
        refreshFlashView();
        setWindowTitle(windowTitle() + QStringLiteral("_V") + Label12->text());
    });
}

void TForm1::Button7Click() {
    const VolumeSerial serial = m_env.platform.systemVolumeSerial();
    m_diskNumber = diskNumberOf(serial);
    m_diskNumberError = serial.error;
    Label9->setText(QString::fromStdString(m_diskNumber.value_or(std::string())));
}

void TForm1::Button10Click() {
    const auto lines = readListFile(m_env.platform, m_area.computerListFile());
    if (!lines) {
        showUnrecognised();
        return;
    }
    m_computerList = *lines;
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

void TForm1::showRecognised(const std::string& name) {
    m_recognised = true;
    Label5->setText(QString::fromStdString(name));
    Label5->adjustSize();
    GroupBox5->hide();
    for (QWidget* control : std::initializer_list<QWidget*>{Button4, Button5, Button11, Button2, RadioButton2,
                                                            RadioButton1, RadioGroup1}) {
        control->setEnabled(true);
    }
}

void TForm1::showUnrecognised() {
    GroupBox5->show();
    for (QWidget* control : std::initializer_list<QWidget*>{Button4, Button5, Button11, Button2, Button3,
                                                            RadioButton2, RadioButton1, RadioGroup1}) {
        control->setEnabled(false);
    }
}

void TForm1::Button9Click() {
    const std::string name = computerName();
    auto lines = readListFile(m_env.platform, m_area.fileListFile(name));
    if (!lines) {
        setFileList({});
        setFlashList({});
        return;
    }
    setFileList(std::move(*lines));
    setFlashList({});
    const std::string copies = m_area.copiesFolder(name);
    ensureFolder(m_env.platform, copies);
    setFlashList(flashPathsFor(m_fileList, copies));
    refreshHints();
    refreshCounts();
}

void TForm1::Button6Click() {
    const std::string name = ComboBox1->currentText().toStdString();
    const auto refusal =
        registerComputer(m_env.platform, m_area, m_computerList, name, m_diskNumber, m_diskNumberError);
    if (refusal) {
        m_env.dialogs.showMessage(this, QString::fromUtf8(texts::kApplicationTitle),
                                  QString::fromStdString(*refusal), Dialogs::Icon::Warning);
        return;
    }
    Button10Click();
    Button9Click();
}

void TForm1::Timer2Timer() {
    // Another program may have changed the file list on the stick; during a run the
    // lists stay as the run took them.
    if (m_recognised && !m_running) {
        if (const auto lists = changedOnStick(m_env.platform, m_area, computerName(), heldLists())) {
            showLists(*lists);
        }
    }
    refreshFlashView();
    if (m_listWindow != nullptr) {
        m_listWindow->refreshCount();
    }
}

// The copies folder, or while there is none the drive the program is on.
void TForm1::refreshFlashView() {
    const std::string copies = m_area.copiesFolder(computerName());
    ShellListView1->setRoot(
        m_env.platform.isFolder(copies) ? copies : m_env.platform.mountPointOf(m_area.programFolder()));
    ShellListView1->repaint();
    ShellListView1Change();
}

void TForm1::ShellListView1Change() {
    Label10->setText(QString::fromStdString(texts::count(static_cast<std::size_t>(ShellListView1->count()))));
    Label10->adjustSize();
}

void TForm1::RadioGroup1Click() {
    const bool synchronisation = RadioGroup1->itemIndex() == 0;
    GroupBox3->setVisible(synchronisation);
    GroupBox4->setVisible(!synchronisation);
}

void TForm1::followDirection() {
    Button2->setEnabled(RadioButton1->isChecked());
    Button3->setEnabled(RadioButton2->isChecked());
}

void TForm1::RadioButton1Click() {
    followDirection();
}

void TForm1::RadioButton2Click() {
    followDirection();
}

void TForm1::Button1Click() {
    close();
}

void TForm1::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    emit closed();
}

void TForm1::setFileList(Lines lines) {
    m_fileList = std::move(lines);
    m_fileRows->show(&m_fileList);
    // The list window never works on a stale copy of the list.
    if (m_listWindow != nullptr) {
        m_listWindow->followFileList(m_fileList);
    }
}

void TForm1::showLists(const FileLists& lists) {
    if (lists.files != m_fileList) {
        setFileList(lists.files);
    }
    if (lists.flash != m_flashList) {
        setFlashList(lists.flash);
    }
    refreshHints();
    refreshCounts();
}

void TForm1::setFlashList(Lines lines) {
    m_flashList = std::move(lines);
    showFlashList();
    Memo2Change();
}

// In edit mode the box holds the flash paths as they are, to be typed over.
void TForm1::showFlashList() {
    const bool editing = CheckBox3->isChecked();
    m_flashRows->show(editing ? nullptr : &m_flashList, m_area.copiesFolder(computerName()) + kSeparator);
    m_showingLists = true;
    m_flashText->setPlainText(editing ? QString::fromStdString(joined(m_flashList)) : QString());
    m_showingLists = false;
    Memo2->setCurrentWidget(editing ? static_cast<QWidget*>(m_flashText) : m_flashView);
}

void TForm1::refreshHints() {
    m_fileHint = joined(m_fileList);
    m_flashHint = joined(m_flashList);
}

bool TForm1::showHint(QObject* box, QEvent* event) {
    const std::string& hint = box == Memo1 ? m_fileHint : m_flashHint;
    if (event->type() != QEvent::ToolTip || hint.empty()) {
        return false;
    }
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), QString::fromStdString(hint),
                       static_cast<QWidget*>(box));
    return true;
}

void TForm1::refreshCounts() {
    Label7->setText(QString::fromStdString(texts::count(m_fileList.size())));
    Label7->adjustSize();
    Label8->setText(QString::fromStdString(texts::count(m_flashList.size())));
    Label8->adjustSize();
}

}  // namespace verdaline
