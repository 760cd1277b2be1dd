#pragma once

#include <QWidget>

namespace verdaline {

// The help window: how to work with the program.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
};

}  // namespace verdaline
