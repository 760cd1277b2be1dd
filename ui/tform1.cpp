#include "tform1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "computers.h"
#include "flash_paths.h"
#include "radio_group.h"
#include "shell_list_view.h"
#include "texts.h"
#include "tform2.h"
#include "window_placement.h"

namespace verdaline {
namespace {

QString joinedForDisplay(const Lines& lines) {
    QStringList parts;
    parts.reserve(static_cast<qsizetype>(lines.size()));
    for (const auto& line : lines) {
        parts.append(QString::fromStdString(line));
    }
    return parts.join(QLatin1Char('\n'));
}

}  // namespace

TForm1::TForm1(Environment environment, QWidget* parent)
    : QMainWindow(parent), m_env(std::move(environment)), m_area(m_env.programFolder) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QString::fromUtf8(texts::kApplicationTitle));
    createControls();
    // 919 x 735 with a usual frame: a border of 8 and a title bar of 31 pixels.
    resize(903, 696);
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

void TForm1::onClick(QAbstractButton* button, void (TForm1::*handler)()) {
    connect(button, &QAbstractButton::clicked, this,
            [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
}

void TForm1::connectHandlers() {
    onClick(Button6, &TForm1::Button6Click);
    onClick(RadioButton1, &TForm1::RadioButton1Click);
    onClick(RadioButton2, &TForm1::RadioButton2Click);
    onClick(Button1, &TForm1::Button1Click);
    for (auto [action, handler] : {std::pair{N3, &TForm1::N3Click}, std::pair{N2, &TForm1::N2Click},
                                   std::pair{N5, &TForm1::N5Click}, std::pair{N6, &TForm1::N6Click}}) {
        connect(action, &QAction::triggered, this,
                [this, handler = handler] { guarded([this, handler] { (this->*handler)(); }); });
    }
    onClick(Button4, &TForm1::Button4Click);
    onClick(Button11, &TForm1::Button11Click);
    onClick(Button5, &TForm1::Button5Click);
    onClick(CheckBox3, &TForm1::CheckBox3Click);
    onClick(Button14, &TForm1::Button14Click);
    onClick(Button15, &TForm1::Button15Click);
    connect(Memo2, &QPlainTextEdit::textChanged, this, [this] { Memo2Change(); });
    onClick(Button2, &TForm1::Button2Click);
    onClick(Button3, &TForm1::Button3Click);
    onClick(Button13, &TForm1::Button13Click);
    onClick(Button12, &TForm1::Button12Click);
    onClick(CheckBox1, &TForm1::CheckBox1Click);
    connect(ComboBox3, &QComboBox::activated, this, [this] { guarded([this] { ComboBox3Change(); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });
    for (QWidget* control : std::initializer_list<QWidget*>{Button12, ProgressBar1, CheckBox2, Button1}) {
        control->installEventFilter(this);
    }
    connect(RadioGroup1, &RadioGroup::clicked, this, [this] { guarded([this] { RadioGroup1Click(); }); });
    connect(Timer2, &QTimer::timeout, this, [this] { guarded([this] { Timer2Timer(); }); });
    connect(ShellListView1, &ShellListView::itemsChanged, this, [this] { ShellListView1Change(); });
}

void TForm1::FormCreate() {
    guarded([this] {
        Button7Click();
        Button10Click();
        Button9Click();
        Label10->setText(
            QString::fromStdString(texts::count(static_cast<std::size_t>(ShellListView1->count()))));
        Label10->adjustSize();
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
    const std::string copies = m_area.copiesFolder(computerName());
    ShellListView1->setRoot(
        m_env.platform.isFolder(copies) ? copies : m_env.platform.mountPointOf(m_area.programFolder()));
    ShellListView1->repaint();
    if (m_listWindow != nullptr) {
        m_listWindow->refreshCount();
    }
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
    Memo1->setPlainText(joinedForDisplay(m_fileList));
    // The list window never works on a stale copy of the list.
    if (m_listWindow != nullptr) {
        m_listWindow->followFileList(m_fileList);
    }
}

void TForm1::setFlashList(Lines lines) {
    m_flashList = std::move(lines);
    m_showingLists = true;
    Memo2->setPlainText(joinedForDisplay(m_flashList));
    m_showingLists = false;
    Memo2Change();
}

void TForm1::refreshHints() {
    Memo1->setToolTip(joinedForDisplay(m_fileList));
    Memo2->setToolTip(joinedForDisplay(m_flashList));
}

void TForm1::refreshCounts() {
    Label7->setText(QString::fromStdString(texts::count(m_fileList.size())));
    Label7->adjustSize();
    Label8->setText(QString::fromStdString(texts::count(m_flashList.size())));
    Label8->adjustSize();
}

}  // namespace verdaline
