#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace verdaline {

class TForm1;

// The list window: shows the file list and removes entries from it.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(TForm1& mainWindow, QWidget* parent = nullptr);

    // Label1 follows the number of entries the window shows.
    void refreshCount();

    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

private:
    TForm1& m_main;
};

}  // namespace verdaline
