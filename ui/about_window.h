#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace verdaline {

class Dialogs;
class MainWindow;

// The about window ("О программе"): the program's name, version, date and author.
class AboutWindow : public QWidget {
    Q_OBJECT
public:
    // Copies the program's name and version from the main window's caption, which is
    // complete by then.
    AboutWindow(MainWindow& mainWindow, Dialogs& dialogs, QWidget* parent = nullptr);

    // The thank-you line's two colours, each set by its own timer.
    void turnTeal();
    void turnMaroon();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setThanksColour(const QColor& colour);

    QLabel* m_programName = nullptr;  // the program's name and version
    QLabel* m_version = nullptr;
    QLabel* m_releaseDate = nullptr;
    QLineEdit* m_emailField = nullptr;
    QLineEdit* m_webSiteField = nullptr;
    QLabel* m_thanks = nullptr;  // the thank-you line
    QPushButton* m_closeButton = nullptr;
    QTimer* m_tealTimer = nullptr;
    QTimer* m_maroonTimer = nullptr;

    Dialogs& m_dialogs;
};

}  // namespace verdaline
