// Opening the main window as the program starts, on the work area given (a registered
// computer whose file list may be long): the four windows are made, the main one shown
// and painted once, then the program ends. The script times the whole process and
// takes its peak memory.
#include <QApplication>
#include <QTimer>

#include "about_box.h"
#include "dialogs.h"
#include "posix_platform.h"
#include "tform1.h"
#include "tform2.h"
#include "tform3.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    QApplication app(argc, argv);
    verdaline::PosixPlatform platform;
    verdaline::QtDialogs dialogs;
    verdaline::SystemClock clock;
    verdaline::TForm1 form1({argv[1], platform, dialogs, clock});
    verdaline::TForm2 form2(form1);
    verdaline::TAboutBox aboutBox(form1, dialogs);
    verdaline::TForm3 form3;
    form1.setSecondaryWindows(&form2, &aboutBox, &form3);
    form1.show();
    QTimer::singleShot(0, &app, &QApplication::quit);
    return app.exec();
}
