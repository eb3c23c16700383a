// The peak hold list of the level meters ("cboPeakHoldTime"): not bound to a
// property; the leading whole number of the chosen item becomes the
// PeakHoldValue of every meter attached to it.
#pragma once

#include <QComboBox>
#include <QStringList>
#include <vector>

namespace objscope {
class TTarnMeter2;
}

namespace objscope::audio {

// "0 (don't hold)", "1 sec", "2 sec", "4 sec", "10 sec".
QStringList PeakHoldItems();

// The leading whole number of an item: "+", "-" and digits from the start,
// limited to 0..255; an empty or unreadable start reads as 0.
int PeakHoldValueOfText(const QString& text);

class TPeakHoldList : public QComboBox {
  public:
    explicit TPeakHoldList(QWidget* parent = nullptr);
    // The meter takes the list's hold time now and on every choice.
    void AddMeter(TTarnMeter2* meter);
    // The hold time of the item shown.
    int HoldValue() const { return PeakHoldValueOfText(currentText()); }

  private:
    void Apply();

    std::vector<TTarnMeter2*> meters_;
};

}  // namespace objscope::audio
