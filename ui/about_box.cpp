#include "about_box.h"

#include "tform1.h"

namespace verdaline {

TAboutBox::TAboutBox(TForm1& mainWindow, QWidget* parent) : QWidget(parent, Qt::Window) {
    Q_UNUSED(mainWindow);
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowTitle(QStringLiteral("О программе"));
}

}  // namespace verdaline
