// The main window's menu: the help and about windows, the web site and a letter.
#include <QUrl>

#include "about_info.h"
#include "about_window.h"
#include "help_window.h"
#include "main_window.h"

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
