#include "audio/automixer/choice_field.h"

#include <QSignalBlocker>
#include <cmath>

#include "windows/tarn_controls.h"

namespace objscope::audio {

void MakeHiddenEdit(TTarnEditBox& edit, const QWidget& standIn) {
    edit.hide();
    edit.Tarn().owner.visible = [&standIn] { return !standIn.isHidden(); };
}

int HeldNumber(const TTarnGuiComW& tarn) {
    const TU32MultiValue* number = tarn.MultiProperty();
    return number ? static_cast<int>(std::lround(number->GetData())) : 0;
}

TChoiceField::TChoiceField(QComboBox* list, TTarnEditBox* hidden, int offset)
    : list_(list), hidden_(hidden), offset_(offset) {
    TTarnGuiComW& tarn = hidden->Tarn();
    auto shown = tarn.OnValueArrived;
    tarn.OnValueArrived = [this, shown] {
        if (shown)
            shown();
        Show();
    };
    chosen_ = QObject::connect(list, &QComboBox::activated, list,
                               [this](int item) { SetValue(item + offset_); });
}

TChoiceField::~TChoiceField() {
    QObject::disconnect(chosen_);
    hidden_->Tarn().OnValueArrived = nullptr;
}

void TChoiceField::SetValue(int value) {
    hidden_->Tarn().SetValue(value);
    if (hidden_->Tarn().OnValueArrived)
        hidden_->Tarn().OnValueArrived();
}

void TChoiceField::Show() {
    {
        const QSignalBlocker block(list_);
        const int item = Value() - offset_;
        list_->setCurrentIndex(item >= 0 && item < list_->count() ? item : -1);
    }
    if (OnValue)
        OnValue(Value());
}

void CutValueHandlers(QWidget& window) {
    // The bound controls have no meta-object of their own: a dynamic cast
    // tells them apart.
    for (QObject* child : window.findChildren<QObject*>()) {
        if (auto* edit = dynamic_cast<TTarnEditBox*>(child))
            edit->Tarn().OnValueArrived = nullptr;
        else if (auto* label = dynamic_cast<TTarnLabel*>(child))
            label->Tarn().OnValueArrived = nullptr;
    }
}

}  // namespace objscope::audio
