#include "about_box.h"

#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "about_info.h"
#include "dialogs.h"
#include "fonts.h"
#include "tform1.h"
#include "window_placement.h"
#include "wrap_widgets.h"

namespace verdaline {
namespace {

const QColor kTeal(0, 128, 128);
const QColor kMaroon(128, 0, 0);

QLabel* text(QWidget* parent, const QString& caption, int x, int y, bool bold = false) {
    auto* label = new QLabel(caption, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(windowFont(8, bold));
    label->move(x, y);
    label->adjustSize();
    return label;
}

QLineEdit* addressField(QWidget* parent, const char* name, const QString& address, const QString& hint, int x,
                        int y) {
    auto* field = new QLineEdit(address, parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setPlaceholderText(QStringLiteral("не указан"));
    field->setToolTip(hint);
    field->setCursor(Qt::PointingHandCursor);
    field->setGeometry(x, y, 210, 21);
    return field;
}

}  // namespace

TAboutBox::TAboutBox(TForm1& mainWindow, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowTitle(QStringLiteral("О программе"));
    setFont(windowFont());
    // 602 x 332 with a usual frame.
    resize(586, 293);
    centreOnScreen(this);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(221, 255, 255));
    setPalette(background);
    setAutoFillBackground(true);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(8, 8, 570, 192);
    QPalette cream = panel->palette();
    cream.setColor(QPalette::Window, QColor(255, 251, 240));
    panel->setPalette(cream);
    panel->setAutoFillBackground(true);

    auto* icon = new PictureBox(QStringLiteral(":/verdaline.svg"), panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setGeometry(16, 16, 32, 32);

    text(panel, QStringLiteral("Модуль:  "), 64, 20);
    Label34 = text(panel, mainWindow.windowTitle(), 120, 20, true);
    text(panel, QStringLiteral("Версия:"), 64, 48);
    Label2 = text(panel, mainWindow.Label12->text(), 120, 48);
    text(panel, QStringLiteral("Дата:"), 64, 76);
    Label8 = text(panel, mainWindow.Label11->text(), 120, 76);

    text(panel, QStringLiteral("Автор:"), 280, 20);
    text(panel, about::kAuthor, 345, 20, true);
    text(panel, about::kAuthorTitle, 345, 38);
    text(panel, QStringLiteral("Эл.адрес:"), 280, 104);
    Edit2 = addressField(panel, "Edit2", about::kEmail, QStringLiteral("Отослать письмо"), 345, 100);
    text(panel, QStringLiteral("Сайт"), 280, 140);
    Edit1 = addressField(panel, "Edit1", about::kWebSite, QStringLiteral("Открыть ссылку"), 345, 136);
    for (QLineEdit* field : {Edit1, Edit2}) {
        field->installEventFilter(this);
    }

    Label13 = new QLabel(QStringLiteral("С п а с и б о    з а    В а ш е    в р е м я"), this);
    Label13->setObjectName(QStringLiteral("Label13"));
    Label13->setFont(windowFont(12, true));
    Label13->adjustSize();
    Label13->move((width() - Label13->width()) / 2, 212);
    setThanksColour(kTeal);

    OKButton = new QPushButton(QStringLiteral("Закрыть"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setToolTip(QStringLiteral("Закрыть окно"));
    OKButton->setGeometry((width() - 75) / 2, 252, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });
    Timer1->start();
    Timer2->start();
}

void TAboutBox::setThanksColour(const QColor& colour) {
    QPalette palette = Label13->palette();
    palette.setColor(QPalette::WindowText, colour);
    Label13->setPalette(palette);
}

// The thank-you line blinks: each timer hands over to the other. Enabling a timer
// that runs already leaves its count alone.
void TAboutBox::Timer1Timer() {
    Timer1->stop();
    if (!Timer2->isActive()) {
        Timer2->start();
    }
    setThanksColour(kTeal);
}

void TAboutBox::Timer2Timer() {
    Timer2->stop();
    if (!Timer1->isActive()) {
        Timer1->start();
    }
    setThanksColour(kMaroon);
}

void TAboutBox::Edit1Click() {
    openWebSite(m_dialogs);
}

void TAboutBox::Edit2Click() {
    writeLetter(m_dialogs);
}

void TAboutBox::OKButtonClick() {
    close();
}

// Esc and Enter close the window, as they close a dialog box.
void TAboutBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OKButtonClick();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Edit1) {
            Edit1Click();
        } else if (watched == Edit2) {
            Edit2Click();
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace verdaline
