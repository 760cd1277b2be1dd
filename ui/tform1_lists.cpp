// The main window's file list and flash-side list: adding, deleting, editing and
// user lists.
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "file_list.h"
#include "texts.h"
#include "tform1.h"
#include "tform2.h"

namespace verdaline {

std::optional<QString> TForm1::chooseFile(const FileDialogRequest& request) {
    return m_env.dialogs.chooseFile(this, request);
}

void TForm1::warn(const std::string& text) {
    m_env.dialogs.showMessage(this, QString::fromUtf8(texts::kApplicationTitle), QString::fromStdString(text),
                              Dialogs::Icon::Warning);
}

void TForm1::showChange(const ListChange& change) {
    showLists(change.lists);
    for (const auto& notice : change.notices) {
        m_env.dialogs.showMessage(this, QString::fromStdString(notice.caption),
                                  QString::fromStdString(notice.text), Dialogs::Icon::Warning);
    }
}

void TForm1::Button4Click() {
    ensureFolder(m_env.platform, m_area.copiesFolder(computerName()));
    FileDialogRequest request;
    request.title = QStringLiteral("Выбрать");
    if (!m_lastOpenDialog1.isEmpty()) {
        request.folder = QFileInfo(m_lastOpenDialog1).path();
        request.fileName = QFileInfo(m_lastOpenDialog1).fileName();
    }
    const auto chosen = chooseFile(request);
    if (!chosen) {
        return;
    }
    m_lastOpenDialog1 = *chosen;
    showChange(addEntries(m_env.platform, m_area, computerName(), heldLists(), {chosen->toStdString()}));
}

void TForm1::Button11Click() {
    FileDialogRequest openRequest;
    openRequest.title = QStringLiteral("В Ы Б Р А Т Ь . . .");
    openRequest.folder = QString::fromStdString(m_env.platform.mountPointOf(m_area.programFolder()));
    openRequest.fileName = QFileInfo(m_lastOpenDialog2).fileName();
    const auto source = chooseFile(openRequest);
    std::optional<QString> target;
    if (source) {
        m_lastOpenDialog2 = *source;
        FileDialogRequest saveRequest;
        saveRequest.kind = FileDialogRequest::Kind::Save;
        saveRequest.title = QStringLiteral("ВЫБРАТЬ КУДА СОХРАНИТЬ...");
        saveRequest.folder = QDir::homePath();
        saveRequest.fileName = QFileInfo(*source).fileName();
        saveRequest.confirmOverwrite = true;
        target = chooseFile(saveRequest);
    }
    if (target) {
        m_lastSaveDialog2 = *target;
        showChange(addEntries(m_env.platform, m_area, computerName(), heldLists(), {target->toStdString()},
                              source->toStdString()));
    } else {
        // A cancelled dialog still saves the list again, as it stands on the stick.
        showChange(addEntries(m_env.platform, m_area, computerName(), heldLists(), {}));
    }
}

void TForm1::Button5Click() {
    if (m_listWindow == nullptr) {
        return;
    }
    m_listWindow->open(m_fileList, Label7->text());
}

void TForm1::deleteEntry(std::optional<std::size_t> index) {
    showChange(removeEntry(m_env.platform, m_area, computerName(), heldLists(), index));
}

void TForm1::CheckBox3Click() {
    const bool editing = CheckBox3->isChecked();
    Button14->setVisible(editing);
    Button15->setVisible(editing);
    showFlashList();
}

void TForm1::Memo2Change() {
    if (!m_showingLists && CheckBox3->isChecked()) {
        // Typed by the user: the flash-side list is what the box now says. The raw text
        // keeps characters (a no-break space) that the plain text would change.
        QString text = m_flashText->document()->toRawText();
        // Shift+Enter gives a line separator: a line break of its own for the count and
        // the list alike.
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        text.replace(QChar::LineSeparator, QLatin1Char('\n'));
        m_flashList = splitLines(text.toStdString());
    }
    Label8->setText(QString::fromStdString(texts::count(m_flashList.size())));
    Label8->adjustSize();
}

// The dialogs of user lists propose the last list chosen, a .txt file.
std::optional<std::string> TForm1::chooseUserList(FileDialogRequest::Kind kind) {
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

void TForm1::Button14Click() {
    if (const std::string* line = firstLineOutsideCp1251(m_flashList)) {
        warn(texts::userListOutsideCp1251(*line));
        return;
    }
    if (const auto path = chooseUserList(FileDialogRequest::Kind::Save)) {
        saveUserList(m_env.platform, *path, m_flashList);
    }
}

void TForm1::Button15Click() {
    if (const auto path = chooseUserList(FileDialogRequest::Kind::Open)) {
        setFlashList(loadUserList(m_env.platform, *path));
    }
}

}  // namespace verdaline
