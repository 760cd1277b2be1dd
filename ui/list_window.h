#pragma once

#include <QWidget>

#include "list_file.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace verdaline {

class MainWindow;

// The list window ("Редактировать список"): shows the file list and removes entries
// from it, one at a time.
class ListWindow : public QWidget {
    Q_OBJECT
public:
    explicit ListWindow(MainWindow& mainWindow, QWidget* parent = nullptr);

    // Shows the window with the file list and the delete button, and gives it the focus.
    void open(const Lines& fileList, const QString& count);
    // While open, the window shows the file list as it is now.
    void followFileList(const Lines& fileList);
    // The count follows the number of entries the window shows.
    void refreshCount();

    void deleteSelected();
    void closeList();

private:
    void fill(const Lines& fileList);
    int selectedRow() const;

    QLabel* m_prompt = nullptr;  // "Выделите файл в списке"
    QLabel* m_count = nullptr;
    QListWidget* m_entries = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_closeButton = nullptr;

    MainWindow& m_main;
    bool m_open = false;  // from an opening to the next "Закрыть"
};

}  // namespace verdaline
