#include "audio/delay/delay_tap_comm.h"

#include "audio/delay/delay_objects.h"
#include "audio/shared/bound_editor_form.h"

namespace objscope::audio {

namespace {

constexpr uint8_t kMsType = 163;
constexpr uint8_t kBooleanType = 13;
constexpr uint8_t kSWordType = 7;
constexpr uint16_t kMuteProperty = 2048;

struct TFieldBinding {
    TapField field;
    uint16_t id;
    uint8_t type;
};

constexpr TFieldBinding kAutoCalcFields[] = {
    {TapField::kCalc, tap_property::kAutoCalcFlag, kBooleanType},
    {TapField::kTargetX, tap_property::kTargetX, kSWordType},
    {TapField::kTargetY, tap_property::kTargetY, kSWordType},
    {TapField::kTargetZ, tap_property::kTargetZ, kSWordType},
    {TapField::kOffset, tap_property::kTargetOffset, kSWordType},
};

}  // namespace

TDelayTapComm::TDelayTapComm(const TDelayTap& tap, int objectIndex, TTarnFormBinding& form) {
    std::vector<TFieldBinding> fields = {{TapField::kDelay, tap.DelayPropertyID(), kMsType},
                                         {TapField::kMute, kMuteProperty, kBooleanType}};
    if (tap.AutoCalculating())
        fields.insert(fields.end(), std::begin(kAutoCalcFields), std::end(kAutoCalcFields));
    const auto object = static_cast<uint16_t>(objectIndex);
    for (const TFieldBinding& binding : fields) {
        auto comm = std::make_unique<TTarnGuiComW>();
        const TapField field = binding.field;
        comm->OnValueArrived = [this, field] {
            if (OnChange)
                OnChange(field);
        };
        BindComm(*comm, {binding.id, binding.type, true, object}, form);
        comms_[static_cast<size_t>(field)] = std::move(comm);
    }
}

double TDelayTapComm::Value(TapField field) const {
    const TTarnGuiComW* comm = At(field);
    const TU32MultiValue* number = comm ? comm->MultiProperty() : nullptr;
    return number ? number->GetData() : 0;
}

void TDelayTapComm::Set(TapField field, double value) {
    if (TTarnGuiComW* comm = At(field))
        comm->SetValue(value);
}

double TDelayTapComm::DelaySteps() const {
    const TU32MultiValue* number = At(TapField::kDelay)->MultiProperty();
    return number && number->StepsPerUnit() > 0 ? number->StepsPerUnit() : 1;
}

}  // namespace objscope::audio
