#pragma once

#include <QWidget>

class QPushButton;
class QTextEdit;

namespace verdaline {

// The help window ("Порядок работы"): how to work with the program.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QTextEdit* m_helpText = nullptr;
    QPushButton* m_okButton = nullptr;
};

}  // namespace verdaline
