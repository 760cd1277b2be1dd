#include "list_window.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "main_window.h"
#include "texts.h"
#include "window_placement.h"

namespace verdaline {

ListWindow::ListWindow(MainWindow& mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_main(mainWindow) {
    setObjectName(QStringLiteral("listWindow"));
    setWindowTitle(QStringLiteral("Список файлов"));
    setFont(mainWindow.font());
    // 715 x 448 with a usual frame.
    resize(699, 409);
    centreOnScreen(this);

    m_prompt = new QLabel(QStringLiteral("Выделите файл в списке"), this);
    m_prompt->setObjectName(QStringLiteral("prompt"));
    m_prompt->move(40, 8);
    m_prompt->adjustSize();
    m_count = new QLabel(QStringLiteral("0 шт."), this);
    m_count->setObjectName(QStringLiteral("count"));
    QFont bold = font();
    bold.setBold(true);
    m_count->setFont(bold);
    m_count->move(400, 8);
    m_count->adjustSize();
    m_entries = new QListWidget(this);
    m_entries->setObjectName(QStringLiteral("entries"));
    m_entries->setGeometry(24, 24, 657, 337);
    m_entries->setSelectionMode(QAbstractItemView::SingleSelection);
    m_deleteButton = new QPushButton(QStringLiteral("Удалить выделенный файл из списка"), this);
    m_deleteButton->setObjectName(QStringLiteral("deleteButton"));
    m_deleteButton->setGeometry(40, 376, 243, 25);
    m_deleteButton->hide();
    m_closeButton = new QPushButton(QStringLiteral("Закрыть"), this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->setGeometry(600, 376, 75, 25);

    connect(m_deleteButton, &QPushButton::clicked, this,
            [this] { m_main.guarded([this] { deleteSelected(); }); });
    connect(m_closeButton, &QPushButton::clicked, this, [this] { closeList(); });
}

// The row the user selected: opening the window makes a row current without
// selecting it, and that row is not the user's choice.
int ListWindow::selectedRow() const {
    const auto selected = m_entries->selectedItems();
    return selected.isEmpty() ? -1 : m_entries->row(selected.front());
}

void ListWindow::fill(const Lines& fileList) {
    const int row = selectedRow();
    m_entries->clear();
    for (const auto& path : fileList) {
        m_entries->addItem(QString::fromStdString(path));
    }
    if (row >= 0 && row < m_entries->count()) {
        m_entries->setCurrentRow(row);
    }
}

void ListWindow::open(const Lines& fileList, const QString& count) {
    show();
    raise();
    activateWindow();
    m_open = true;
    fill(fileList);
    m_deleteButton->show();
    m_count->setText(count);
    m_count->adjustSize();
}

void ListWindow::followFileList(const Lines& fileList) {
    if (m_open) {
        fill(fileList);
        refreshCount();
    }
}

void ListWindow::deleteSelected() {
    const int row = selectedRow();
    m_entries->setCurrentRow(-1);
    m_main.deleteEntry(row >= 0 ? std::optional<std::size_t>(static_cast<std::size_t>(row)) : std::nullopt);
    m_count->setText(QString::fromStdString(texts::count(m_main.fileList().size())));
    m_count->adjustSize();
}

void ListWindow::closeList() {
    m_deleteButton->hide();
    m_entries->clear();
    m_open = false;
    close();
}

void ListWindow::refreshCount() {
    m_count->setText(QString::fromStdString(texts::count(static_cast<std::size_t>(m_entries->count()))));
    m_count->adjustSize();
}

}  // namespace verdaline
