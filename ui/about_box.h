#pragma once

#include <QWidget>

namespace verdaline {

class TForm1;

// The about window: the program's name, version, date and author.
class TAboutBox : public QWidget {
    Q_OBJECT
public:
    explicit TAboutBox(TForm1& mainWindow, QWidget* parent = nullptr);
};

}  // namespace verdaline
