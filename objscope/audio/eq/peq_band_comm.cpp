#include "audio/eq/peq_band_comm.h"

#include <algorithm>
#include <cmath>

#include "audio/filters/filter_band.h"
#include "audio/eq/peq_objects.h"
#include "values/property_pack.h"

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

// The value of a numeric property after a trip through its wire form.
double WireValue(const TVEKPropertyBase& property) {
    const auto* number = dynamic_cast<const TU32MultiValue*>(&property);
    if (!number)
        return 0;
    std::vector<uint8_t> item;
    auto back = property.CreateSame();
    if (PackData(item, property) == 0 || UnPackData(item, *back) == 0)
        return number->GetData();
    const auto* backNumber = dynamic_cast<const TU32MultiValue*>(back.get());
    return backNumber ? backNumber->GetData() : number->GetData();
}

bool SameWireValue(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(a));
}

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
            [this, field] { Arrived(field); }, form);
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
    TU32MultiValue* number = comm.MultiProperty();
    if (!number)
        return;
    const double before = number->GetData();
    comm.SetValue(field == BandField::kFreq ? FrequencyToDecades(value) : value);
    if (number->GetData() != before && comm.Connected())
        pending_[static_cast<size_t>(field)].push_back(WireValue(comm.Copy()));
}

void TPeqComm::Arrived(BandField field) {
    TTarnGuiComW& comm = comms_[static_cast<size_t>(field)];
    std::deque<double>& pending = pending_[static_cast<size_t>(field)];
    TU32MultiValue* number = comm.MultiProperty();
    if (number && !pending.empty()) {
        const double arrived = number->GetData();
        const auto match = std::find_if(pending.begin(), pending.end(),
                                        [&](double sent) { return SameWireValue(sent, arrived); });
        if (match == pending.end()) {
            pending.clear();  // a value from elsewhere (or the device's own) wins
        } else {
            pending.erase(pending.begin(), match + 1);
            if (!pending.empty()) {
                // Stale: the copy goes back to the latest value sent.
                number->SetData(pending.back());
                number->SetModified(false);
                return;
            }
        }
    }
    if (OnChange)
        OnChange(*this, field, Value(field));
}

}  // namespace objscope::audio
