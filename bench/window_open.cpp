// Opening the main window as the program starts, on the work area given (a registered
// computer whose file list may be long): the four windows are made, the main one shown
// and painted once, then the program ends. The script times the whole process and
// takes its peak memory. Given a number of seconds as well, the window stays open that
// long, through its refreshes and the plan of its list, and the longest time the window
// went without serving its events is printed.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <string>

#include "about_window.h"
#include "dialogs.h"
#include "help_window.h"
#include "list_window.h"
#include "main_window.h"
#include "posix_platform.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
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
    if (argc == 2) {
        QTimer::singleShot(0, &app, &QApplication::quit);
        return app.exec();
    }
    // A tick every millisecond: the gap between two ticks is how long the window kept
    // its events waiting.
    QElapsedTimer sinceTick;
    qint64 longest = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTick.restart());
    });
    QTimer::singleShot(0, [&] {
        sinceTick.start();
        ticks.start(1);
    });
    QTimer::singleShot(std::stoi(argv[2]) * 1000, &app, &QApplication::quit);
    const int status = app.exec();
    std::printf("%lld\n", static_cast<long long>(longest));
    return status;
}
