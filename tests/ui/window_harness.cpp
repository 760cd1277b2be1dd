#include "window_harness.h"
#include "cp1251.h"

namespace verdaline::testing {

std::string listBytes(const Lines& lines) {
    std::string bytes;
    for (const auto& line : lines) {
        bytes += *encodeCp1251(line) + "\r\n";
    }
    return bytes;
}

Lines numbered(int count, const std::string& prefix) {
    Lines lines;
    for (int i = 1; i <= count; ++i) {
        lines.push_back(prefix + std::to_string(i) + ".txt");
    }
    return lines;
}

void click(QObject& window, const char* name) {
    find<QAbstractButton>(window, name)->click();
}

QString text(QObject& window, const char* name) {
    return find(window, name)->property("text").toString();
}

void expectCounts(MainWindow& f, const char* files, const char* flash) {
    QCOMPARE(text(f, "fileCount"), QString::fromUtf8(files));
    QCOMPARE(text(f, "flashCount"), QString::fromUtf8(flash));
}

void expectMessage(const FakeDialogs& dialogs, std::size_t count, Dialogs::Icon icon, const QString& part) {
    QCOMPARE(dialogs.messages.size(), count);
    QCOMPARE(dialogs.messages.back().icon, icon);
    QVERIFY2(dialogs.messages.back().text.contains(part), qPrintable(dialogs.messages.back().text));
}

MainWindow& WindowHarness::start() {
    m_helpWindow.reset();
    m_aboutWindow.reset();
    m_listWindow.reset();
    m_mainWindow = std::make_unique<MainWindow>(Environment{tree.root(), platform, dialogs, clock});
    m_listWindow = std::make_unique<ListWindow>(*m_mainWindow);
    m_aboutWindow = std::make_unique<AboutWindow>(*m_mainWindow, dialogs);
    m_helpWindow = std::make_unique<HelpWindow>();
    m_mainWindow->setSecondaryWindows(m_listWindow.get(), m_aboutWindow.get(), m_helpWindow.get());
    return *m_mainWindow;
}

MainWindow& WindowHarness::startRecognised(const Lines& fileList) {
    tree.write(kComputerList, cp1251Lines({"Офисный", kDisk}));
    tree.write(kFileList, listBytes(fileList));
    loadLists(platform, WorkArea(tree.root()), "Офисный");  // the copies remembered, as this version keeps them
    return start();
}

void savePicture(QWidget* window, const QString& name) {
    const QString folder = qEnvironmentVariable("VERDALINE_PICTURES", QDir::tempPath());
    QDir().mkpath(folder);
    window->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

QStringList shownLines(QWidget* box) {
    box->window()->show();  // rows are fitted to the box as it stands on the screen
    if (auto* pages = qobject_cast<QStackedWidget*>(box)) {
        return shownLines(pages->currentWidget());
    }
    if (auto* text = qobject_cast<QPlainTextEdit*>(box)) {
        return text->toPlainText().split(QLatin1Char('\n'));
    }
    QStringList lines;
    const QAbstractItemModel* rows = qobject_cast<QListView*>(box)->model();
    for (int row = 0; row < rows->rowCount(); ++row) {
        lines.append(rows->index(row, 0).data().toString());
    }
    return lines;
}

// The mouse rests on the box's rows, or on its text in edit mode.
QString hintOf(QWidget* box) {
    QToolTip::hideText();
    QWidget* under = box->childAt(8, 8);
    QHelpEvent event(QEvent::ToolTip, under->mapFrom(box, QPoint(8, 8)), box->mapToGlobal(QPoint(8, 8)));
    QApplication::sendEvent(under, &event);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

}  // namespace verdaline::testing
