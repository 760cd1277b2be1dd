#include "about_window.h"

#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "about_info.h"
#include "dialogs.h"
#include "fonts.h"
#include "main_window.h"
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

AboutWindow::AboutWindow(MainWindow& mainWindow, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("aboutWindow"));
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
    panel->setObjectName(QStringLiteral("panel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(8, 8, 570, 192);
    QPalette cream = panel->palette();
    cream.setColor(QPalette::Window, QColor(255, 251, 240));
    panel->setPalette(cream);
    panel->setAutoFillBackground(true);

    auto* icon = new PictureBox(QStringLiteral(":/verdaline.svg"), panel);
    icon->setObjectName(QStringLiteral("programIcon"));
    icon->setGeometry(16, 16, 32, 32);

    text(panel, QStringLiteral("Модуль:  "), 64, 20);
    m_programName = text(panel, mainWindow.windowTitle(), 120, 20, true);
    text(panel, QStringLiteral("Версия:"), 64, 48);
    m_version = text(panel, about::kVersion, 120, 48);
    text(panel, QStringLiteral("Дата:"), 64, 76);
    m_releaseDate = text(panel, about::kReleaseDate, 120, 76);
    m_programName->setObjectName(QStringLiteral("programName"));

    text(panel, QStringLiteral("Автор:"), 280, 20);
    text(panel, about::kAuthor, 345, 20, true);
    text(panel, about::kAuthorTitle, 345, 38);
    text(panel, QStringLiteral("Эл.адрес:"), 280, 104);
    m_emailField =
        addressField(panel, "emailField", about::kEmail, QStringLiteral("Отослать письмо"), 345, 100);
    text(panel, QStringLiteral("Сайт"), 280, 140);
    m_webSiteField =
        addressField(panel, "webSiteField", about::kWebSite, QStringLiteral("Открыть ссылку"), 345, 136);
    for (QLineEdit* field : {m_webSiteField, m_emailField}) {
        field->installEventFilter(this);
    }

    m_thanks = new QLabel(QStringLiteral("С п а с и б о    з а    В а ш е    в р е м я"), this);
    m_thanks->setObjectName(QStringLiteral("thanks"));
    m_thanks->setFont(windowFont(12, true));
    m_thanks->adjustSize();
    m_thanks->move((width() - m_thanks->width()) / 2, 212);
    setThanksColour(kTeal);

    m_closeButton = new QPushButton(QStringLiteral("Закрыть"), this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->setToolTip(QStringLiteral("Закрыть окно"));
    m_closeButton->setGeometry((width() - 75) / 2, 252, 75, 25);
    m_closeButton->setDefault(true);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);

    m_tealTimer = new QTimer(this);
    m_tealTimer->setObjectName(QStringLiteral("tealTimer"));
    m_tealTimer->setInterval(1000);
    m_maroonTimer = new QTimer(this);
    m_maroonTimer->setObjectName(QStringLiteral("maroonTimer"));
    m_maroonTimer->setInterval(1000);
    connect(m_tealTimer, &QTimer::timeout, this, [this] { turnTeal(); });
    connect(m_maroonTimer, &QTimer::timeout, this, [this] { turnMaroon(); });
    m_tealTimer->start();
    m_maroonTimer->start();
}

void AboutWindow::setThanksColour(const QColor& colour) {
    QPalette palette = m_thanks->palette();
    palette.setColor(QPalette::WindowText, colour);
    m_thanks->setPalette(palette);
}

// The thank-you line blinks: each timer hands over to the other. Enabling a timer
// that runs already leaves its count alone.
void AboutWindow::turnTeal() {
    m_tealTimer->stop();
    if (!m_maroonTimer->isActive()) {
        m_maroonTimer->start();
    }
    setThanksColour(kTeal);
}

void AboutWindow::turnMaroon() {
    m_maroonTimer->stop();
    if (!m_tealTimer->isActive()) {
        m_tealTimer->start();
    }
    setThanksColour(kMaroon);
}

// Esc and Enter close the window, as they close a dialog box.
void AboutWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_webSiteField) {
            openWebSite(m_dialogs);
        } else if (watched == m_emailField) {
            writeLetter(m_dialogs);
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace verdaline
