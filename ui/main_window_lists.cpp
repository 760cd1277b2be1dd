// The main window's file list and flash-side list: adding, deleting, editing and
// user lists.
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "file_list.h"
#include "list_window.h"
#include "main_window.h"
#include "texts.h"

namespace verdaline {

std::optional<QString> MainWindow::chooseFile(const FileDialogRequest& request) {
    return m_env.dialogs.chooseFile(this, request);
}

void MainWindow::warn(const std::string& text) {
    m_env.dialogs.showMessage(this, QString::fromUtf8(texts::kApplicationTitle), QString::fromStdString(text),
                              Dialogs::Icon::Warning);
}

void MainWindow::showChange(const ListChange& change) {
    showLists(change.lists);
    for (const auto& notice : change.notices) {
        m_env.dialogs.showMessage(this, QString::fromStdString(notice.caption),
                                  QString::fromStdString(notice.text), Dialogs::Icon::Warning);
    }
}

void MainWindow::addFromComputer() {
    ensureFolder(m_env.platform, m_area.copiesFolder(computerName()));
    FileDialogRequest request;
    request.title = QStringLiteral("Выбрать");
    if (!m_lastAddedFromComputer.isEmpty()) {
        request.folder = QFileInfo(m_lastAddedFromComputer).path();
        request.fileName = QFileInfo(m_lastAddedFromComputer).fileName();
    }
    const auto chosen = chooseFile(request);
    if (!chosen) {
        return;
    }
    m_lastAddedFromComputer = *chosen;
    showChange(addEntries(m_env.platform, m_area, computerName(), heldLists(), {chosen->toStdString()}));
}

void MainWindow::addFromFlash() {
    FileDialogRequest openRequest;
    openRequest.title = QStringLiteral("В Ы Б Р А Т Ь . . .");
    openRequest.folder = QString::fromStdString(m_env.platform.mountPointOf(m_area.programFolder()));
    openRequest.fileName = QFileInfo(m_lastChosenOnFlash).fileName();
    const auto source = chooseFile(openRequest);
    std::optional<QString> target;
    if (source) {
        m_lastChosenOnFlash = *source;
        FileDialogRequest saveRequest;
        saveRequest.kind = FileDialogRequest::Kind::Save;
        saveRequest.title = QStringLiteral("ВЫБРАТЬ КУДА СОХРАНИТЬ...");
        saveRequest.folder = QDir::homePath();
        saveRequest.fileName = QFileInfo(*source).fileName();
        saveRequest.confirmOverwrite = true;
        target = chooseFile(saveRequest);
    }
    if (target) {
        ListChange change = verdaline::addFromFlash(m_env.platform, m_area, computerName(), heldLists(),
                                                    source->toStdString(), target->toStdString());
        if (change.canTie &&
            m_env.dialogs.ask(this, QString::fromStdString(texts::tieCaption()),
                              QString::fromStdString(texts::tieQuestion(target->toStdString(), *change.canTie,
                                                                        source->toStdString())))) {
            change = verdaline::addFromFlash(m_env.platform, m_area, computerName(), heldLists(),
                                             source->toStdString(), target->toStdString(), true);
        }
        showChange(change);
    } else {
        // A cancelled dialog still saves the list again, as it stands on the stick.
        showChange(addEntries(m_env.platform, m_area, computerName(), heldLists(), {}));
    }
}

void MainWindow::openListWindow() {
    if (m_listWindow == nullptr) {
        return;
    }
    m_listWindow->open(m_fileList, m_fileCount->text());
}

void MainWindow::deleteEntry(std::optional<std::size_t> index) {
    showChange(removeEntry(m_env.platform, m_area, computerName(), heldLists(), index));
}

void MainWindow::switchFlashListEditing() {
    const bool editing = m_editFlashListBox->isChecked();
    m_saveUserListButton->setVisible(editing);
    m_loadUserListButton->setVisible(editing);
    showFlashList();
}

void MainWindow::flashListEdited() {
    if (!m_showingLists && m_editFlashListBox->isChecked()) {
        // Typed by the user: the flash-side list is what the box now says. The raw text
        // keeps characters (a no-break space) that the plain text would change.
        QString text = m_flashListText->document()->toRawText();
        // Shift+Enter gives a line separator: a line break of its own for the count and
        // the list alike.
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        text.replace(QChar::LineSeparator, QLatin1Char('\n'));
        m_flashList = splitLines(text.toStdString());
        replan();
    }
    m_flashCount->setText(QString::fromStdString(texts::count(m_flashList.size())));
    m_flashCount->adjustSize();
}

// The dialogs of user lists propose the last list chosen, a .txt file.
std::optional<std::string> MainWindow::chooseUserList(FileDialogRequest::Kind kind) {
    FileDialogRequest request;
    request.kind = kind;
    request.fileName = m_lastUserList;
    request.defaultSuffix = QStringLiteral("txt");
    const auto chosen = chooseFile(request);
    if (!chosen) {
        return std::nullopt;
    }
    m_lastUserList = *chosen;
    return chosen->toStdString();
}

void MainWindow::saveUserList() {
    if (const std::string* line = firstLineOutsideCp1251(m_flashList)) {
        warn(texts::userListOutsideCp1251(*line));
        return;
    }
    if (const auto path = chooseUserList(FileDialogRequest::Kind::Save)) {
        verdaline::saveUserList(m_env.platform, *path, m_flashList);
    }
}

void MainWindow::loadUserList() {
    if (const auto path = chooseUserList(FileDialogRequest::Kind::Open)) {
        setFlashList(verdaline::loadUserList(m_env.platform, m_area, *path));
    }
}

}  // namespace verdaline
