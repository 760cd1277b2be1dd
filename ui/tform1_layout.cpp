// The main window's controls: where they stand, what they say, how they start.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <algorithm>

#include "about_info.h"
#include "fitted_lines.h"
#include "fonts.h"
#include "radio_group.h"
#include "shell_list_view.h"
#include "texts.h"
#include "tform1.h"
#include "wrap_widgets.h"

namespace verdaline {
namespace {

const QColor kNavy(0, 0, 128);
const QColor kBackground(248, 248, 248);

template <typename Widget, typename... Args>
Widget* make(QWidget* parent, const char* name, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setFont(windowFont());
    return widget;
}

void styleFont(QWidget* widget, int pointSize, bool bold = false, bool underline = false) {
    QFont font = windowFont(pointSize, bold);
    font.setUnderline(underline);
    widget->setFont(font);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->adjustSize();  // a label sizes itself to its text
    }
}

void paintNavy(QWidget* widget) {
    QPalette palette = widget->palette();
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Active, role, kNavy);
        palette.setColor(QPalette::Inactive, role, kNavy);
    }
    widget->setPalette(palette);
}

QLabel* label(QWidget* parent, const char* name, const char* text, int x, int y) {
    auto* result = make<QLabel>(parent, name, QString::fromUtf8(text));
    result->setTextFormat(Qt::PlainText);
    result->move(x, y);
    result->adjustSize();
    return result;
}

QGroupBox* group(QWidget* parent, const char* name, const char* title, QRect geometry) {
    auto* result = make<QGroupBox>(parent, name, QString::fromUtf8(title));
    result->setGeometry(geometry);
    return result;
}

template <typename Button = QPushButton>
Button* button(QWidget* parent, const char* name, const char* text, QRect geometry) {
    auto* result = make<Button>(parent, name, QString::fromUtf8(text));
    result->setGeometry(geometry);
    return result;
}

// A box of text lines, with both scroll bars always there.
template <typename Box>
Box* lineBox(QWidget* parent) {
    auto* result = new Box(parent);
    result->setFont(windowFont());
    result->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    result->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return result;
}

// A read-only box of a long list, one row per line (the rows come from FittedLines).
// As in a read-only text box, the mouse selects lines, and Ctrl+C or the context menu
// copies them as they are shown.
QListView* listBox(QWidget* parent) {
    auto* box = lineBox<QListView>(parent);
    box->setUniformItemSizes(true);  // the layout never asks for every row
    box->setTextElideMode(Qt::ElideLeft);  // should a fitted row still not fit, the name stays
    box->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* copy = new QAction(QStringLiteral("Копировать"), box);
    copy->setShortcut(QKeySequence::Copy);
    QObject::connect(copy, &QAction::triggered, box, [box] {
        QModelIndexList rows = box->selectionModel()->selectedRows();
        std::sort(rows.begin(), rows.end());
        QStringList lines;
        for (const QModelIndex& row : rows) {
            lines.append(row.data().toString());
        }
        QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
    });
    auto* selectAll = new QAction(QStringLiteral("Выделить всё"), box);
    selectAll->setShortcut(QKeySequence::SelectAll);
    QObject::connect(selectAll, &QAction::triggered, box, &QListView::selectAll);
    for (QAction* action : {copy, selectAll}) {
        action->setShortcutContext(Qt::WidgetShortcut);
        box->addAction(action);
    }
    box->setContextMenuPolicy(Qt::ActionsContextMenu);
    return box;
}

}  // namespace

void TForm1::createControls() {
    setFont(windowFont());
    QPalette background = palette();
    background.setColor(QPalette::Window, kBackground);
    setPalette(background);
    setAutoFillBackground(true);

    auto* form = new QWidget(this);
    form->setObjectName(QStringLiteral("TForm1Client"));
    setCentralWidget(form);

    ProgressBar1 = make<QProgressBar>(form, "ProgressBar1");
    ProgressBar1->setGeometry(8, 8, 857, 16);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setFocusPolicy(Qt::NoFocus);  // reached only by the arrow keys

    Label4 = label(form, "Label4", "Вы работаете на компьютере -  ", 136, 24);
    styleFont(Label4, 10, true);
    paintNavy(Label4);
    Label5 = label(form, "Label5", texts::kUnknownComputer, 376, 24);
    styleFont(Label5, 10, true, true);
    paintNavy(Label5);

    // Computer side.
    GroupBox1 = group(form, "GroupBox1", "   Компьютер   ", {8, 48, 297, 609});
    styleFont(GroupBox1, 10, true);
    Image1 = new PictureBox(QStringLiteral(":/computer.svg"), GroupBox1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 24, 209, 129);
    Label1 = label(GroupBox1, "Label1", "Список файлов:", 24, 164);
    Label7 = label(GroupBox1, "Label7", "0 шт.", 120, 160);
    styleFont(Label7, 8, true);
    paintNavy(Label7);
    Button4 = button<WrapButton>(GroupBox1, "Button4", "Добавить файл:", {184, 128, 97, 49});
    styleFont(Button4, 10, true);
    Button4->setEnabled(false);
    Memo1 = listBox(GroupBox1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 184, 281, 385);
    paintNavy(Memo1);
    m_fileRows = new FittedLines(Memo1);
    Button5 = button(GroupBox1, "Button5", "Редактировать список", {80, 576, 137, 25});
    Button5->setEnabled(false);

    // Registration.
    GroupBox5 = group(form, "GroupBox5", " Дайте любое имя компьютеру :  ", {312, 72, 193, 97});
    ComboBox1 = make<QComboBox>(GroupBox5, "ComboBox1");
    styleFont(ComboBox1, 10, true);
    paintNavy(ComboBox1);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->addItems({"Офисный", "Домашний", "Комп_1", "Комп_2", "Комп_3"});
    ComboBox1->setGeometry(8, 17, 177, 24);
    ComboBox1->setCurrentText(QStringLiteral("Офисный"));
    Button6 = button(GroupBox5, "Button6", "Добавить компьютер", {8, 48, 177, 33});
    styleFont(Button6, 10, true);

    CheckBox2 =
        make<WrapCheckBox>(form, "CheckBox2", QStringLiteral("Создавать резервные копии старых файлов"));
    styleFont(CheckBox2, 8, true);
    paintNavy(CheckBox2);
    CheckBox2->setGeometry(320, 184, 177, 33);
    CheckBox2->setToolTip(QStringLiteral("Может увеличить время копирования"));
    CheckBox2->setChecked(true);

    RadioGroup1 =
        new RadioGroup(QStringLiteral("Режим"), {"Синхронизация", "Направленное копирование"}, form);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setFont(windowFont());
    RadioGroup1->setGeometry(320, 240, 177, 65);
    RadioGroup1->setItemIndex(1);
    RadioGroup1->setEnabled(false);

    // Directed copy.
    GroupBox4 = group(form, "GroupBox4", "Направленное копирование", {320, 328, 177, 169});
    Label3 = label(GroupBox4, "Label3", "Направление:", 48, 24);
    Label3->setAlignment(Qt::AlignCenter);
    RadioButton1 = make<QRadioButton>(GroupBox4, "RadioButton1");
    RadioButton1->setGeometry(24, 64, 17, 17);
    RadioButton1->setChecked(true);
    RadioButton1->setEnabled(false);
    Button2 = button(GroupBox4, "Button2", ">", {64, 48, 73, 41});
    Button2->setToolTip(QStringLiteral("С компьютера на флешку"));
    Button2->setEnabled(false);
    RadioButton2 = make<QRadioButton>(GroupBox4, "RadioButton2");
    RadioButton2->setGeometry(24, 120, 17, 17);
    RadioButton2->setEnabled(false);
    Button3 = button(GroupBox4, "Button3", "<", {64, 112, 73, 41});
    Button3->setToolTip(QStringLiteral("С флешки на компьютер"));
    Button3->setEnabled(false);
    Button2->setFont(arrowFont());
    Button3->setFont(arrowFont());

    // Synchronisation, in the same place.
    // Taller than the directed-copy group, for the line about the last run.
    GroupBox3 = group(form, "GroupBox3", "Синхронизация", {320, 328, 177, 226});
    GroupBox3->hide();
    Button13 = button(GroupBox3, "Button13", "Синхронизация", {16, 32, 145, 41});
    styleFont(Button13, 10, true);
    CheckBox1 =
        make<WrapCheckBox>(GroupBox3, "CheckBox1", QStringLiteral("Автоматически синхронизировать каждые"));
    styleFont(CheckBox1, 8, true);
    CheckBox1->setGeometry(8, 88, 145, 49);
    ComboBox3 = make<QComboBox>(GroupBox3, "ComboBox3");
    styleFont(ComboBox3, 8, true);
    ComboBox3->addItems(
        {"5 минут", "10 минут", "20 минут", "30 минут", "60 минут", "ТРИ ЧАСА", "ВОСЕМЬ ЧАСОВ"});
    ComboBox3->setMaxVisibleItems(15);
    ComboBox3->setCurrentIndex(1);
    ComboBox3->setGeometry(8, 148, 145, 21);
    ComboBox3->setEnabled(false);
    Label13 = label(GroupBox3, "Label13", "", 8, 174);
    Label13->setFont(windowFont(7));
    paintNavy(Label13);
    Label13->setWordWrap(true);
    Label13->setFixedSize(161, 46);
    Label13->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Button12 = button<WrapButton>(form, "Button12", "Открыть последний отчет", {328, 560, 161, 49});
    styleFont(Button12, 10);

    // Flash-drive side.
    GroupBox2 = group(form, "GroupBox2", "   Флешка    ", {512, 48, 353, 577});
    styleFont(GroupBox2, 10, true);
    Image2 = new PictureBox(QStringLiteral(":/flash_drive.svg"), GroupBox2);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(16, 32, 153, 81);
    Button11 = button<WrapButton>(GroupBox2, "Button11", "Добавить файл с флешки", {240, 48, 97, 41});
    Button11->setEnabled(false);
    Label6 = label(GroupBox2, "Label6", "Список файлов:", 24, 128);
    Label8 = label(GroupBox2, "Label8", "0 шт.", 176, 120);
    styleFont(Label8, 8, true);
    paintNavy(Label8);
    Label2 = label(GroupBox2, "Label2", "Имеющиеся файлы:", 232, 128);
    Label10 = label(GroupBox2, "Label10", "0 шт.", 296, 112);
    styleFont(Label10, 8, true);
    paintNavy(Label10);
    // The flash-side list: read-only rows, and in edit mode the whole list as text to
    // type over, filled only then.
    Memo2 = make<QStackedWidget>(GroupBox2, "Memo2");
    Memo2->setGeometry(8, 144, 201, 369);
    m_flashView = listBox(Memo2);
    m_flashRows = new FittedLines(m_flashView);
    m_flashText = lineBox<QPlainTextEdit>(Memo2);
    m_flashText->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo2->addWidget(m_flashView);
    Memo2->addWidget(m_flashText);
    CheckBox3 = make<QCheckBox>(GroupBox2, "CheckBox3", QStringLiteral("Редактировать"));
    CheckBox3->setGeometry(8, 520, 105, 17);
    Button15 = button(GroupBox2, "Button15", "Загруз.список", {8, 544, 89, 25});
    Button15->hide();
    Button14 = button(GroupBox2, "Button14", "Сохр.список", {112, 544, 89, 25});
    Button14->hide();

    // The flash view stands on the window itself, over the flash-drive group.
    ShellListView1 = new ShellListView(m_env.platform, form);
    ShellListView1->setObjectName(QStringLiteral("ShellListView1"));
    ShellListView1->setFont(windowFont());
    ShellListView1->setGeometry(728, 192, 129, 417);
    ShellListView1->raise();
    ShellListView1->setRoot("/");

    Button1 = button(form, "Button1", "Выход", {768, 632, 75, 25});

    Label9 = label(form, "Label9", "номер диска", 0, 0);
    Label11 = label(form, "Label11", "03.2015", 0, 0);
    Label12 = label(form, "Label12", "5.2", 0, 0);
    for (auto* hidden : {Label9, Label11, Label12}) {
        hidden->hide();
    }

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(3000);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(600000);
    Timer1->setTimerType(Qt::PreciseTimer);  // counts whole intervals from the moment it is set

    auto* help = menuBar()->addMenu(QStringLiteral("Справка"));
    N3 = help->addAction(QStringLiteral("Порядок работы"));
    N3->setObjectName(QStringLiteral("N3"));
    N2 = help->addAction(QStringLiteral("О программе"));
    N2->setObjectName(QStringLiteral("N2"));
    auto* feedback = menuBar()->addMenu(QStringLiteral("Обратная связь"));
    N5 = feedback->addAction(QStringLiteral("Перейти на сайт"));
    N5->setObjectName(QStringLiteral("N5"));
    N6 = feedback->addAction(QStringLiteral("Написать письмо"));
    N6->setObjectName(QStringLiteral("N6"));
    N5->setEnabled(!about::kWebSite.isEmpty());
    N6->setEnabled(!about::kEmail.isEmpty());
}

}  // namespace verdaline
