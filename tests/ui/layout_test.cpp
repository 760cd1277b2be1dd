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
QList<QWidget*> controlsOf(TForm1& f) {
    QList<QWidget*> controls = {f.RadioGroup1->item(0), f.RadioGroup1->item(1)};
    for (QWidget* parent : std::initializer_list<QWidget*>{f.centralWidget(), f.GroupBox1, f.GroupBox2,
                                                           f.GroupBox3, f.GroupBox4, f.GroupBox5}) {
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
void checkControls(TForm1& f, const QStringList& hidden, const QStringList& disabled) {
    f.show();  // lays out the groups' items
    for (QWidget* w : controlsOf(f)) {
        const QString name = w->objectName().isEmpty() ? w->property("text").toString() : w->objectName();
        QVERIFY2(w->isHidden() == hidden.contains(name), qPrintable(name + " shown or not"));
        QVERIFY2(w->isEnabledTo(w->parentWidget()) == !disabled.contains(name),
                 qPrintable(name + " enabled or not"));
        if (w->isHidden() && qobject_cast<QLabel*>(w)) {
            continue;  // data the window keeps, never shown
        }
        const QString problem = cutOff(w);
        QVERIFY2(problem.isEmpty(), qPrintable(name + ": " + problem));
        QVERIFY2(w->parentWidget()->rect().contains(w->geometry()),
                 qPrintable(name + " reaches out of its parent"));
        const auto liesUnder = [](QWidget* x) {
            return qobject_cast<QGroupBox*>(x) || x->objectName().startsWith("Image");
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
        const QStringList hidden = {"GroupBox3", "Button14", "Button15", "Label9", "Label11", "Label12"};
        WindowHarness h;
        TForm1& u = h.start();
        // Without a font that has Cyrillic letters every text would be boxes.
        QVERIFY(QFontMetrics(QApplication::font()).inFont(QChar(0x0416)));
        QVERIFY(QFontMetrics(u.Button2->font()).inFont(QChar(0x0416)));
        QCOMPARE(u.windowTitle(), QStringLiteral("Verdaline_V5.2"));
        QCOMPARE(u.minimumSize(), u.maximumSize());  // resizing cuts nothing off
        QVERIFY(u.RadioButton1->isChecked() && u.CheckBox2->isChecked() &&
                u.RadioGroup1->item(1)->isChecked());
        checkControls(u, hidden,
                      {"RadioGroup1", "Button4", "Button5", "RadioButton1", "Button2", "RadioButton2",
                       "Button3", "ComboBox3", "Button11"});
        savePicture(&u, QStringLiteral("main-unrecognised"));

        WindowHarness r;
        TForm1& f = r.startRecognised(numbered(30, "/home/u/Документы/Проекты 2026/Отчет за квартал "));
        checkControls(f, hidden + QStringList{"GroupBox5"}, {"Button3", "ComboBox3"});
        f.Timer2Timer();
        savePicture(&f, QStringLiteral("main-recognised-directed"));
        f.RadioGroup1->item(0)->click();
        f.CheckBox1->click();
        savePicture(&f, QStringLiteral("main-recognised-synchronisation"));
        f.CheckBox3->click();
        savePicture(&f, QStringLiteral("main-edit-mode"));
        f.Button5->click();
        savePicture(&r.listWindow(), QStringLiteral("list-window"));
        f.N3Click();
        savePicture(&r.helpWindow(), QStringLiteral("help-window"));
        f.N2Click();
        savePicture(&r.aboutWindow(), QStringLiteral("about-window"));
    }

    // The about window's thank-you line blinks, each timer handing over to the other.
    // The help and about windows come to the front at every click of their items and
    // close with their buttons; the about window also with Esc and Enter. No address is
    // configured: the feedback items and fields open nothing.
    void helpAndAboutWindows() {
        WindowHarness h;
        TForm1& f = h.start();
        TForm3& help = h.helpWindow();
        TAboutBox& about = h.aboutWindow();
        const auto colour = [&about] { return about.Label13->palette().color(QPalette::WindowText); };
        const QColor first = colour();
        QVERIFY(about.Timer1->isActive() && about.Timer2->isActive());
        about.Timer1Timer();
        QVERIFY(colour() == first && !about.Timer1->isActive() && about.Timer2->isActive());
        about.Timer2Timer();
        QVERIFY(colour() != first && !about.Timer2->isActive() && about.Timer1->isActive());
        about.Timer1Timer();
        QVERIFY(colour() == first && !about.Timer1->isActive() && about.Timer2->isActive());

        QVERIFY(help.RichEdit1->toPlainText().contains(QStringLiteral("1. ПРИ ПЕРВОМ ЗАПУСКЕ")));
        QCOMPARE(about.Label34->text(), f.windowTitle());
        f.show();
        for (const auto& [item, window] : {std::pair<QAction*, QWidget*>{f.N3, &help}, {f.N2, &about}}) {
            item->trigger();
            QTRY_VERIFY(window->isActiveWindow());
            f.activateWindow();
            QTRY_VERIFY(f.isActiveWindow());
            item->trigger();  // a second time: to the front again
            QTRY_VERIFY(window->isActiveWindow());
        }
        help.Button1->click();
        QVERIFY(!help.isVisible());
        about.OKButton->click();
        QVERIFY(!about.isVisible());
        for (const auto key : {Qt::Key_Escape, Qt::Key_Return}) {
            f.N2Click();
            QTest::keyClick(&about, key);
            QVERIFY(!about.isVisible());
        }

        about.Edit1Click();
        about.Edit2Click();
        QVERIFY(h.dialogs.opened.empty() && h.dialogs.messages.empty());
        QVERIFY(!f.N5->isEnabled() && !f.N6->isEnabled());
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
