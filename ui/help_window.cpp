#include "help_window.h"

#include <QFile>
#include <QPushButton>
#include <QTextEdit>

#include "fonts.h"
#include "window_placement.h"

namespace verdaline {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Порядок работы"));
    setFont(windowFont());
    // 878 x 740 with a usual frame.
    resize(862, 701);
    centreOnScreen(this);

    m_helpText = new QTextEdit(this);
    m_helpText->setObjectName(QStringLiteral("helpText"));
    m_helpText->setGeometry(rect());
    m_helpText->setReadOnly(true);
    m_helpText->setFont(windowFont(10, true));
    m_helpText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_helpText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette navy = m_helpText->palette();
    navy.setColor(QPalette::Text, QColor(0, 0, 128));
    m_helpText->setPalette(navy);
    QFile help(QStringLiteral(":/help.html"));
    if (help.open(QIODevice::ReadOnly)) {
        m_helpText->setHtml(QString::fromUtf8(help.readAll()));
    }

    m_okButton = new QPushButton(QStringLiteral("Ok"), this);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_okButton->setGeometry(672, 616, 75, 25);
    m_okButton->raise();
    connect(m_okButton, &QPushButton::clicked, this, &QWidget::close);
}

void HelpWindow::resizeEvent(QResizeEvent*) {
    m_helpText->setGeometry(rect());
}

}  // namespace verdaline
