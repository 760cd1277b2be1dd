// The program's entry: the title, the four windows in their order, the message loop.
#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

#include "about_window.h"
#include "dialogs.h"
#include "errors.h"
#include "fonts.h"
#include "native_platform.h"
#include "runtime_copy.h"
#include "texts.h"
#include "main_window.h"
#include "list_window.h"
#include "help_window.h"

namespace {

// The last net for a failure that escaped its handler: show it and go on.
class Application : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& failure) {
            QMessageBox::critical(activeWindow(), QString::fromUtf8(verdaline::texts::kApplicationTitle),
                                  QString::fromStdString(verdaline::withFullStop(failure.what())));
        }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    const std::string programFolder = verdaline::runFromRuntimeCopy(argc, argv);
    Application app(argc, argv);
    app.setApplicationName(QString::fromUtf8(verdaline::texts::kApplicationTitle));
    app.setQuitOnLastWindowClosed(false);
    app.setWindowIcon(verdaline::programIcon());

    // Qt's own buttons and dialogs speak the program's language; a program folder made by
    // "make stick" brings the translation along for computers without it. It is mapped, not
    // read, so it is taken from beside the running copy, never from the stick.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        qtTranslator.load(QStringLiteral("qtbase_ru"),
                          QCoreApplication::applicationDirPath() + QStringLiteral("/translations"))) {
        app.installTranslator(&qtTranslator);
    }

    verdaline::NativePlatform platform;
    verdaline::QtDialogs dialogs;
    // The same regional time stamp as verdaline-cli: Qt has set the C locale from the
    // environment by now.
    verdaline::SystemClock clock;
    verdaline::MainWindow mainWindow({programFolder, platform, dialogs, clock});
    verdaline::ListWindow listWindow(mainWindow);
    verdaline::AboutWindow aboutWindow(mainWindow, dialogs);
    verdaline::HelpWindow helpWindow;
    mainWindow.setSecondaryWindows(&listWindow, &aboutWindow, &helpWindow);
    QObject::connect(&mainWindow, &verdaline::MainWindow::closed, &app, &QApplication::quit);

    mainWindow.show();
    const int status = app.exec();
    verdaline::removeRuntimeCopy();
    return status;
}
