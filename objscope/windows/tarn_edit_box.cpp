#include "windows/tarn_edit_box.h"

#include <QKeyEvent>

#include "windows/bound_control.h"
#include "windows/control_numbers.h"

namespace objscope {

TTarnEditBox::TTarnEditBox(const QString& name, QWidget* parent) : QLineEdit(parent) {
    setObjectName(name);
    setFocusPolicy(Qt::StrongFocus);
    OwnBinding(tarn_, this);
    tarn_.OnValueArrived = [this] { ValueArrived(); };
    tarn_.OnTypeChanged = [this] { TypeChanged(); };
    TypeChanged();
}

void TTarnEditBox::SetUnits(const QString& units) {
    units_ = units;
    ShowHeldValue();
}

void TTarnEditBox::TypeChanged() {
    const TU32MultiValue* number = tarn_.MultiProperty();
    if (!number)
        return;
    const TValueResolution resolution = ResolutionOf(*number);
    steps_ = resolution.stepsPerUnit;
    decimals_ = resolution.decimals;
    if (units_.isEmpty())
        units_ = QString::fromStdString(resolution.units);
}

void TTarnEditBox::ValueArrived() {
    ShowHeldValue();
}

// The copy's value as the field shows it; a copy that is no number (a text
// bound by its object) shows its own text.
void TTarnEditBox::ShowHeldValue() {
    if (const TU32MultiValue* number = tarn_.MultiProperty())
        setText(QString::fromStdString(
            FormatValueText(number->GetData(), decimals_, units_.toStdString())));
    else
        setText(QString::fromStdString(tarn_.Copy().DisplayText()));
    setModified(false);
}

void TTarnEditBox::CommitText() {
    if (const TU32MultiValue* number = tarn_.MultiProperty()) {
        const double typed = RoundToResolution(ParseTypedNumber(text().toStdString()), steps_);
        if (typed != number->GetData())
            tarn_.SetValue(typed);
    }
    ShowHeldValue();
    if (OnChange)
        OnChange();
}

void TTarnEditBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        CommitText();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// Leaving the field commits what was typed; a field the user did not touch
// is left alone, so moving through a form never sends a value.
void TTarnEditBox::focusOutEvent(QFocusEvent* event) {
    if (isModified())
        CommitText();
    QLineEdit::focusOutEvent(event);
}

}  // namespace objscope
