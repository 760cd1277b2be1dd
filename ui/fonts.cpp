#include "fonts.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPixmap>
#include <QStringList>
#include <QSvgRenderer>

namespace verdaline {
namespace {

QString firstInstalled(const QStringList& families) {
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : families) {
        if (installed.contains(family, Qt::CaseInsensitive)) {
            return family;
        }
    }
    return families.last();
}

}  // namespace

QFont windowFont(int pointSize, bool bold) {
    static const QString family =
        firstInstalled({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                        QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    QFont font(family, pointSize);
    font.setBold(bold);
    return font;
}

QFont arrowFont() {
    static const QString family =
        firstInstalled({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                        QStringLiteral("DejaVu Serif")});
    QFont font(family, 26);
    font.setBold(true);
    return font;
}

QIcon programIcon() {
    QSvgRenderer renderer(QStringLiteral(":/verdaline.svg"));
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace verdaline
