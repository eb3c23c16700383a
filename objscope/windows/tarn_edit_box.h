// TTarnEditBox: an edit field bound to a numeric property. It shows the
// value with the decimals its type's resolution needs, followed by `Units`;
// Enter (which goes no further, so a dialog's default button stays put) or
// leaving the field after typing commits the typed number: rounded to the
// resolution, set (and sent) when it differs, and the text rewritten from
// the value the property then holds.
#pragma once

#include <QLineEdit>
#include <functional>

#include "binding/gui_com.h"

namespace objscope {

class TTarnEditBox : public QLineEdit {
  public:
    explicit TTarnEditBox(const QString& name, QWidget* parent = nullptr);
    TTarnGuiComW& Tarn() { return tarn_; }

    // Appended to the value. While empty, a type change fills it with the
    // type's unit text.
    QString Units() const { return units_; }
    void SetUnits(const QString& units);
    int Decimals() const { return decimals_; }
    double StepsPerUnit() const { return steps_; }
    // Fired after the user committed a number.
    std::function<void()> OnChange;

    // Commits the text as typed (what Enter and leaving the field do).
    void CommitText();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void ValueArrived();
    void TypeChanged();
    void ShowHeldValue();

    TTarnGuiComW tarn_;
    QString units_;
    double steps_ = 1;
    int decimals_ = 0;
};

}  // namespace objscope
