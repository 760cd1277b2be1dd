// Opening the main window as the program starts, on the work area given (a registered
// computer whose file list may be long): the four windows are made, the main one shown
// and painted once, then the program ends. The script times the whole process and
// takes its peak memory.
#include <QApplication>
#include <QTimer>

#include "about_window.h"
#include "dialogs.h"
#include "posix_platform.h"
#include "main_window.h"
#include "list_window.h"
#include "help_window.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    QApplication app(argc, argv);
    verdaline::PosixPlatform platform;
    verdaline::QtDialogs dialogs;
    verdaline::SystemClock clock;
    verdaline::MainWindow mainWindow({argv[1], platform, dialogs, clock});
    verdaline::ListWindow listWindow(mainWindow);
    verdaline::AboutWindow aboutWindow(mainWindow, dialogs);
    verdaline::HelpWindow helpWindow;
    mainWindow.setSecondaryWindows(&listWindow, &aboutWindow, &helpWindow);
    mainWindow.show();
    QTimer::singleShot(0, &app, &QApplication::quit);
    return app.exec();
}
