#pragma once

#include <QCheckBox>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace verdaline {

// A push button whose caption breaks into lines to fit the button.
class WrapButton : public QPushButton {
    Q_OBJECT
public:
    WrapButton(const QString& text, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A check box whose caption breaks into lines beside the box.
class WrapCheckBox : public QCheckBox {
    Q_OBJECT
public:
    WrapCheckBox(const QString& text, QWidget* parent);
    // Where the caption is drawn.
    QRect textRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};

// A picture from the program's resources, scaled into the box with its proportions kept.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(const QString& resource, QWidget* parent);
    const QString& resource() const { return m_resource; }
    // Where the picture is drawn inside the box.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_resource;
};

}  // namespace verdaline
