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

namespace {

QStringList chosenFiles(QWidget* owner, const FileDialogRequest& request, bool several) {
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
    if (several) {
        // Selecting several puts each name in quotes on the name line, which the dialog
        // hands back whole.
        for (const char* view : {"listView", "treeView"}) {
            if (auto* files = dialog.findChild<QAbstractItemView*>(QString::fromLatin1(view))) {
                files->setSelectionMode(QAbstractItemView::ExtendedSelection);
            }
        }
    }
    if (!save) {
        dialog.setLabelText(QFileDialog::Accept, QFileDialog::tr("&Open"));
    }
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.folder.isEmpty()) {
        dialog.setDirectory(request.folder);
    }
    if (!request.places.isEmpty()) {
        QList<QUrl> side = dialog.sidebarUrls();
        for (const QString& place : request.places) {
            side.append(QUrl::fromLocalFile(place));
        }
        dialog.setSidebarUrls(side);
    }
    if (!request.defaultSuffix.isEmpty()) {
        dialog.setDefaultSuffix(request.defaultSuffix);
    }
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    // Qt gives '/' on every system; the lists hold the system's own separator.
    QStringList chosen;
    for (const QString& file : dialog.selectedFiles()) {
        chosen.append(QDir::toNativeSeparators(file));
    }
    return chosen;
}

}  // namespace

std::optional<QString> QtDialogs::chooseFile(QWidget* owner, const FileDialogRequest& request) {
    const QStringList chosen = chosenFiles(owner, request, false);
    return chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen.constFirst());
}

QStringList QtDialogs::chooseFiles(QWidget* owner, const FileDialogRequest& request) {
    return chosenFiles(owner, request, true);
}

void QtDialogs::openExternally(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

void reportFailure(Dialogs& dialogs, QWidget* owner, const std::string& text) {
    dialogs.showMessage(owner, QString::fromUtf8(texts::kApplicationTitle),
                        QString::fromStdString(withFullStop(text)), Dialogs::Icon::Stop);
}

}  // namespace verdaline
