#include "tform3.h"

#include <QFile>
#include <QPushButton>
#include <QTextEdit>

#include "fonts.h"
#include "window_placement.h"

namespace verdaline {

TForm3::TForm3(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("Порядок работы"));
    setFont(windowFont());
    // 878 x 740 with a usual frame.
    resize(862, 701);
    centreOnScreen(this);

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setGeometry(rect());
    RichEdit1->setReadOnly(true);
    RichEdit1->setFont(windowFont(10, true));
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette navy = RichEdit1->palette();
    navy.setColor(QPalette::Text, QColor(0, 0, 128));
    RichEdit1->setPalette(navy);
    QFile help(QStringLiteral(":/help.html"));
    if (help.open(QIODevice::ReadOnly)) {
        RichEdit1->setHtml(QString::fromUtf8(help.readAll()));
    }

    Button1 = new QPushButton(QStringLiteral("Ok"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(672, 616, 75, 25);
    Button1->raise();
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TForm3::resizeEvent(QResizeEvent*) {
    RichEdit1->setGeometry(rect());
}

void TForm3::Button1Click() {
    close();
}

}  // namespace verdaline
