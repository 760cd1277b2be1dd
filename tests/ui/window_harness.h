#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "dialogs.h"
#include "failing_syscalls.h"
#include "temp_tree.h"
#include "test_platform.h"

namespace verdaline {
class TAboutBox;
class TForm1;
class TForm2;
class TForm3;
}  // namespace verdaline

namespace verdaline::testing {

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
    std::vector<QUrl> opened;
    // Runs while a message box stands open, as timers would.
    std::function<void(const Message&)> whileMessageOpen;

    void showMessage(QWidget* owner, const QString& caption, const QString& text, Icon icon) override;
    std::optional<QString> chooseFile(QWidget* owner, const FileDialogRequest& request) override;
    void openExternally(const QUrl& url) override;
};

// A work area in a temporary folder, a platform with a fixed volume serial, the
// fake dialogs, and the main and list windows made on demand.
class WindowHarness {
public:
    WindowHarness();
    ~WindowHarness();

    TempTree tree;
    FailingSyscalls syscalls;  // a slow or failing stick on demand
    TestPlatform platform{syscalls};
    FakeDialogs dialogs;
    FixedClock clock;

    TForm1& start();
    TForm1& form() { return *m_form; }
    TForm2& listWindow() { return *m_listWindow; }
    TAboutBox& aboutWindow() { return *m_aboutWindow; }
    TForm3& helpWindow() { return *m_helpWindow; }

    std::string computerListPath() const;

private:
    std::unique_ptr<TForm1> m_form;
    std::unique_ptr<TForm2> m_listWindow;
    std::unique_ptr<TAboutBox> m_aboutWindow;
    std::unique_ptr<TForm3> m_helpWindow;
};

// Saves a picture of a window into the build's pictures folder, for a person to look at.
void savePicture(QWidget* window, const QString& name);

// The lines a list box (Memo1, Memo2) shows, and the hint shown when the mouse rests on it.
QStringList shownLines(QWidget* box);
QString hintOf(QWidget* box);

}  // namespace verdaline::testing
