// The main window's file list and flash-side list: adding, deleting, editing and
// user lists.
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "computers.h"
#include "file_list.h"
#include "list_window.h"
#include "main_window.h"

#include "texts.h"
#include "versions_window.h"

namespace verdaline {

std::optional<QString> MainWindow::chooseFile(const FileDialogRequest& request) {
    return m_env.dialogs.chooseFile(this, request);
}

void MainWindow::warn(const std::string& text) {
    m_env.dialogs.showMessage(this, QString::fromUtf8(texts::kApplicationTitle), QString::fromStdString(text),
                              Dialogs::Icon::Warning);
}

// Files refused among several chosen at once are told in one message.
void MainWindow::showChange(ListChange change) {
    showLists(std::move(change.lists));
    if (change.notices.empty()) {
        return;
    }
    std::string text;
    for (const auto& notice : change.notices) {
        text += (text.empty() ? "" : "\n\n") + notice.text;
    }
    m_env.dialogs.showMessage(this, QString::fromStdString(change.notices.front().caption),
                              QString::fromStdString(text), Dialogs::Icon::Warning);
}

void MainWindow::addFromComputer() {
    if (!inStepWithStick(true)) {
        return;
    }
    ensureFolder(m_env.platform, m_area.copiesFolder(computerName()));
    FileDialogRequest request;
    request.title = QStringLiteral("Выбрать");
    if (!m_lastAddedFromComputer.isEmpty()) {
        request.folder = QFileInfo(m_lastAddedFromComputer).path();
        request.fileName = QFileInfo(m_lastAddedFromComputer).fileName();
    }
    const QStringList chosen = m_env.dialogs.chooseFiles(this, request);
    if (chosen.isEmpty()) {
        return;
    }
    m_lastAddedFromComputer = chosen.constLast();
    std::vector<std::string> paths;
    for (const QString& path : chosen) {
        paths.push_back(path.toStdString());
    }
    showChange(addEntries(m_env.platform, m_area, computerName(), heldLists(), paths));
}

// The dialog opens in the program folder, the copies folders of every computer on the
// stick at its side; a place on this computer in a folder not made yet is offered.
void MainWindow::addFromFlash() {
    if (!inStepWithStick(true)) {
        return;
    }
    FileDialogRequest openRequest;
    openRequest.title = QStringLiteral("В Ы Б Р А Т Ь . . .");
    openRequest.folder = QString::fromStdString(m_area.programFolder());
    for (const auto& folder : copiesFolders(m_env.platform, m_area, m_computerList)) {
        openRequest.places.append(QString::fromStdString(folder));
    }
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
        const std::string place = target->toStdString();
        const std::string folder = place.substr(0, place.size() - fileNameOf(place).size());
        if (!folder.empty() && !m_env.platform.isFolder(folder)) {
            if (!m_env.dialogs.ask(this, QString::fromUtf8(texts::kApplicationTitle),
                                   QString::fromStdString(texts::createFolderQuestion(folder)))) {
                return;
            }
            ensureFolders(m_env.platform, folder);
        }
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

void MainWindow::showVersions(std::size_t row) {
    if (row >= m_fileList.size() || !inStepWithStick(true)) {
        return;
    }
    m_versionsWindow->showEntry(computerName(), m_fileList[row]);
}

void MainWindow::deleteEntry(std::optional<std::size_t> index) {
    if (!inStepWithStick(true)) {
        return;
    }
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
        LoadedUserList loaded = verdaline::loadUserList(m_env.platform, m_area, computerName(), *path);
        setFlashList(std::move(loaded.lines));
        for (const auto& notice : loaded.notices) {
            warn(notice.text);
        }
    }
}

}  // namespace verdaline
