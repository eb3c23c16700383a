#include "windows/tarn_controls.h"

#include "core/property_string_value.h"

namespace objscope {

namespace {

constexpr uint8_t kBooleanType = 13;
constexpr uint8_t kStringType = 14;

// Buttons and check boxes: the device's value sets the state; a user's
// toggle that differs from the copy is handed on as 1 or 0.
template <class Control>
void BindBoolean(Control* control, TTarnGuiComW& tarn) {
    tarn.SetPropType(kBooleanType);
    tarn.owner.visible = [control] { return control->isVisible(); };
    tarn.OnValueArrived = [control, &tarn] {
        const QSignalBlocker block(control);
        control->setChecked(BooleanValue(tarn));
    };
    QObject::connect(control, &Control::clicked, control, [&tarn](bool checked) {
        if (checked != BooleanValue(tarn))
            tarn.SetValue(checked ? 1 : 0);
    });
}

}  // namespace

bool BooleanValue(const TTarnGuiComW& tarn) {
    const TU32MultiValue* number = tarn.MultiProperty();
    return number && number->GetData() != 0;
}

TTarnButton::TTarnButton(const QString& name, const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
    setObjectName(name);
    setCheckable(true);
    BindBoolean(this, tarn_);
}

TTarnCheckBox::TTarnCheckBox(const QString& name, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent) {
    setObjectName(name);
    BindBoolean(this, tarn_);
}

TTarnLite::TTarnLite(const QString& name, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
    setFixedSize(14, 14);
    tarn_.SetPropType(kBooleanType);
    tarn_.owner.visible = [this] { return isVisible(); };
    tarn_.OnValueArrived = [this] { Show(BooleanValue(tarn_)); };
    Show(false);
}

void TTarnLite::Show(bool lit) {
    lit_ = lit;
    const QColor colour = lit ? LitColor : NotLitColor;
    setStyleSheet(QString("background: %1; border-radius: 7px;").arg(colour.name()));
}

TTarnLabel::TTarnLabel(const QString& name, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
    tarn_.SetPropType(kStringType);
    tarn_.owner.visible = [this] { return isVisible(); };
    tarn_.OnValueArrived = [this] {
        const auto* text = dynamic_cast<const TU32StringValue*>(&tarn_.Copy());
        const QString whole = text ? QString::fromStdString(text->Data()) : QString();
        setToolTip(whole);
        setText(fontMetrics().elidedText(whole, Qt::ElideRight, std::max(width(), 20)));
    };
}

}  // namespace objscope
