#pragma once

#include <QMainWindow>
#include <QRect>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "clock.h"
#include "copy_run.h"
#include "decision.h"
#include "dialogs.h"
#include "file_list.h"
#include "list_file.h"
#include "platform.h"
#include "run_troubles.h"
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
class QSystemTrayIcon;

namespace verdaline {

class AboutWindow;
class FittedLines;
class HelpWindow;
class ListWindow;
class RadioGroup;
class ReportWindow;
class VersionsWindow;
class ShellListView;

// Where the plan's summary stands under each mode's group.
inline constexpr QRect kDirectedSummary{320, 500, 177, 104};
inline constexpr QRect kSynchronisationSummary{320, 558, 177, 46};

// A line of the window in navy, or in red when it tells of something that needs the user.
void paintTroubles(QWidget* widget, bool troubles);

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
// the flash-side list; every rule it applies lives in core. Each control's object name
// is its member's name without the "m_", so that tests find it as a user would.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Environment environment, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The windows created after this one: the list window (whose count the refresh
    // keeps current), the about window and the help window.
    void setSecondaryWindows(ListWindow* listWindow, AboutWindow* aboutWindow, HelpWindow* helpWindow);

    // Runs a handler; a failure it does not handle itself is shown, and the program goes on.
    void guarded(const std::function<void()>& handler);

    const Lines& fileList() const { return m_fileList; }
    const Lines& flashList() const { return m_flashList; }
    std::string computerName() const;

    // Start-up: the disk number, the computer it names, that computer's lists.
    void startUp();
    void computeDiskNumber();
    void recogniseComputer();
    void loadFileList();
    // "Добавить компьютер", and the menu's rename of the computer.
    void registerComputer();
    void renameComputer();
    // "Синхронизировать при подключении флешки": asks first, then turns it on or off.
    void switchOnPlug();
    // Every 3 seconds: the lists as the stick has them, the files present and the counts.
    void refreshFromStick();
    void switchMode();
    void chooseDirection();
    void exitProgram();
    void countFilesPresent();
    // The menu.
    void showHelp();
    void showAbout();
    void openWebSite();
    void writeLetter();

    // The file list and the flash-side list.
    void addFromComputer();
    void addFromFlash();
    void openListWindow();
    // The versions window of the entry at row (0-based) of the computer's list.
    void showVersions(std::size_t row);
    void switchFlashListEditing();
    void flashListEdited();
    void saveUserList();
    void loadUserList();
    // Copy runs and automatic synchronisation.
    void copyToFlash();
    void copyToComputer();
    void synchronise();
    void openLastReport();
    void switchAutomaticSynchronisation();
    void chooseInterval();
    void synchroniseOnTimer();
    // The plan of the current mode and direction, worked out anew in pieces; the marks
    // before the rows and the line that sums them up follow it.
    void replan();
    bool planning() const { return m_planner != nullptr; }
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
    void on(Sender* sender, Signal signal, void (MainWindow::*handler)());

    void setFileList(Lines lines);
    void setFlashList(Lines lines);
    FileLists heldLists() const { return {m_fileList, m_flashList, m_remembered, {}}; }
    // The lists shown, with their counts.
    void showLists(FileLists lists);
    // The lists after a change, with counts and the change's messages.
    void showChange(ListChange change);
    std::vector<bool> foreignEntries();
    void showFlashList();
    void refreshFlashView();
    // The hint of a list box's row when the mouse rests on it.
    bool showHint(QObject* box, QEvent* event);
    // What the last synchronisation did and when the next is due, in the synchronisation group.
    void refreshSynchronisationStatus();
    void refreshCounts();
    std::optional<QString> chooseFile(const FileDialogRequest& request);
    void warn(const std::string& text);
    // A copy run as the window does it: the progress bar, the empty-list message, the run.
    RunResult run(RunKind kind);
    void directedCopy(RunKind kind);
    void synchroniseNow(bool startedByUser);
    void tellRunResult(bool startedByUser, bool withReport);
    void notifyDesktop(const QString& text);
    std::optional<std::string> chooseUserList(FileDialogRequest::Kind kind);
    void moveFocusAlongWindow(QWidget* from, bool forward);
    void showRecognised(const std::string& name);
    void planPiece();
    // The stick pulled out and back: the window says so, keeps the lists greyed and lets
    // nothing be done that needs the stick, until it is back.
    void showStickGone();
    void showStickBack();
    // The name the stick gives this computer now, followed when it changed; true then.
    bool followComputer();
    // Before anything is written: false, with the lists read again and, when tell, a
    // message, when the stick is gone or this computer's name changed on it.
    bool inStepWithStick(bool tell);
    RunKind chosenRun() const;
    void showUnrecognised();

    // Controls, top to bottom and left to right.
    QProgressBar* m_progressBar = nullptr;
    QLabel* m_computerCaption = nullptr;  // "Вы работаете на компьютере -  "
    QLabel* m_computerNameLabel = nullptr;
    QLabel* m_stickMissing = nullptr;  // "Флешка не найдена: вставьте ее снова", in their place
    // The computer side.
    QGroupBox* m_computerGroup = nullptr;
    QWidget* m_computerPicture = nullptr;
    QLabel* m_fileListCaption = nullptr;
    QLabel* m_fileCount = nullptr;
    QPushButton* m_addFromComputerButton = nullptr;
    QListView* m_fileListView = nullptr;
    QPushButton* m_editListButton = nullptr;  // "Редактировать список": the list window
    QAction* m_versionsItem = nullptr;        // "Версии файла..." in the list's context menu
    // Registration, while the computer is unknown.
    QGroupBox* m_registrationGroup = nullptr;
    QComboBox* m_computerNameBox = nullptr;
    QPushButton* m_registerButton = nullptr;
    // The middle: backups, the mode and its group.
    QCheckBox* m_backupsBox = nullptr;
    RadioGroup* m_modeGroup = nullptr;
    QGroupBox* m_directedCopyGroup = nullptr;
    QLabel* m_directionCaption = nullptr;
    QRadioButton* m_toFlashChoice = nullptr;
    QPushButton* m_toFlashButton = nullptr;  // ">"
    QRadioButton* m_toComputerChoice = nullptr;
    QPushButton* m_toComputerButton = nullptr;  // "<"
    QGroupBox* m_synchronisationGroup = nullptr;
    QPushButton* m_synchroniseButton = nullptr;
    QCheckBox* m_automaticBox = nullptr;
    QComboBox* m_intervalBox = nullptr;
    QLabel* m_synchronisationStatus = nullptr;  // the last synchronisation and the next
    QLabel* m_planSummary = nullptr;            // what a run would copy
    QLabel* m_runNotice = nullptr;              // what went wrong in the last run, until the next
    QSystemTrayIcon* m_trayIcon = nullptr;      // made when an automatic run has something to tell
    QPushButton* m_openReportButton = nullptr;
    // The flash-drive side.
    QGroupBox* m_flashGroup = nullptr;
    QWidget* m_flashPicture = nullptr;
    QPushButton* m_addFromFlashButton = nullptr;
    QLabel* m_flashListCaption = nullptr;
    QLabel* m_flashCount = nullptr;
    QLabel* m_presentCaption = nullptr;  // "Имеющиеся файлы:"
    QLabel* m_presentCount = nullptr;
    QStackedWidget* m_flashListView = nullptr;  // the rows, or in edit mode the text
    QListView* m_flashListRows = nullptr;
    QPlainTextEdit* m_flashListText = nullptr;
    QCheckBox* m_editFlashListBox = nullptr;
    QPushButton* m_loadUserListButton = nullptr;
    QPushButton* m_saveUserListButton = nullptr;
    ShellListView* m_presentFilesView = nullptr;  // the files present in the copies folder
    QPushButton* m_exitButton = nullptr;
    QTimer* m_refreshTimer = nullptr;
    QTimer* m_synchronisationTimer = nullptr;
    // The menu: "Справка" and "Обратная связь".
    QAction* m_renameItem = nullptr;
    QAction* m_onPlugItem = nullptr;
    QAction* m_helpItem = nullptr;
    QAction* m_aboutItem = nullptr;
    QAction* m_webSiteItem = nullptr;
    QAction* m_letterItem = nullptr;

    Environment m_env;
    WorkArea m_area;
    ListWindow* m_listWindow = nullptr;
    AboutWindow* m_aboutWindow = nullptr;
    HelpWindow* m_helpWindow = nullptr;
    ReportWindow* m_reportWindow = nullptr;  // the last report, shown when asked
    VersionsWindow* m_versionsWindow = nullptr;

    std::optional<std::string> m_diskNumber;
    int m_diskNumberError = 0;
    Lines m_computerList;  // the computer list in memory
    Lines m_fileList;
    Lines m_flashList;
    std::uint64_t m_remembered = 0;  // which copies the stick remembered for the lists shown
    ListsStamp m_stamp;              // how the lists stood on the stick when last read or written
    FittedLines* m_fileRows = nullptr;
    FittedLines* m_flashRows = nullptr;
    bool m_recognised = false;
    bool m_stickGone = false;
    std::string m_skippedAt;      // when the automatic synchronisation last found no stick
    bool m_showingLists = false;  // the flash-side text changes because the program set it, not by typing
    bool m_running = false;       // a copy run is working or showing its message box
    bool m_tickWaiting = false;   // a tick of the automatic synchronisation came meanwhile
    std::size_t m_runEntry = 0;   // the entry the run works on
    std::string m_lastSynchronisation;  // when the last synchronisation of this session ended
    RunSummary m_lastSummary;           // and what it did
    Lines m_report;                     // the report list of the last copy run
    Lines m_failureReasons;             // and why its failed entries failed
    // What both sides held after the last run, for the plan; and the plan in the making.
    std::vector<std::optional<EntryState>> m_states;
    std::vector<char> m_marks;
    std::unique_ptr<Planner> m_planner;
    std::unique_ptr<Planner> m_otherWayPlanner;  // a directed copy's: what waits the other way
    std::vector<char> m_waiting;                 // per entry, the other arrow where it waits
    std::size_t m_waitingCount = 0;
    RunTroubles m_troubles;  // what went wrong in the last run
    QTimer* m_planTimer = nullptr;  // the next piece of the plan
    std::size_t m_planned = 0;
    PlanCounts m_planCounts;

    // What each file dialog was left at, so that it opens there again.
    QString m_lastAddedFromComputer;
    QString m_lastChosenOnFlash;
    QString m_lastUserList = QStringLiteral("Пользовательский список файлов");
};

}  // namespace verdaline
