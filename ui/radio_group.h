#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

namespace verdaline {

// A captioned group of radio buttons in one column; exactly one item is selected.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& title, const QStringList& items, QWidget* parent);

    int itemIndex() const;
    void setItemIndex(int index);
    QAbstractButton* item(int index) const;

signals:
    // The user clicked an item.
    void clicked();

private:
    QButtonGroup m_buttons;
};

}  // namespace verdaline
