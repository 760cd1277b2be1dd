#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QListView>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QToolTip>

#include "about_box.h"
#include "tform1.h"
#include "tform2.h"
#include "tform3.h"
#include "window_harness.h"

namespace verdaline::testing {

void FakeDialogs::showMessage(QWidget*, const QString& caption, const QString& text, Icon icon) {
    messages.push_back({caption, text, icon});
    if (whileMessageOpen) {
        whileMessageOpen(messages.back());
    }
}

std::optional<QString> FakeDialogs::chooseFile(QWidget*, const FileDialogRequest& request) {
    requests.push_back(request);
    if (answers.empty()) {
        return std::nullopt;
    }
    const QString answer = answers.front();
    answers.pop_front();
    if (answer.isNull()) {
        return std::nullopt;
    }
    return answer;
}

void FakeDialogs::openExternally(const QUrl& url) {
    opened.push_back(url);
}

WindowHarness::WindowHarness() = default;
WindowHarness::~WindowHarness() = default;

TForm1& WindowHarness::start() {
    m_helpWindow.reset();
    m_aboutWindow.reset();
    m_listWindow.reset();
    m_form = std::make_unique<TForm1>(Environment{tree.root(), platform, dialogs, clock});
    m_listWindow = std::make_unique<TForm2>(*m_form);
    m_aboutWindow = std::make_unique<TAboutBox>(*m_form, dialogs);
    m_helpWindow = std::make_unique<TForm3>();
    m_form->setSecondaryWindows(m_listWindow.get(), m_aboutWindow.get(), m_helpWindow.get());
    return *m_form;
}

std::string WindowHarness::computerListPath() const {
    return tree.path("Списки_отчеты/Список компьютеров.txt");
}

void savePicture(QWidget* window, const QString& name) {
    const QString folder = qEnvironmentVariable("VERDALINE_PICTURES", QDir::tempPath());
    QDir().mkpath(folder);
    window->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

QStringList shownLines(QWidget* box) {
    box->window()->show();  // rows are fitted to the box as it stands on the screen
    if (auto* pages = qobject_cast<QStackedWidget*>(box)) {
        return shownLines(pages->currentWidget());
    }
    if (auto* text = qobject_cast<QPlainTextEdit*>(box)) {
        return text->toPlainText().split(QLatin1Char('\n'));
    }
    QStringList lines;
    const QAbstractItemModel* rows = qobject_cast<QListView*>(box)->model();
    for (int row = 0; row < rows->rowCount(); ++row) {
        lines.append(rows->index(row, 0).data().toString());
    }
    return lines;
}

// The mouse rests on the box's rows, or on its text in edit mode.
QString hintOf(QWidget* box) {
    QToolTip::hideText();
    QWidget* under = box->childAt(8, 8);
    QHelpEvent event(QEvent::ToolTip, under->mapFrom(box, QPoint(8, 8)), box->mapToGlobal(QPoint(8, 8)));
    QApplication::sendEvent(under, &event);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

}  // namespace verdaline::testing
