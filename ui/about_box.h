#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace verdaline {

class Dialogs;
class TForm1;

// The about window: the program's name, version, date and author.
class TAboutBox : public QWidget {
    Q_OBJECT
public:
    // Copies the name, version and date from the main window, which exists by then.
    TAboutBox(TForm1& mainWindow, Dialogs& dialogs, QWidget* parent = nullptr);

    void Timer1Timer();
    void Timer2Timer();
    void Edit1Click();
    void Edit2Click();
    void OKButtonClick();

    QLabel* Label34 = nullptr;   // the program's name and version
    QLabel* Label2 = nullptr;    // the version
    QLabel* Label8 = nullptr;    // the release date
    QLineEdit* Edit1 = nullptr;  // the web address
    QLineEdit* Edit2 = nullptr;  // the e-mail address
    QLabel* Label13 = nullptr;   // the thank-you line
    QPushButton* OKButton = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setThanksColour(const QColor& colour);

    Dialogs& m_dialogs;
};

}  // namespace verdaline
