#include "tform2.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "texts.h"
#include "tform1.h"

namespace verdaline {

TForm2::TForm2(TForm1& mainWindow, QWidget* parent) : QWidget(parent, Qt::Window), m_main(mainWindow) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Список файлов"));
    Label2 = new QLabel(QStringLiteral("Выделите файл в списке"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(40, 8);
    Label1 = new QLabel(QStringLiteral("0 шт."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(400, 8);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(24, 24, 657, 337);
    Button1 = new QPushButton(QStringLiteral("Удалить выделенный файл из списка"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(40, 376, 243, 25);
    Button1->hide();
    Button2 = new QPushButton(QStringLiteral("Закрыть"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(600, 376, 75, 25);
}

void TForm2::refreshCount() {
    Label1->setText(QString::fromStdString(texts::count(static_cast<std::size_t>(ListBox1->count()))));
    Label1->adjustSize();
}

}  // namespace verdaline
