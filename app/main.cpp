// The program's entry: the title, the four windows in their order, the message loop.
#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

#include "about_box.h"
#include "dialogs.h"
#include "errors.h"
#include "fonts.h"
#include "native_platform.h"
#include "texts.h"
#include "tform1.h"
#include "tform2.h"
#include "tform3.h"

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
    Application app(argc, argv);
    app.setApplicationName(QString::fromUtf8(verdaline::texts::kApplicationTitle));
    app.setQuitOnLastWindowClosed(false);
    app.setWindowIcon(verdaline::programIcon());

    const std::string programFolder = verdaline::executableFolder(argv[0]);
    // Qt's own buttons and dialogs speak the program's language; a program folder made by
    // "make stick" brings the translation along for computers without it.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        qtTranslator.load(QStringLiteral("qtbase_ru"),
                          QString::fromStdString(programFolder + "translations"))) {
        app.installTranslator(&qtTranslator);
    }

    verdaline::NativePlatform platform;
    verdaline::QtDialogs dialogs;
    // The same regional time stamp as verdaline-cli: Qt has set the C locale from the
    // environment by now.
    verdaline::SystemClock clock;
    verdaline::TForm1 form1({programFolder, platform, dialogs, clock});
    verdaline::TForm2 form2(form1);
    verdaline::TAboutBox aboutBox(form1, dialogs);
    verdaline::TForm3 form3;
    form1.setSecondaryWindows(&form2, &aboutBox, &form3);
    QObject::connect(&form1, &verdaline::TForm1::closed, &app, &QApplication::quit);

    form1.show();
    return app.exec();
}
