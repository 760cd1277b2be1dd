#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

#include "clock.h"
#include "copy_run.h"
#include "dialogs.h"
#include "file_list.h"
#include "list_file.h"
#include "platform.h"
#include "work_area.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListView;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace verdaline {

class FittedLines;
class RadioGroup;
class ShellListView;
class TAboutBox;
class TForm2;
class TForm3;

// What the main window works with: the program's folder, the operating system and
// the dialogs. The program passes the real ones; a test passes a temporary folder, a
// platform with a fixed volume serial and preloaded dialog answers.
struct Environment {
    std::string programFolder;
    Platform& platform;
    Dialogs& dialogs;
    Clock& clock;
};

// The main window. It owns the working state: the computer list, the file list and
// the flash-side list; every rule it applies lives in core.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(Environment environment, QWidget* parent = nullptr);
    ~TForm1() override;

    // The windows created after this one: the list window (whose count the refresh
    // keeps current), the about window and the help window.
    void setSecondaryWindows(TForm2* listWindow, TAboutBox* aboutWindow, TForm3* helpWindow);

    // Runs a handler; a failure it does not handle itself is shown, and the program goes on.
    void guarded(const std::function<void()>& handler);

    const Lines& fileList() const { return m_fileList; }
    const Lines& flashList() const { return m_flashList; }
    std::string computerName() const;

    // Start-up and computer identity.
    void FormCreate();
    void Button7Click();
    void Button10Click();
    void Button9Click();
    void Button6Click();
    // The periodic refresh of the flash view and the count labels.
    void Timer2Timer();
    void RadioGroup1Click();
    void RadioButton1Click();
    void RadioButton2Click();
    void Button1Click();
    void ShellListView1Change();
    // The menu.
    void N3Click();
    void N2Click();
    void N5Click();
    void N6Click();

    // The file list and the flash-side list.
    void Button4Click();
    void Button11Click();
    void Button5Click();
    void CheckBox3Click();
    void Memo2Change();
    void Button14Click();
    void Button15Click();
    // Copy runs and automatic synchronisation.
    void Button2Click();
    void Button3Click();
    void Button8Click();
    void Button13Click();
    void Button12Click();
    void CheckBox1Click();
    void ComboBox3Change();
    void Timer1Timer();
    // The lines of the last copy run's report.
    const Lines& reportLines() const { return m_report; }

    // The list window's deletion: entry index (0-based) leaves both lists, or, with
    // nothing, the file list is only saved again; then hints and counts follow.
    void deleteEntry(std::optional<std::size_t> index);

signals:
    // The window was closed: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void connectHandlers();
    template <typename Sender, typename Signal>
    void on(Sender* sender, Signal signal, void (TForm1::*handler)());

    void setFileList(Lines lines);
    void setFlashList(Lines lines);
    FileLists heldLists() const { return {m_fileList, m_flashList}; }
    // The lists shown, with their hints and counts.
    void showLists(const FileLists& lists);
    // The lists after a change, with hints, counts and the change's messages.
    void showChange(const ListChange& change);
    void showFlashList();
    void refreshFlashView();
    void refreshHints();
    // The hint of Memo1 or Memo2 when the mouse rests on it.
    bool showHint(QObject* box, QEvent* event);
    // What the last synchronisation did and when the next is due, in the synchronisation group.
    void refreshSynchronisationStatus();
    void refreshCounts();
    std::optional<QString> chooseFile(const FileDialogRequest& request);
    void warn(const std::string& text);
    // A copy run as the window does it: the progress bar, the empty-list message, the run.
    RunResult run(RunKind kind);
    void directedCopy(RunKind kind);
    std::optional<std::string> chooseUserList(FileDialogRequest::Kind kind);
    void moveFocusAlongWindow(QWidget* from, bool forward);
    void showRecognised(const std::string& name);
    void showUnrecognised();
    void followDirection();

public:
    // Controls, under the names the rest of the program and the tests know them by.
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QWidget* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* Button4 = nullptr;
    QListView* Memo1 = nullptr;
    QPushButton* Button5 = nullptr;
    QGroupBox* GroupBox5 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QPushButton* Button6 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    RadioGroup* RadioGroup1 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QLabel* Label3 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QPushButton* Button2 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QPushButton* Button3 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QPushButton* Button13 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QLabel* Label13 = nullptr;  // the last synchronisation and the next
    QPushButton* Button12 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QWidget* Image2 = nullptr;
    QPushButton* Button11 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label10 = nullptr;
    QStackedWidget* Memo2 = nullptr;  // the rows, or in edit mode the text
    QCheckBox* CheckBox3 = nullptr;
    QPushButton* Button15 = nullptr;
    QPushButton* Button14 = nullptr;
    ShellListView* ShellListView1 = nullptr;
    QPushButton* Button1 = nullptr;
    // Hidden: the disk number, the release date and the version.
    QLabel* Label9 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    // The menu: "Справка" and "Обратная связь".
    QAction* N3 = nullptr;
    QAction* N2 = nullptr;
    QAction* N5 = nullptr;
    QAction* N6 = nullptr;

private:
    Environment m_env;
    WorkArea m_area;
    TForm2* m_listWindow = nullptr;
    TAboutBox* m_aboutWindow = nullptr;
    TForm3* m_helpWindow = nullptr;

    std::optional<std::string> m_diskNumber;
    int m_diskNumberError = 0;
    Lines m_computerList;  // the computer list in memory
    Lines m_fileList;      // shown in Memo1
    Lines m_flashList;     // shown in Memo2
    FittedLines* m_fileRows = nullptr;
    FittedLines* m_flashRows = nullptr;
    QListView* m_flashView = nullptr;       // Memo2 read-only
    QPlainTextEdit* m_flashText = nullptr;  // Memo2 in edit mode
    // The hints: the two lists' texts when they were last refreshed, lines joined by
    // line breaks, made into a tool tip only when one is asked for.
    std::string m_fileHint;
    std::string m_flashHint;
    bool m_recognised = false;
    bool m_showingLists = false;  // Memo2 changes because the program set it, not by typing
    bool m_running = false;       // a copy run is working or showing its message box
    bool m_tickWaiting = false;   // a tick of the automatic synchronisation came meanwhile
    std::size_t m_runEntry = 0;   // the entry the run works on
    std::string m_lastSynchronisation;  // when the last synchronisation of this session ended
    RunSummary m_lastSummary;           // and what it did
    Lines m_report;               // the report list of the last copy run

    // What each file dialog was left at, so that it opens there again.
    QString m_lastOpenDialog1;
    QString m_lastOpenDialog2;
    QString m_lastSaveDialog2;
    QString m_lastUserList = QStringLiteral("Пользовательский список файлов");
};

}  // namespace verdaline
