#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

class QWidget;

namespace verdaline {

// What a file dialog asks for. An empty title means the system's own.
struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    QString title;
    QString folder;    // where it starts; empty: where it was left
    QString fileName;  // the proposed name
    QString defaultSuffix;
    bool confirmOverwrite = false;
    QStringList places;  // folders offered at the side, besides the system's own
};

// Every modal dialog and message box of the program goes through this, so that tests
// answer them and never block.
class Dialogs {
public:
    enum class Icon { None, Information, Warning, Stop };

    virtual ~Dialogs() = default;
    virtual void showMessage(QWidget* owner, const QString& caption, const QString& text, Icon icon) = 0;
    // A question answered "Да" (true) or "Нет".
    virtual bool ask(QWidget* owner, const QString& caption, const QString& text) = 0;
    // A line typed in answer to the label, starting from text; nothing when cancelled.
    virtual std::optional<QString> askText(QWidget* owner, const QString& caption, const QString& label,
                                           const QString& text) = 0;
    // The chosen full path, or nothing when cancelled.
    virtual std::optional<QString> chooseFile(QWidget* owner, const FileDialogRequest& request) = 0;
    // Several files chosen at once in an open dialog; none when cancelled.
    virtual QStringList chooseFiles(QWidget* owner, const FileDialogRequest& request) = 0;
    // Hands a file or address to the desktop's default handler.
    virtual void openExternally(const QUrl& url) = 0;
};

// The real dialogs.
class QtDialogs : public Dialogs {
public:
    void showMessage(QWidget* owner, const QString& caption, const QString& text, Icon icon) override;
    bool ask(QWidget* owner, const QString& caption, const QString& text) override;
    std::optional<QString> askText(QWidget* owner, const QString& caption, const QString& label,
                                   const QString& text) override;
    std::optional<QString> chooseFile(QWidget* owner, const FileDialogRequest& request) override;
    QStringList chooseFiles(QWidget* owner, const FileDialogRequest& request) override;
    void openExternally(const QUrl& url) override;
};

// The author's web site and a new letter to the author, with the desktop's default
// handlers; nothing when no address is configured.
void openWebSite(Dialogs& dialogs);
void writeLetter(Dialogs& dialogs);

// The failure message box: caption "Verdaline", stop icon, OK, the text with its full stop.
void reportFailure(Dialogs& dialogs, QWidget* owner, const std::string& text);

}  // namespace verdaline
