// The main window's menu: the help and about windows, the web site and a letter.
#include <QUrl>

#include "about_info.h"
#include "about_window.h"
#include "help_window.h"
#include "main_window.h"
#include "on_plug.h"
#include "texts.h"

namespace verdaline {
namespace {

// Shows a window that is not modal, in front, with the focus.
void bringToFront(QWidget* window) {
    if (window != nullptr) {
        window->show();
        window->raise();
        window->activateWindow();
    }
}

}  // namespace

void MainWindow::switchOnPlug() {
    const OnPlugPlaces places = onPlugPlaces();
    const bool wanted = m_onPlugItem->isChecked();
    m_onPlugItem->setChecked(onPlugIsOn(m_env.platform, places));
    const QString caption = QString::fromUtf8(texts::kApplicationTitle);
    if (wanted) {
        if (!m_env.dialogs.ask(this, caption, QString::fromStdString(onPlugQuestion(places)))) {
            return;
        }
        turnOnPlugOn(m_env.platform, m_area, places, m_area.programFolder() + watcherFileName());
        m_onPlugItem->setChecked(true);
        m_env.dialogs.showMessage(this, caption,
                                  QString::fromStdString(onPlugStatusText(m_env.platform, places)),
                                  Dialogs::Icon::Information);
    } else {
        turnOnPlugOff(m_env.platform, places);
        m_onPlugItem->setChecked(false);
        m_env.dialogs.showMessage(
            this, caption,
            QStringLiteral("Синхронизация при подключении флешки выключена: наблюдатель остановлен, "
                           "его папка и автозапуск удалены с компьютера."),
            Dialogs::Icon::Information);
    }
}

void MainWindow::showHelp() {
    bringToFront(m_helpWindow);
}

void MainWindow::showAbout() {
    bringToFront(m_aboutWindow);
}

void MainWindow::openWebSite() {
    verdaline::openWebSite(m_env.dialogs);
}

void MainWindow::writeLetter() {
    verdaline::writeLetter(m_env.dialogs);
}

void openWebSite(Dialogs& dialogs) {
    if (!about::kWebSite.isEmpty()) {
        dialogs.openExternally(QUrl(about::kWebSite));
    }
}

void writeLetter(Dialogs& dialogs) {
    if (!about::kEmail.isEmpty()) {
        dialogs.openExternally(QUrl(QStringLiteral("mailto:") + about::kEmail));
    }
}

}  // namespace verdaline
