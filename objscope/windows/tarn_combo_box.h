// TTarnComboBox: a drop-down list bound to a numeric property. Each item's
// text starts with its number ("1.5 : 1", "24 dB/Oct"). A value arriving
// selects the item whose number lies nearest (the first of equally near
// ones); choosing an item sets its number when it differs from the value.
#pragma once

#include <QComboBox>
#include <functional>

#include "binding/gui_com.h"

namespace objscope {

class TTarnComboBox : public QComboBox {
  public:
    explicit TTarnComboBox(const QString& name, QWidget* parent = nullptr);
    TTarnGuiComW& Tarn() { return tarn_; }

    // Selects the item nearest to the copy's value (nothing without items).
    void SelectNearestItem();
    // Fired after the user chose an item.
    std::function<void()> OnChange;

  private:
    void ItemChosen(int index);

    TTarnGuiComW tarn_;
};

// The index of the text whose number lies nearest to `value`: strictly
// nearer replaces, so the first of equals wins; -1 with no texts.
int NearestItemIndex(const QStringList& items, double value);

}  // namespace objscope
