#include "dialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QMessageBox>
#include <QTreeView>

#include "errors.h"
#include "texts.h"

namespace verdaline {

void QtDialogs::showMessage(QWidget* owner, const QString& caption, const QString& text, Icon icon) {
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    switch (icon) {
        case Icon::None:
            break;
        case Icon::Information:
            boxIcon = QMessageBox::Information;
            break;
        case Icon::Warning:
            boxIcon = QMessageBox::Warning;
            break;
        case Icon::Stop:
            boxIcon = QMessageBox::Critical;
            break;
    }
    QMessageBox box(boxIcon, caption, text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool QtDialogs::ask(QWidget* owner, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtDialogs::askText(QWidget* owner, const QString& caption, const QString& label,
                                          const QString& text) {
    bool given = false;
    const QString answer = QInputDialog::getText(owner, caption, label, QLineEdit::Normal, text, &given);
    return given ? std::optional<QString>(answer) : std::nullopt;
}

std::optional<QString> QtDialogs::chooseFile(QWidget* owner, const FileDialogRequest& request) {
    QFileDialog dialog(owner, request.title);
    // Large enough to read names and dates without widening it first.
    dialog.setViewMode(QFileDialog::Detail);
    dialog.resize(960, 560);
    if (auto* files = dialog.findChild<QTreeView*>()) {
        files->header()->resizeSection(0, 380);  // name
        files->header()->resizeSection(3, 170);  // date of change
    }
    const bool save = request.kind == FileDialogRequest::Kind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // A name may be typed for a file that does not exist yet.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!save) {
        dialog.setLabelText(QFileDialog::Accept, QFileDialog::tr("&Open"));
    }
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.folder.isEmpty()) {
        dialog.setDirectory(request.folder);
    }
    if (!request.defaultSuffix.isEmpty()) {
        dialog.setDefaultSuffix(request.defaultSuffix);
    }
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    // Qt gives '/' on every system; the lists hold the system's own separator.
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

void QtDialogs::openExternally(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

void reportFailure(Dialogs& dialogs, QWidget* owner, const std::string& text) {
    dialogs.showMessage(owner, QString::fromUtf8(texts::kApplicationTitle),
                        QString::fromStdString(withFullStop(text)), Dialogs::Icon::Stop);
}

}  // namespace verdaline
