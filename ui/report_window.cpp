#include "report_window.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "fonts.h"
#include "report.h"
#include "window_placement.h"

namespace verdaline {

ReportWindow::ReportWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("reportWindow"));
    setWindowTitle(QStringLiteral("Отчет копирования"));
    setFont(windowFont());
    resize(820, 520);
    centreOnScreen(this);

    m_reportText = new QPlainTextEdit(this);
    m_reportText->setObjectName(QStringLiteral("reportText"));
    m_reportText->setReadOnly(true);
    m_reportText->setLineWrapMode(QPlainTextEdit::WidgetWidth);  // a long path and its kept version stay in sight
    m_reportText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_closeButton = new QPushButton(QStringLiteral("Закрыть"), this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_reportText);
    layout->addWidget(m_closeButton, 0, Qt::AlignRight);
}

void ReportWindow::showReport(const Lines& report) {
    m_reportText->setPlainText(QString::fromStdString(reportText(report)));
    show();
    raise();
    activateWindow();
}

}  // namespace verdaline
