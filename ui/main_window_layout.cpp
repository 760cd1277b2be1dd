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
#include "main_window.h"
#include "radio_group.h"
#include "report_window.h"
#include "shell_list_view.h"
#include "texts.h"
#include "versions_window.h"
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

}  // namespace

void paintTroubles(QWidget* widget, bool troubles) {
    QPalette palette = widget->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, troubles ? QColor(176, 0, 0) : kNavy);
    }
    widget->setPalette(palette);
}

namespace {

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
    box->setUniformItemSizes(true);        // the layout never asks for every row
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

void MainWindow::createControls() {
    setFont(windowFont());
    QPalette background = palette();
    background.setColor(QPalette::Window, kBackground);
    setPalette(background);
    setAutoFillBackground(true);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("mainWindowClient"));
    setCentralWidget(client);

    m_progressBar = make<QProgressBar>(client, "progressBar");
    m_progressBar->setGeometry(8, 8, 857, 16);
    m_progressBar->setTextVisible(false);
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setFocusPolicy(Qt::NoFocus);  // reached only by the arrow keys

    m_computerCaption = label(client, "computerCaption", "Вы работаете на компьютере -  ", 136, 24);
    styleFont(m_computerCaption, 10, true);
    paintNavy(m_computerCaption);
    m_computerNameLabel = label(client, "computerNameLabel", texts::kUnknownComputer, 376, 24);
    styleFont(m_computerNameLabel, 10, true, true);
    paintNavy(m_computerNameLabel);
    m_stickMissing = label(client, "stickMissing", texts::stickMissing().c_str(), 136, 24);
    styleFont(m_stickMissing, 10, true);
    QPalette red = m_stickMissing->palette();
    red.setColor(QPalette::WindowText, QColor(192, 0, 0));
    m_stickMissing->setPalette(red);
    m_stickMissing->hide();

    // Computer side.
    m_computerGroup = group(client, "computerGroup", "   Компьютер   ", {8, 48, 297, 609});
    styleFont(m_computerGroup, 10, true);
    m_computerPicture = new PictureBox(QStringLiteral(":/computer.svg"), m_computerGroup);
    m_computerPicture->setObjectName(QStringLiteral("computerPicture"));
    m_computerPicture->setGeometry(8, 24, 209, 129);
    m_fileListCaption = label(m_computerGroup, "fileListCaption", "Список файлов:", 24, 164);
    m_fileCount = label(m_computerGroup, "fileCount", "0 шт.", 120, 160);
    styleFont(m_fileCount, 8, true);
    paintNavy(m_fileCount);
    m_addFromComputerButton =
        button<WrapButton>(m_computerGroup, "addFromComputerButton", "Добавить файл:", {184, 128, 97, 49});
    styleFont(m_addFromComputerButton, 10, true);
    m_addFromComputerButton->setEnabled(false);
    m_fileListView = listBox(m_computerGroup);
    m_fileListView->setObjectName(QStringLiteral("fileListView"));
    m_fileListView->setGeometry(8, 184, 281, 385);
    paintNavy(m_fileListView);
    m_fileRows = new FittedLines(m_fileListView);
    m_fileRows->showMarks(&m_marks);
    m_fileListView->setIconSize(QSize(12, 12));
    m_versionsItem = new QAction(QStringLiteral("Версии файла..."), m_fileListView);
    m_versionsItem->setObjectName(QStringLiteral("versionsItem"));
    m_fileListView->insertAction(m_fileListView->actions().value(0), m_versionsItem);
    m_editListButton = button(m_computerGroup, "editListButton", "Редактировать список", {80, 576, 137, 25});
    m_editListButton->setEnabled(false);

    // Registration.
    m_registrationGroup =
        group(client, "registrationGroup", " Дайте любое имя компьютеру :  ", {312, 72, 193, 97});
    m_computerNameBox = make<QComboBox>(m_registrationGroup, "computerNameBox");
    styleFont(m_computerNameBox, 10, true);
    paintNavy(m_computerNameBox);
    m_computerNameBox->setEditable(true);
    m_computerNameBox->setInsertPolicy(QComboBox::NoInsert);
    m_computerNameBox->setGeometry(8, 17, 177, 24);  // names that are free, when shown
    m_registerButton = button(m_registrationGroup, "registerButton", "Добавить компьютер", {8, 48, 177, 33});
    styleFont(m_registerButton, 10, true);

    m_backupsBox =
        make<WrapCheckBox>(client, "backupsBox", QStringLiteral("Создавать резервные копии старых файлов"));
    styleFont(m_backupsBox, 8, true);
    paintNavy(m_backupsBox);
    m_backupsBox->setGeometry(320, 184, 177, 33);
    m_backupsBox->setToolTip(QStringLiteral("Может увеличить время копирования"));
    m_backupsBox->setChecked(true);

    m_modeGroup =
        new RadioGroup(QStringLiteral("Режим"), {"Синхронизация", "Направленное копирование"}, client);
    m_modeGroup->setObjectName(QStringLiteral("modeGroup"));
    m_modeGroup->setFont(windowFont());
    m_modeGroup->setGeometry(320, 240, 177, 65);
    m_modeGroup->setItemIndex(1);
    m_modeGroup->setEnabled(false);

    // Directed copy.
    m_directedCopyGroup =
        group(client, "directedCopyGroup", "Направленное копирование", {320, 328, 177, 169});
    m_directionCaption = label(m_directedCopyGroup, "directionCaption", "Направление:", 48, 24);
    m_directionCaption->setAlignment(Qt::AlignCenter);
    m_toFlashChoice = make<QRadioButton>(m_directedCopyGroup, "toFlashChoice");
    m_toFlashChoice->setGeometry(24, 64, 17, 17);
    m_toFlashChoice->setChecked(true);
    m_toFlashChoice->setEnabled(false);
    m_toFlashButton = button(m_directedCopyGroup, "toFlashButton", ">", {64, 48, 73, 41});
    m_toFlashButton->setToolTip(QStringLiteral("С компьютера на флешку"));
    m_toFlashButton->setEnabled(false);
    m_toComputerChoice = make<QRadioButton>(m_directedCopyGroup, "toComputerChoice");
    m_toComputerChoice->setGeometry(24, 120, 17, 17);
    m_toComputerChoice->setEnabled(false);
    m_toComputerButton = button(m_directedCopyGroup, "toComputerButton", "<", {64, 112, 73, 41});
    m_toComputerButton->setToolTip(QStringLiteral("С флешки на компьютер"));
    m_toComputerButton->setEnabled(false);
    m_toFlashButton->setFont(arrowFont());
    m_toComputerButton->setFont(arrowFont());

    // Synchronisation, in the same place.
    // Taller than the directed-copy group, for the line about the last run.
    m_synchronisationGroup = group(client, "synchronisationGroup", "Синхронизация", {320, 328, 177, 226});
    m_synchronisationGroup->hide();
    m_synchroniseButton =
        button(m_synchronisationGroup, "synchroniseButton", "Синхронизация", {16, 32, 145, 41});
    styleFont(m_synchroniseButton, 10, true);
    m_automaticBox = make<WrapCheckBox>(m_synchronisationGroup, "automaticBox",
                                        QStringLiteral("Автоматически синхронизировать каждые"));
    styleFont(m_automaticBox, 8, true);
    m_automaticBox->setGeometry(8, 88, 145, 49);
    m_intervalBox = make<QComboBox>(m_synchronisationGroup, "intervalBox");
    styleFont(m_intervalBox, 8, true);
    m_intervalBox->addItems(
        {"5 минут", "10 минут", "20 минут", "30 минут", "60 минут", "ТРИ ЧАСА", "ВОСЕМЬ ЧАСОВ"});
    m_intervalBox->setMaxVisibleItems(15);
    m_intervalBox->setCurrentIndex(1);
    m_intervalBox->setGeometry(8, 148, 145, 21);
    m_intervalBox->setEnabled(false);
    m_synchronisationStatus = label(m_synchronisationGroup, "synchronisationStatus", "", 8, 174);
    m_synchronisationStatus->setFont(windowFont());
    paintNavy(m_synchronisationStatus);
    m_synchronisationStatus->setWordWrap(true);
    m_synchronisationStatus->setFixedSize(161, 46);
    m_synchronisationStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // What a run of the mode and direction chosen would copy, under the groups: the mode
    // places it (switchMode).
    m_planSummary = label(client, "planSummary", "", 320, 500);
    paintNavy(m_planSummary);
    m_planSummary->setWordWrap(true);
    m_planSummary->setGeometry(kDirectedSummary);
    m_planSummary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // What went wrong in the last run, where registration stands while the computer is unknown.
    m_runNotice = label(client, "runNotice", "", 312, 60);
    m_runNotice->setWordWrap(true);
    m_runNotice->setGeometry(312, 60, 193, 112);
    m_runNotice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    paintTroubles(m_runNotice, true);
    m_runNotice->hide();
    m_openReportButton =
        button<WrapButton>(client, "openReportButton", "Открыть последний отчет", {328, 608, 161, 49});
    styleFont(m_openReportButton, 10);

    // Flash-drive side.
    m_flashGroup = group(client, "flashGroup", "   Флешка    ", {512, 48, 353, 577});
    styleFont(m_flashGroup, 10, true);
    m_flashPicture = new PictureBox(QStringLiteral(":/flash_drive.svg"), m_flashGroup);
    m_flashPicture->setObjectName(QStringLiteral("flashPicture"));
    m_flashPicture->setGeometry(16, 32, 153, 81);
    m_addFromFlashButton =
        button<WrapButton>(m_flashGroup, "addFromFlashButton", "Добавить файл с флешки", {240, 48, 97, 41});
    m_addFromFlashButton->setEnabled(false);
    m_flashListCaption = label(m_flashGroup, "flashListCaption", "Список файлов:", 24, 128);
    m_flashCount = label(m_flashGroup, "flashCount", "0 шт.", 176, 120);
    styleFont(m_flashCount, 8, true);
    paintNavy(m_flashCount);
    m_presentCaption = label(m_flashGroup, "presentCaption", "Имеющиеся файлы:", 232, 128);
    m_presentCount = label(m_flashGroup, "presentCount", "0 шт.", 296, 112);
    styleFont(m_presentCount, 8, true);
    paintNavy(m_presentCount);
    // The flash-side list: read-only rows, and in edit mode the whole list as text to
    // type over, filled only then.
    m_flashListView = make<QStackedWidget>(m_flashGroup, "flashListView");
    m_flashListView->setGeometry(8, 144, 201, 369);
    m_flashListRows = listBox(m_flashListView);
    m_flashRows = new FittedLines(m_flashListRows);
    m_flashListText = lineBox<QPlainTextEdit>(m_flashListView);
    m_flashListText->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_flashListView->addWidget(m_flashListRows);
    m_flashListView->addWidget(m_flashListText);
    m_editFlashListBox = make<QCheckBox>(m_flashGroup, "editFlashListBox", QStringLiteral("Редактировать"));
    m_editFlashListBox->setGeometry(8, 520, 105, 17);
    m_loadUserListButton = button(m_flashGroup, "loadUserListButton", "Загруз.список", {8, 544, 89, 25});
    m_loadUserListButton->hide();
    m_saveUserListButton = button(m_flashGroup, "saveUserListButton", "Сохр.список", {112, 544, 89, 25});
    m_saveUserListButton->hide();

    // The flash view stands on the window itself, over the flash-drive group.
    m_presentFilesView = new ShellListView(m_env.platform, client);
    m_presentFilesView->setObjectName(QStringLiteral("presentFilesView"));
    m_presentFilesView->setFont(windowFont());
    m_presentFilesView->setGeometry(728, 192, 129, 417);
    m_presentFilesView->raise();
    m_presentFilesView->setRoot("/");

    m_exitButton = button(client, "exitButton", "Выход", {768, 632, 75, 25});

    m_reportWindow = new ReportWindow(this);
    m_versionsWindow = new VersionsWindow(m_env.platform, m_area, m_env.dialogs, this);
    m_planTimer = new QTimer(this);
    m_planTimer->setSingleShot(true);
    m_planTimer->setInterval(0);
    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setObjectName(QStringLiteral("refreshTimer"));
    m_refreshTimer->setInterval(3000);
    m_synchronisationTimer = new QTimer(this);
    m_synchronisationTimer->setObjectName(QStringLiteral("synchronisationTimer"));
    m_synchronisationTimer->setInterval(600000);
    m_synchronisationTimer->setTimerType(
        Qt::PreciseTimer);  // counts whole intervals from the moment it is set

    auto* computer = menuBar()->addMenu(QStringLiteral("Компьютер"));
    m_renameItem = computer->addAction(QStringLiteral("Переименовать этот компьютер..."));
    m_renameItem->setObjectName(QStringLiteral("renameItem"));
    m_renameItem->setEnabled(false);
    m_onPlugItem = computer->addAction(QStringLiteral("Синхронизировать при подключении флешки"));
    m_onPlugItem->setObjectName(QStringLiteral("onPlugItem"));
    m_onPlugItem->setCheckable(true);
    auto* help = menuBar()->addMenu(QStringLiteral("Справка"));
    m_helpItem = help->addAction(QStringLiteral("Порядок работы"));
    m_helpItem->setObjectName(QStringLiteral("helpItem"));
    m_aboutItem = help->addAction(QStringLiteral("О программе"));
    m_aboutItem->setObjectName(QStringLiteral("aboutItem"));
    auto* feedback = menuBar()->addMenu(QStringLiteral("Обратная связь"));
    m_webSiteItem = feedback->addAction(QStringLiteral("Перейти на сайт"));
    m_webSiteItem->setObjectName(QStringLiteral("webSiteItem"));
    m_letterItem = feedback->addAction(QStringLiteral("Написать письмо"));
    m_letterItem->setObjectName(QStringLiteral("letterItem"));
    m_webSiteItem->setEnabled(!about::kWebSite.isEmpty());
    m_letterItem->setEnabled(!about::kEmail.isEmpty());
}

}  // namespace verdaline
