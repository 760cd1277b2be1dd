// The main window's menu: the help and about windows, the web site and a letter.
#include <QUrl>

#include "about_box.h"
#include "about_info.h"
#include "tform1.h"
#include "tform3.h"

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

void TForm1::N3Click() {
    bringToFront(m_helpWindow);
}

void TForm1::N2Click() {
    bringToFront(m_aboutWindow);
}

void TForm1::N5Click() {
    openWebSite(m_env.dialogs);
}

void TForm1::N6Click() {
    writeLetter(m_env.dialogs);
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
