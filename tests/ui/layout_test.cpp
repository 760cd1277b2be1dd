// The main window as it is laid out, control by control, and the help and about
// windows; pictures of every window are saved for a person to look at.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>

#include "about_box.h"
#include "cp1251.h"
#include "radio_group.h"
#include "tform1.h"
#include "tform2.h"
#include "tform3.h"
#include "window_harness.h"
#include "wrap_widgets.h"

using namespace verdaline;
using namespace verdaline::testing;

namespace {

struct Row {
    const char* name;
    const char* parent;
    const char* text;  // nullptr: not compared
    bool visible;
    bool enabledUnrecognised;
    bool enabledRecognised;
};

const char* const kClient = "TForm1Client";

// Every control of the main window at the start of the program.
const Row kControls[] = {
    {"ProgressBar1", kClient, nullptr, true, true, true},
    {"Label4", kClient, "Вы работаете на компьютере -  ", true, true, true},
    {"Label5", kClient, nullptr, true, true, true},
    {"GroupBox1", kClient, "   Компьютер   ", true, true, true},
    {"GroupBox5", kClient, " Дайте любое имя компьютеру :  ", true, true, true},
    {"CheckBox2", kClient, "Создавать резервные копии старых файлов", true, true, true},
    {"RadioGroup1", kClient, "Режим", true, false, true},
    {"GroupBox4", kClient, "Направленное копирование", true, true, true},
    {"GroupBox3", kClient, "Синхронизация", false, true, true},
    {"Button12", kClient, "Открыть последний отчет", true, true, true},
    {"GroupBox2", kClient, "   Флешка    ", true, true, true},
    {"ShellListView1", kClient, nullptr, true, true, true},
    {"Button1", kClient, "Выход", true, true, true},
    {"Image1", "GroupBox1", nullptr, true, true, true},
    {"Label1", "GroupBox1", "Список файлов:", true, true, true},
    {"Label7", "GroupBox1", nullptr, true, true, true},
    {"Button4", "GroupBox1", "Добавить файл:", true, false, true},
    {"Memo1", "GroupBox1", nullptr, true, true, true},
    {"Button5", "GroupBox1", "Редактировать список", true, false, true},
    {"ComboBox1", "GroupBox5", "Офисный", true, true, true},
    {"Button6", "GroupBox5", "Добавить компьютер", true, true, true},
    {"Label3", "GroupBox4", "Направление:", true, true, true},
    {"RadioButton1", "GroupBox4", "", true, false, true},
    {"Button2", "GroupBox4", ">", true, false, true},
    {"RadioButton2", "GroupBox4", "", true, false, true},
    {"Button3", "GroupBox4", "<", true, false, false},
    {"Button13", "GroupBox3", "Синхронизация", true, true, true},
    {"CheckBox1", "GroupBox3", "Автоматически синхронизировать каждые", true, true, true},
    {"ComboBox3", "GroupBox3", "10 минут", true, false, false},
    {"Image2", "GroupBox2", nullptr, true, true, true},
    {"Button11", "GroupBox2", "Добавить файл с флешки", true, false, true},
    {"Label6", "GroupBox2", "Список файлов:", true, true, true},
    {"Label8", "GroupBox2", nullptr, true, true, true},
    {"Label2", "GroupBox2", "Имеющиеся файлы:", true, true, true},
    {"Label10", "GroupBox2", nullptr, true, true, true},
    {"Memo2", "GroupBox2", nullptr, true, true, true},
    {"CheckBox3", "GroupBox2", "Редактировать", true, true, true},
    {"Button15", "GroupBox2", "Загруз.список", false, true, true},
    {"Button14", "GroupBox2", "Сохр.список", false, true, true},
};

// The caption, title, chosen item or contents, whichever the control has.
QString textOf(QWidget* w) {
    for (const char* property : {"title", "currentText", "plainText", "text"}) {
        if (const QVariant value = w->property(property); value.isValid()) {
            return value.toString();
        }
    }
    return {};
}

// Why the control's text does not fit it, or nothing.
QString cutOff(QWidget* w) {
    const QFontMetrics fm(w->font());
    if (auto* b = qobject_cast<WrapButton*>(w)) {
        const QRect area = b->rect().adjusted(4, 2, -4, -2);
        for (const QString& word : b->text().split(QLatin1Char(' '))) {
            if (fm.horizontalAdvance(word) > area.width()) {
                return QStringLiteral("word \"%1\" wider than the button").arg(word);
            }
        }
        const QRect needed = fm.boundingRect(area, Qt::AlignCenter | Qt::TextWordWrap, b->text());
        return needed.height() <= area.height() ? QString() : QStringLiteral("text taller than the button");
    }
    if (auto* c = qobject_cast<WrapCheckBox*>(w)) {
        const QRect area = c->textRect();
        const QRect needed = fm.boundingRect(area, Qt::AlignLeft | Qt::TextWordWrap, c->text());
        return needed.height() <= area.height() && needed.width() <= area.width()
                   ? QString()
                   : QStringLiteral("caption too big");
    }
    if (auto* b = qobject_cast<QPushButton*>(w)) {
        return fm.horizontalAdvance(b->text()) + 8 <= b->width() ? QString()
                                                                 : QStringLiteral("caption too wide");
    }
    if (auto* c = qobject_cast<QAbstractButton*>(w)) {  // check boxes and radio buttons
        return c->text().isEmpty() || 20 + fm.horizontalAdvance(c->text()) <= c->width()
                   ? QString()
                   : QStringLiteral("caption too wide");
    }
    if (auto* g = qobject_cast<QGroupBox*>(w)) {
        return fm.horizontalAdvance(g->title()) + 16 <= g->width() ? QString()
                                                                   : QStringLiteral("title too wide");
    }
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        for (int i = 0; i < c->count(); ++i) {
            if (fm.horizontalAdvance(c->itemText(i)) + 28 > c->width()) {
                return QStringLiteral("item \"%1\" too wide").arg(c->itemText(i));
            }
        }
        return {};
    }
    if (auto* l = qobject_cast<QLabel*>(w)) {
        return l->width() >= fm.horizontalAdvance(l->text().trimmed()) ? QString()
                                                                       : QStringLiteral("text wider than the label");
    }
    return {};
}

void checkControls(TForm1& f, bool recognised) {
    f.show();  // lays out the groups' items
    for (const Row& row : kControls) {
        auto* w = f.findChild<QWidget*>(QString::fromLatin1(row.name));
        QVERIFY2(w, row.name);
        const QByteArray what = QByteArray(row.name) + (recognised ? " (recognised)" : " (unrecognised)");
        QCOMPARE(w->parentWidget()->objectName(), QString::fromLatin1(row.parent));
        if (row.text != nullptr) {
            QCOMPARE(textOf(w), QString::fromUtf8(row.text));
        }
        const bool visible = row.visible && !(recognised && QByteArray(row.name) == "GroupBox5");
        QVERIFY2(!w->isHidden() == visible, what.constData());
        QVERIFY2(w->isEnabled() == (recognised ? row.enabledRecognised : row.enabledUnrecognised),
                 what.constData());
        const QString problem = cutOff(w);
        QVERIFY2(problem.isEmpty(), (what + ": " + problem.toUtf8()).constData());
        QVERIFY2(w->geometry().right() < w->parentWidget()->width() &&
                     w->geometry().bottom() < w->parentWidget()->height(),
                 (what + " reaches out of its parent").constData());
        // Shown controls of one parent never cover each other (a group or a picture may
        // lie under a control drawn on it).
        for (QWidget* other : w->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            QVERIFY2(other == w || other->isHidden() || w->isHidden() || other->objectName().isEmpty() ||
                         qobject_cast<QGroupBox*>(other) || qobject_cast<QGroupBox*>(w) ||
                         other->objectName().startsWith("Image") || w->objectName().startsWith("Image") ||
                         !other->geometry().intersects(w->geometry()),
                     (what + " overlaps " + other->objectName().toUtf8()).constData());
        }
    }
}

TForm1& startRecognised(WindowHarness& h, int entries) {
    h.tree.write("Списки_отчеты/Список компьютеров.txt", cp1251Lines({"Офисный", "1A2B3C4D1A2B3C4D"}));
    std::string list;
    for (int i = 1; i <= entries; ++i) {
        list += "/home/u/Документы/Проект " + std::to_string(i % 4) + "/Отчет за квартал " +
                std::to_string(i) + ".doc\r\n";
    }
    h.tree.write("Списки_отчеты/Список файлов на компьютере_Офисный_.txt", *encodeCp1251(list));
    return h.start();
}

}  // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlAtTheUnrecognisedStart() {
        WindowHarness h;
        TForm1& f = h.start();
        // Without a font that has Cyrillic letters every text would be boxes.
        QVERIFY(QFontMetrics(QApplication::font()).inFont(QChar(0x0416)));
        QVERIFY(QFontMetrics(f.Button2->font()).inFont(QChar(0x0416)));
        QCOMPARE(f.windowTitle(), QStringLiteral("Verdaline_V5.2"));
        QCOMPARE(f.palette().color(QPalette::Window), QColor(248, 248, 248));
        checkControls(f, false);
        QCOMPARE(f.Label5->text(), QStringLiteral("которого нет в Вашем списке"));
        QCOMPARE(f.Label7->text(), QStringLiteral("0 шт."));
        QCOMPARE(f.Label8->text(), QStringLiteral("0 шт."));
        QVERIFY(f.RadioButton1->isChecked());
        QVERIFY(f.CheckBox2->isChecked());
        QCOMPARE(f.CheckBox2->toolTip(), QStringLiteral("Может увеличить время копирования"));
        QCOMPARE(f.Button2->toolTip(), QStringLiteral("С компьютера на флешку"));
        QCOMPARE(f.Button3->toolTip(), QStringLiteral("С флешки на компьютер"));
        QVERIFY(f.Label5->font().underline());
        QCOMPARE(f.Memo1->layoutDirection(), Qt::LeftToRight);  // scroll bars where they belong
        QCOMPARE(f.minimumSize(), f.maximumSize());              // resizing cuts nothing off
        QCOMPARE(f.ComboBox1->itemText(4), QStringLiteral("Комп_3"));
        QCOMPARE(f.ComboBox3->itemText(6), QStringLiteral("ВОСЕМЬ ЧАСОВ"));
        QVERIFY(f.RadioGroup1->item(1)->isChecked());
        for (int i = 0; i < 2; ++i) {
            QVERIFY2(cutOff(f.RadioGroup1->item(i)).isEmpty(), qPrintable(f.RadioGroup1->item(i)->text()));
        }

        QStringList menu;
        for (QAction* top : f.menuBar()->actions()) {
            menu << top->text();
            for (QAction* item : top->menu()->actions()) {
                menu << item->objectName() + QLatin1Char(' ') + item->text();
            }
        }
        QCOMPARE(menu, (QStringList{"Справка", "N3 Порядок работы", "N2 О программе", "Обратная связь",
                                    "N5 Перейти на сайт", "N6 Написать письмо"}));
    }

    void everyControlAtTheRecognisedStart() {
        WindowHarness h;
        TForm1& f = startRecognised(h, 3);
        checkControls(f, true);
        QCOMPARE(f.Label5->text(), QStringLiteral("Офисный"));
        QCOMPARE(f.Label7->text(), QStringLiteral("3 шт."));
        QCOMPARE(f.Label8->text(), QStringLiteral("3 шт."));
    }

    void picturesOfEveryWindow() {
        WindowHarness h;
        TForm1& unrecognised = h.start();
        savePicture(&unrecognised, QStringLiteral("main-unrecognised"));
        WindowHarness r;
        TForm1& f = startRecognised(r, 30);
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

    // The help and about windows come to the front at every click of their items and
    // close with their buttons; the about window also with Esc and Enter.
    void helpAndAboutWindows() {
        WindowHarness h;
        TForm1& f = h.start();
        TForm3& help = h.helpWindow();
        TAboutBox& about = h.aboutWindow();
        QVERIFY(help.RichEdit1->toPlainText().contains(QStringLiteral("1. ПРИ ПЕРВОМ ЗАПУСКЕ")));
        QCOMPARE(about.Label34->text(), QStringLiteral("Verdaline_V5.2"));  // copied from the main window
        QCOMPARE(about.Label8->text(), QStringLiteral("03.2015"));
        QVERIFY(about.windowFlags() & Qt::WindowStaysOnTopHint);
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
    }

    // The thank-you line blinks: each timer hands over to the other.
    void aboutWindowBlinks() {
        WindowHarness h;
        h.start();
        TAboutBox& about = h.aboutWindow();
        QCOMPARE(about.Label13->palette().color(QPalette::WindowText), QColor(0, 128, 128));
        QVERIFY(about.Timer1->isActive() && about.Timer2->isActive());
        about.Timer2Timer();
        QCOMPARE(about.Label13->palette().color(QPalette::WindowText), QColor(128, 0, 0));
        QVERIFY(!about.Timer2->isActive());
        about.Timer1Timer();
        QCOMPARE(about.Label13->palette().color(QPalette::WindowText), QColor(0, 128, 128));
        QVERIFY(!about.Timer1->isActive() && about.Timer2->isActive());
    }

    // No address is configured: the feedback items and fields open nothing.
    void feedbackOpensNothingWithoutAnAddress() {
        WindowHarness h;
        TForm1& f = h.start();
        f.N5->trigger();
        f.N6->trigger();
        h.aboutWindow().Edit1Click();
        h.aboutWindow().Edit2Click();
        QVERIFY(h.dialogs.opened.empty());
        QVERIFY(h.dialogs.messages.empty());
        QVERIFY(!f.N5->isEnabled() && !f.N6->isEnabled());
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
