#include "tform3.h"

namespace verdaline {

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("Порядок работы"));
}

}  // namespace verdaline
