#pragma once

#include <QWidget>

class QPushButton;
class QTextEdit;

namespace verdaline {

// The help window: how to work with the program.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

    void Button1Click();

    QTextEdit* RichEdit1 = nullptr;
    QPushButton* Button1 = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace verdaline
