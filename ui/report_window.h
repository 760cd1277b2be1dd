#pragma once

#include <QWidget>

#include "list_file.h"

class QPlainTextEdit;
class QPushButton;

namespace verdaline {

// The last copy report, read from the stick and shown as it is: scrollable, its text
// selectable, nothing written anywhere.
class ReportWindow : public QWidget {
    Q_OBJECT
public:
    explicit ReportWindow(QWidget* parent = nullptr);

    // Shows the window with the report's lines, in front and with the focus.
    void showReport(const Lines& report);

private:
    QPlainTextEdit* m_reportText = nullptr;
    QPushButton* m_closeButton = nullptr;
};

}  // namespace verdaline
