#include "audio/peq_band_comm.h"

#include <algorithm>
#include <cmath>

#include "audio/filter_band.h"
#include "audio/peq_objects.h"

namespace objscope::audio {

namespace {

struct FieldBinding {
    uint16_t id;
    uint8_t type;
};

// Property and binding type of each field.
constexpr FieldBinding kFields[] = {
    {band_property::kGain, 131},       {band_property::kPolarity, 13},
    {band_property::kCenterFreq, 142}, {band_property::kFilterQ, 1},
    {band_property::kFilterType, 1},   {band_property::kFilterClass, 1},
    {band_property::kFilterOrder, 1},
};

}  // namespace

bool ApplyReceivedValue(TFilterBand& band, BandField field, double value) {
    switch (field) {
        case BandField::kGain:
            band.SetGainDb(std::clamp(value, -48.0, 12.0));
            break;
        case BandField::kPhase:
            band.SetInvert(value != 0);
            break;
        case BandField::kFreq:
            if (value == 0)
                return false;
            band.SetFrequency(value);
            break;
        case BandField::kQ:
            if (value == 0)
                return false;
            band.SetQ(value);
            break;
        case BandField::kType:
            band.SetFilterType(static_cast<uint8_t>(value));
            break;
        case BandField::kKind:
            band.SetFamily(static_cast<uint8_t>(value >= 0 && value <= 4 ? value : 0));
            break;
        case BandField::kOrder:
            band.SetOrder(static_cast<uint8_t>(std::clamp(value, 0.0, 8.0)));
            break;
    }
    band.Recalculate();
    return true;
}

double FrequencyToDecades(double hertz) {
    return std::log10(10.0 * std::clamp(hertz, 0.1, 357700.0));
}

double DecadesToFrequency(double decades) {
    return std::trunc(std::pow(10.0, decades) + 0.5) / 10.0;
}

void BindRegisteredComm(TTarnGuiComW& comm, int objectIndex, uint16_t propertyId, uint8_t type,
                        std::function<void()> arrived, TTarnFormBinding& form) {
    comm.Dest_Dev() = 0;
    comm.Dest_Obj() = static_cast<uint16_t>(objectIndex);
    comm.SetPropID(propertyId);
    comm.SetPropType(type);
    comm.Connect = true;
    comm.DoRegistration = true;
    comm.OnValueArrived = std::move(arrived);
    form.AddControl(comm);
}

TPeqComm::TPeqComm(int objectIndex, TTarnFormBinding& form) {
    for (size_t f = 0; f < comms_.size(); ++f) {
        const auto field = static_cast<BandField>(f);
        BindRegisteredComm(
            comms_[f], objectIndex, kFields[f].id, kFields[f].type,
            [this, field] {
                if (OnChange)
                    OnChange(*this, field, Value(field));
            },
            form);
    }
}

double TPeqComm::Value(BandField field) const {
    const TTarnGuiComW& comm = comms_[static_cast<size_t>(field)];
    const TU32MultiValue* number = comm.MultiProperty();
    if (!number)
        return 0;
    const double value = number->GetData();
    return field == BandField::kFreq ? DecadesToFrequency(value) : value;
}

void TPeqComm::Set(BandField field, double value) {
    TTarnGuiComW& comm = comms_[static_cast<size_t>(field)];
    comm.SetValue(field == BandField::kFreq ? FrequencyToDecades(value) : value);
}

}  // namespace objscope::audio
