#include "windows/tarn_combo_box.h"

#include <cmath>

#include "windows/bound_control.h"
#include "windows/control_numbers.h"

namespace objscope {

int NearestItemIndex(const QStringList& items, double value) {
    int nearest = -1;
    double bestDifference = 1e10;
    for (int i = 0; i < items.size(); ++i) {
        const double difference = std::fabs(ParseTypedNumber(items[i].toStdString()) - value);
        if (difference < bestDifference) {
            bestDifference = difference;
            nearest = i;
        }
    }
    return nearest;
}

TTarnComboBox::TTarnComboBox(const QString& name, QWidget* parent) : QComboBox(parent) {
    setObjectName(name);
    setEditable(false);
    OwnBinding(tarn_, this);
    tarn_.OnValueArrived = [this] { SelectNearestItem(); };
    // Only a user's choice (mouse or keys) sets the value, never a selection
    // made here.
    QObject::connect(this, &QComboBox::activated, this, [this](int index) { ItemChosen(index); });
}

void TTarnComboBox::SelectNearestItem() {
    const TU32MultiValue* number = tarn_.MultiProperty();
    if (!number || count() == 0)
        return;
    QStringList items;
    for (int i = 0; i < count(); ++i)
        items << itemText(i);
    setCurrentIndex(NearestItemIndex(items, number->GetData()));
}

void TTarnComboBox::ItemChosen(int index) {
    const TU32MultiValue* number = tarn_.MultiProperty();
    if (number && index >= 0) {
        const double chosen = ParseTypedNumber(itemText(index).toStdString());
        if (chosen != number->GetData())
            tarn_.SetValue(chosen);
    }
    if (OnChange)
        OnChange();
}

}  // namespace objscope
