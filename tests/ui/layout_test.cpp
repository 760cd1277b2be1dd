// The main window as it is laid out, control by control, and the help and about
// windows; pictures of every window are saved for a person to look at.
#include "window_harness.h"
#include "wrap_widgets.h"

using namespace verdaline;
using namespace verdaline::testing;

namespace {

// Why the control's text does not fit it, or nothing: a wrapping caption must fit
// word by word and in height, any other text on one line beside what the control
// draws around it.
QString cutOff(QWidget* w) {
    const QFontMetrics fm(w->font());
    const bool wraps = qobject_cast<WrapButton*>(w) || qobject_cast<WrapCheckBox*>(w);
    const QString text = w->property(qobject_cast<QGroupBox*>(w) ? "title" : "text").toString().trimmed();
    QStringList texts = {text};
    int room = w->width() - (qobject_cast<QGroupBox*>(w)         ? 16
                             : qobject_cast<QComboBox*>(w)       ? 28  // beside the arrow
                             : qobject_cast<QPushButton*>(w)     ? 8
                             : qobject_cast<QAbstractButton*>(w) ? 20  // beside the box or the circle
                                                                 : 0);
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        texts.clear();
        for (int i = 0; i < c->count(); ++i) {
            texts << c->itemText(i);
        }
    }
    QRect area;
    if (wraps) {
        auto* c = qobject_cast<WrapCheckBox*>(w);
        area = c ? c->textRect() : w->rect().adjusted(4, 2, -4, -2);
        texts = text.split(QLatin1Char(' '));
        room = area.width();
    }
    for (const QString& t : texts) {
        if (!t.isEmpty() && fm.horizontalAdvance(t) > room) {
            return QStringLiteral("\"%1\" too wide").arg(t);
        }
    }
    return wraps && fm.boundingRect(area, Qt::TextWordWrap, text).height() > area.height()
               ? QStringLiteral("text too tall")
               : QString();
}

// The controls placed on the main window and in its groups, and the mode items.
QList<QWidget*> controlsOf(MainWindow& f) {
    QList<QWidget*> controls = {find<RadioGroup>(f, "modeGroup")->item(0),
                                find<RadioGroup>(f, "modeGroup")->item(1)};
    for (QWidget* parent : std::initializer_list<QWidget*>{
             f.centralWidget(), find<QGroupBox>(f, "computerGroup"), find<QGroupBox>(f, "flashGroup"),
             find<QGroupBox>(f, "synchronisationGroup"), find<QGroupBox>(f, "directedCopyGroup"),
             find<QGroupBox>(f, "registrationGroup")}) {
        for (QWidget* w : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!w->objectName().isEmpty() && !w->objectName().startsWith(QStringLiteral("qt_"))) {
                controls << w;
            }
        }
    }
    return controls;
}

// Every control shown and usable unless named; nothing cut off, nothing reaching out
// of its parent, and shown controls of one parent never covering each other (a group
// or a picture may lie under a control drawn on it).
void checkControls(MainWindow& f, const QStringList& hidden, const QStringList& disabled) {
    f.show();  // lays out the groups' items
    for (QWidget* w : controlsOf(f)) {
        const QString name = w->objectName().isEmpty() ? w->property("text").toString() : w->objectName();
        QVERIFY2(w->isHidden() == hidden.contains(name), qPrintable(name + " shown or not"));
        QVERIFY2(w->isEnabledTo(w->parentWidget()) == !disabled.contains(name),
                 qPrintable(name + " enabled or not"));
        const QString problem = cutOff(w);
        QVERIFY2(problem.isEmpty(), qPrintable(name + ": " + problem));
        QVERIFY2(w->parentWidget()->rect().contains(w->geometry()),
                 qPrintable(name + " reaches out of its parent"));
        const auto liesUnder = [](QWidget* x) {
            return qobject_cast<QGroupBox*>(x) || x->objectName().endsWith("Picture");
        };
        for (QWidget* other :
             w->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            QVERIFY2(other == w || other->isHidden() || w->isHidden() || other->objectName().isEmpty() ||
                         liesUnder(other) || liesUnder(w) || !other->geometry().intersects(w->geometry()),
                     qPrintable(name + " overlaps " + other->objectName()));
        }
    }
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    // The controls at both starts, and pictures of every window in every mode.
    void everyControlAndWindow() {
        const QStringList hidden = {"synchronisationGroup", "saveUserListButton", "loadUserListButton",
                                    "stickMissing", "runNotice"};
        WindowHarness h;
        MainWindow& u = h.start();
        // Without a font that has Cyrillic letters every text would be boxes.
        QVERIFY(QFontMetrics(QApplication::font()).inFont(QChar(0x0416)));
        QVERIFY(QFontMetrics(find<QPushButton>(u, "toFlashButton")->font()).inFont(QChar(0x0416)));
        QCOMPARE(u.windowTitle(), QStringLiteral("Verdaline_V5.2"));
        QCOMPARE(u.minimumSize(), u.maximumSize());  // resizing cuts nothing off
        QVERIFY(find<QRadioButton>(u, "toFlashChoice")->isChecked() &&
                find<QCheckBox>(u, "backupsBox")->isChecked() &&
                find<RadioGroup>(u, "modeGroup")->item(1)->isChecked());
        checkControls(
            u, hidden,
            {"modeGroup", "addFromComputerButton", "editListButton", "toFlashChoice", "toFlashButton",
             "toComputerChoice", "toComputerButton", "intervalBox", "addFromFlashButton"});
        savePicture(&u, QStringLiteral("main-unrecognised"));

        WindowHarness r;
        MainWindow& f = r.startRecognised(numbered(30, "/home/u/Документы/Проекты 2026/Отчет за квартал "));
        checkControls(f, hidden + QStringList{"registrationGroup"}, {"toComputerButton", "intervalBox"});
        f.refreshFromStick();
        savePicture(&f, QStringLiteral("main-recognised-directed"));
        find<RadioGroup>(f, "modeGroup")->item(0)->click();
        click(f, "automaticBox");
        savePicture(&f, QStringLiteral("main-recognised-synchronisation"));
        click(f, "editFlashListBox");
        savePicture(&f, QStringLiteral("main-edit-mode"));
        click(f, "editListButton");
        savePicture(&r.listWindow(), QStringLiteral("list-window"));
        f.showHelp();
        savePicture(&r.helpWindow(), QStringLiteral("help-window"));
        f.showAbout();
        savePicture(&r.aboutWindow(), QStringLiteral("about-window"));
    }

    // The about window's thank-you line blinks, each timer handing over to the other.
    // The help and about windows come to the front at every click of their items and
    // close with their buttons; the about window also with Esc and Enter. No address is
    // configured: the feedback items and fields open nothing.
    void helpAndAboutWindows() {
        WindowHarness h;
        MainWindow& f = h.start();
        HelpWindow& help = h.helpWindow();
        AboutWindow& about = h.aboutWindow();
        const auto colour = [&about] {
            return find<QLabel>(about, "thanks")->palette().color(QPalette::WindowText);
        };
        QTimer* teal = find<QTimer>(about, "tealTimer");
        QTimer* maroon = find<QTimer>(about, "maroonTimer");
        const QColor first = colour();
        QVERIFY(teal->isActive() && maroon->isActive());
        about.turnTeal();
        QVERIFY(colour() == first && !teal->isActive() && maroon->isActive());
        about.turnMaroon();
        QVERIFY(colour() != first && !maroon->isActive() && teal->isActive());
        about.turnTeal();
        QVERIFY(colour() == first && !teal->isActive() && maroon->isActive());

        QVERIFY(find<QTextEdit>(help, "helpText")
                    ->toPlainText()
                    .contains(QStringLiteral("1. ПРИ ПЕРВОМ ЗАПУСКЕ")));
        QCOMPARE(text(about, "programName"), f.windowTitle());
        f.show();
        for (const auto& [item, window] : {std::pair<QAction*, QWidget*>{find<QAction>(f, "helpItem"), &help},
                                           {find<QAction>(f, "aboutItem"), &about}}) {
            item->trigger();
            QTRY_VERIFY(window->isActiveWindow());
            f.activateWindow();
            QTRY_VERIFY(f.isActiveWindow());
            item->trigger();  // a second time: to the front again
            QTRY_VERIFY(window->isActiveWindow());
        }
        click(help, "okButton");
        QVERIFY(!help.isVisible());
        click(about, "closeButton");
        QVERIFY(!about.isVisible());
        for (const auto key : {Qt::Key_Escape, Qt::Key_Return}) {
            f.showAbout();
            QTest::keyClick(&about, key);
            QVERIFY(!about.isVisible());
        }

        about.show();
        for (const char* field : {"webSiteField", "emailField"}) {
            QTest::mouseClick(find<QLineEdit>(about, field), Qt::LeftButton);
        }
        QVERIFY(h.dialogs.opened.empty() && h.dialogs.messages.empty());
        QVERIFY(!find<QAction>(f, "webSiteItem")->isEnabled() &&
                !find<QAction>(f, "letterItem")->isEnabled());
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
