#include "audio/crossover/output_gain_comm.h"

#include "audio/eq/peq_band_comm.h"

namespace objscope::audio {

namespace {

struct FieldBinding {
    uint16_t id;
    uint8_t type;
};

// Property and binding type of each field (the mute and polarity are Booleans).
constexpr FieldBinding kFields[] = {{4096, 131}, {2048, 13}, {4097, 13}};

}  // namespace

TOutputGain::TOutputGain(int objectIndex, TTarnFormBinding& form) {
    for (size_t f = 0; f < comms_.size(); ++f) {
        const auto field = static_cast<OutputField>(f);
        BindRegisteredComm(
            comms_[f], objectIndex, kFields[f].id, kFields[f].type,
            [this, field] {
                if (OnChange)
                    OnChange(field, Value(field));
            },
            form);
    }
}

double TOutputGain::Value(OutputField field) const {
    const TU32MultiValue* number = comms_[static_cast<size_t>(field)].MultiProperty();
    return number ? number->GetData() : 0;
}

void TOutputGain::Set(OutputField field, double value) {
    comms_[static_cast<size_t>(field)].SetValue(value);
}

}  // namespace objscope::audio
