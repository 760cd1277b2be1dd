#include "radio_group.h"

#include <QRadioButton>
#include <QVBoxLayout>

namespace verdaline {

RadioGroup::RadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 2, 0);
    layout->setSpacing(0);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        m_buttons.addButton(button, i);
        layout->addWidget(button);
    }
    connect(&m_buttons, &QButtonGroup::buttonClicked, this, [this] { emit clicked(); });
}

int RadioGroup::itemIndex() const {
    return m_buttons.checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (auto* button = m_buttons.button(index)) {
        button->setChecked(true);
    }
}

QAbstractButton* RadioGroup::item(int index) const {
    return m_buttons.button(index);
}

}  // namespace verdaline
