#pragma once

#include <QWidget>

#include "list_file.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace verdaline {

class TForm1;

// The list window: shows the file list and removes entries from it, one at a time.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(TForm1& mainWindow, QWidget* parent = nullptr);

    // Shows the window with the file list and the delete button, and gives it the focus.
    void open(const Lines& fileList, const QString& count);
    // While open, the window shows the file list as it is now.
    void followFileList(const Lines& fileList);
    // Label1 follows the number of entries the window shows.
    void refreshCount();

    void Button1Click();
    void Button2Click();

    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QListWidget* ListBox1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

private:
    void fill(const Lines& fileList);
    int selectedRow() const;

    TForm1& m_main;
    bool m_open = false;  // from an opening to the next "Закрыть"
};

}  // namespace verdaline
