// What every window test works with: the windows and their controls, a work area in a
// temporary folder, dialogs that never block, and the two ways the program starts.
#pragma once

#include <QTest>
#include <QtWidgets>
#include <deque>
#include <functional>
#include <memory>

#include "about_window.h"
#include "failing_syscalls.h"
#include "help_window.h"
#include "list_window.h"
#include "main_window.h"
#include "radio_group.h"
#include "shell_list_view.h"
#include "temp_tree.h"
#include "test_platform.h"

namespace verdaline::testing {

// The work area of the computer "Офисный", registered with the disk the test platform gives.
inline const char* const kDisk = "1A2B3C4D1A2B3C4D";
inline const std::string kComputerList = "Списки_отчеты/Список компьютеров.txt";
inline const std::string kFileList = "Списки_отчеты/Список файлов на компьютере_Офисный_.txt";
inline const std::string kReport = "Списки_отчеты/Отчет копирования_Офисный_.txt";
inline const std::string kCopies = "Файлы с компьютера_Офисный";

inline QString q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// A list file's bytes: code page 1251, CR LF after every line.
std::string listBytes(const Lines& lines);

// Paths numbered from 1: prefix1.txt, prefix2.txt...
Lines numbered(int count, const std::string& prefix = "/home/u/docs/file");

// A window's control (a widget, a timer or a menu item) by its object name, as a
// user finds it by what it does; the test stops at once when there is none.
template <typename Control = QWidget>
Control* find(QObject& window, const char* name) {
    auto* control = window.findChild<Control*>(QString::fromLatin1(name));
    if (control == nullptr) {
        qFatal("no control \"%s\" of this kind in %s", name, qPrintable(window.objectName()));
    }
    return control;
}
void click(QObject& window, const char* name);
// What a label or a button says.
QString text(QObject& window, const char* name);

// The counts shown of the file list and of the flash-side list.
void expectCounts(MainWindow& f, const char* files, const char* flash);

// Dialogs answered from a queue and message boxes written down, so no test blocks.
class FakeDialogs : public Dialogs {
public:
    struct Message {
        QString caption;
        QString text;
        Icon icon;
    };
    std::vector<Message> messages;
    std::vector<FileDialogRequest> requests;
    std::deque<QString> answers;  // what the next file dialogs return; a null text cancels
    std::deque<bool> replies;     // the next questions' answers; "Нет" when none is left
    std::deque<QString> typed;    // the next lines typed; cancelled when none is left
    std::vector<QUrl> opened;
    // Runs while a message box stands open, as timers would.
    std::function<void(const Message&)> whileMessageOpen;

    void showMessage(QWidget*, const QString& caption, const QString& text, Icon icon) override {
        messages.push_back({caption, text, icon});
        if (whileMessageOpen) {
            whileMessageOpen(messages.back());
        }
    }
    bool ask(QWidget*, const QString& caption, const QString& text) override {
        messages.push_back({caption, text, Icon::Information});
        const bool reply = !replies.empty() && replies.front();
        if (!replies.empty()) {
            replies.pop_front();
        }
        return reply;
    }
    std::optional<QString> askText(QWidget*, const QString& caption, const QString& label, const QString&) override {
        messages.push_back({caption, label, Icon::Information});
        if (typed.empty()) {
            return std::nullopt;
        }
        const QString answer = typed.front();
        typed.pop_front();
        return answer;
    }
    std::optional<QString> chooseFile(QWidget*, const FileDialogRequest& request) override {
        requests.push_back(request);
        if (answers.empty()) {
            return std::nullopt;
        }
        const QString answer = answers.front();
        answers.pop_front();
        return answer.isNull() ? std::nullopt : std::optional<QString>(answer);
    }
    // Several files: one answer, the names on lines of their own.
    QStringList chooseFiles(QWidget* owner, const FileDialogRequest& request) override {
        const auto answer = chooseFile(owner, request);
        return answer ? answer->split(QLatin1Char('\n')) : QStringList();
    }
    void openExternally(const QUrl& url) override { opened.push_back(url); }
};

// Exactly `count` messages shown so far, the last with this icon and this text in it.
void expectMessage(const FakeDialogs& dialogs, std::size_t count, Dialogs::Icon icon, const QString& part);

// A work area in a temporary folder, a platform with a fixed volume serial, the
// fake dialogs, and the windows, made anew at every start.
class WindowHarness {
public:
    TempTree tree;
    FailingSyscalls syscalls;  // a slow or failing stick on demand
    TestPlatform platform{syscalls};
    FakeDialogs dialogs;
    FixedClock clock;

    // The program started on the work area as it stands.
    MainWindow& start();
    // Started with "Офисный" registered and the file list given.
    MainWindow& startRecognised(const Lines& fileList = {});
    ListWindow& listWindow() { return *m_listWindow; }
    AboutWindow& aboutWindow() { return *m_aboutWindow; }
    HelpWindow& helpWindow() { return *m_helpWindow; }

    // The full path of a copy, as the flash-side list holds it.
    std::string copy(const std::string& name) const { return tree.path(kCopies + "/" + name); }

private:
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<ListWindow> m_listWindow;
    std::unique_ptr<AboutWindow> m_aboutWindow;
    std::unique_ptr<HelpWindow> m_helpWindow;
};

// Saves a picture of a window into the build's pictures folder, for a person to look at.
void savePicture(QWidget* window, const QString& name);

// The lines a list box of the main window shows, and the hint shown when the mouse rests on it.
QStringList shownLines(QWidget* box);
QString hintOf(QWidget* box);

}  // namespace verdaline::testing
