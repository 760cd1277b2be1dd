#include <QDir>
#include <QPixmap>
#include <QWidget>

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

}  // namespace verdaline::testing
