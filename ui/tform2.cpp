#include "tform2.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "texts.h"
#include "tform1.h"
#include "window_placement.h"

namespace verdaline {

TForm2::TForm2(TForm1& mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_main(mainWindow) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Список файлов"));
    setFont(mainWindow.font());
    // 715 x 448 with a usual frame.
    resize(699, 409);
    centreOnScreen(this);

    Label2 = new QLabel(QStringLiteral("Выделите файл в списке"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(40, 8);
    Label2->adjustSize();
    Label1 = new QLabel(QStringLiteral("0 шт."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->move(400, 8);
    Label1->adjustSize();
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(24, 24, 657, 337);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    Button1 = new QPushButton(QStringLiteral("Удалить выделенный файл из списка"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(40, 376, 243, 25);
    Button1->hide();
    Button2 = new QPushButton(QStringLiteral("Закрыть"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(600, 376, 75, 25);

    connect(Button1, &QPushButton::clicked, this, [this] { m_main.guarded([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
}

// The row the user selected: opening the window makes a row current without
// selecting it, and that row is not the user's choice.
int TForm2::selectedRow() const {
    const auto selected = ListBox1->selectedItems();
    return selected.isEmpty() ? -1 : ListBox1->row(selected.front());
}

void TForm2::fill(const Lines& fileList) {
    const int row = selectedRow();
    ListBox1->clear();
    for (const auto& path : fileList) {
        ListBox1->addItem(QString::fromStdString(path));
    }
    if (row >= 0 && row < ListBox1->count()) {
        ListBox1->setCurrentRow(row);
    }
}

void TForm2::open(const Lines& fileList, const QString& count) {
    show();
    raise();
    activateWindow();
    m_open = true;
    fill(fileList);
    Button1->show();
    Label1->setText(count);
    Label1->adjustSize();
}

void TForm2::followFileList(const Lines& fileList) {
    if (m_open) {
        fill(fileList);
        refreshCount();
    }
}

void TForm2::Button1Click() {
    const int row = selectedRow();
    ListBox1->setCurrentRow(-1);
    m_main.deleteEntry(row >= 0 ? std::optional<std::size_t>(static_cast<std::size_t>(row)) : std::nullopt);
    Label1->setText(m_main.Label7->text());
    Label1->adjustSize();
}

void TForm2::Button2Click() {
    Button1->hide();
    ListBox1->clear();
    m_open = false;
    close();
}

void TForm2::refreshCount() {
    Label1->setText(QString::fromStdString(texts::count(static_cast<std::size_t>(ListBox1->count()))));
    Label1->adjustSize();
}

}  // namespace verdaline
