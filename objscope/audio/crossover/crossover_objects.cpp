#include "audio/crossover/crossover_objects.h"

#include <algorithm>

#include "audio/filters/biquad_section.h"
#include "model/object_factory.h"
#include "values/property_stream.h"

namespace objscope::audio {

namespace {

struct EdgeDefault {
    const char* name;
    double lower;
    double upper;
};

// Outputs from highest to lowest for 2 to 6 outputs.
const std::vector<std::vector<EdgeDefault>> kGeneralDefaults = {
    {{"H", 800, 20000}, {"L", 20, 800}},
    {{"H", 1600, 20000}, {"M", 800, 1600}, {"L", 20, 800}},
    {{"H", 1600, 20000}, {"M", 800, 1600}, {"L", 120, 800}, {"S", 20, 120}},
    {{"H", 4000, 20000}, {"MH", 1250, 4000}, {"ML", 400, 1250}, {"L", 120, 400}, {"S", 20, 120}},
    {{"H", 6300, 20000},
     {"MH", 2500, 6300},
     {"M", 800, 2500},
     {"ML", 400, 800},
     {"L", 120, 400},
     {"S", 20, 120}},
};

constexpr uint8_t LP = filter_type::kAlignedLowPass;
constexpr uint8_t HP = filter_type::kAlignedHighPass;
constexpr uint8_t AP = filter_type::kAlignedAllPass;

// [outputs - 2][point][output]
constexpr uint8_t kLinkwitzTypes[3][3][4] = {
    {{LP, HP, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}},
    {{LP, HP, AP, 0}, {LP, LP, HP, 0}, {0, 0, 0, 0}},
    {{LP, HP, AP, AP}, {LP, LP, HP, HP}, {AP, AP, LP, HP}},
};
constexpr double kLinkwitzPoints[3][3] = {{800, 0, 0}, {800, 1600, 0}, {120, 800, 1600}};

void SwitchOff(TPeqFilterBand& edge) {
    edge.SetFilterType(0);
    edge.SetFilterClass(0);
}

}  // namespace

TU32CrossOverBand::TU32CrossOverBand() {
    SetObjectName("Band");
    SetBandCount(0);  // the set's first band was made as a plain EQ band
    SetBandCount(2);
    Output()->Gain().gain->SetData(0);
}

void TU32CrossOverBand::InitNewBand(TPeqFilterBand& band, int index) const {
    const bool lower = index == 0;
    band.SetObjectName(lower ? "Lower Para Band" : "Upper Para Band");
    band.SetFilterType(lower ? HP : LP);
    band.SetFilterClass(1);
    band.SetFilterOrder(2);
    band.SetTagField(lower ? 1 : 2);
}

void TU32CrossOverBand::SaveClassRecords(ByteWriter& out) const {
    TU32Peq::SaveClassRecords(out);
    for (bool flag : flags)
        out.u8(flag ? 1 : 0);
}

bool TU32CrossOverBand::LoadClassRecords(ByteReader& in) {
    if (!TU32Peq::LoadClassRecords(in))
        return false;
    for (bool& flag : flags)
        flag = in.u8() != 0;
    return in.ok();
}

TU32LWCrossOverBand::TU32LWCrossOverBand() {
    SetObjectName("L-K Xover Band");
    SetBandCount(0);
    SetBandCount(3);
}

void TU32LWCrossOverBand::InitNewBand(TPeqFilterBand& band, int index) const {
    band.SetObjectName("Para Band " + std::to_string(index + 1));
    band.SetTagField(static_cast<uint8_t>(index));
    band.SetFilterOrder(2);
    band.SetFilterType(0);
    band.SetFilterClass(0);
    band.SetFrequency(1000);
}

template <class BandType>
TCrossoverObject<BandType>::TCrossoverObject() {
    SetClassID(66);
    NumInputs = MinInputs = MaxInputs = 1;
    MinOutputs = 2;
}

template <class BandType>
void TCrossoverObject<BandType>::ClearOwnedObjects() {
    bands_.clear();
    NumOwnedObjs = 0;
}

template <class BandType>
std::unique_ptr<TVEKroot> TCrossoverObject<BandType>::AddOwnedObject(
    std::unique_ptr<TVEKroot> object) {
    auto* band = dynamic_cast<BandType*>(object.get());
    if (!band || OutputCount() >= MaxOutputs)
        return object;
    object.release();
    bands_.emplace_back(band);
    NumOwnedObjs = NumOutputs = static_cast<uint16_t>(bands_.size());
    return nullptr;
}

template <class BandType>
void TCrossoverObject<BandType>::CollectObjects(ObjectList& list) {
    TVEKroot::CollectObjects(list);
    for (const auto& band : bands_)
        band->CollectObjects(list);
}

template <class BandType>
ObjectList TCrossoverObject<BandType>::OwnedObjectList() const {
    ObjectList list;
    for (const auto& band : bands_)
        list.push_back(band.get());
    return list;
}

template <class BandType>
void TCrossoverObject<BandType>::SaveClassRecords(ByteWriter& out) const {
    out.u16(static_cast<uint16_t>(settings.legendScale));
    out.u16(static_cast<uint16_t>(settings.frequencyScale));
    out.u8(settings.selectedOutput);
    out.u8(settings.showPhase ? 1 : 0);
    out.u8(settings.showGain ? 1 : 0);
    out.u16(static_cast<uint16_t>(settings.zeroDbLocation));
    out.u16(static_cast<uint16_t>(bands_.size()));
    for (const auto& band : bands_)
        band->SaveToStream(out);
}

template <class BandType>
bool TCrossoverObject<BandType>::LoadClassRecords(ByteReader& in) {
    CrossoverDisplaySettings read;
    read.legendScale = static_cast<int16_t>(in.u16());
    read.frequencyScale = static_cast<int16_t>(in.u16());
    read.selectedOutput = in.u8();
    read.showPhase = in.u8() != 0;
    read.showGain = in.u8() != 0;
    read.zeroDbLocation = static_cast<int16_t>(in.u16());
    const uint16_t count = in.u16();
    if (!in.ok() || count > MaxOutputs)
        return false;
    settings = read;
    bands_.clear();
    for (uint16_t i = 0; i < count; ++i) {
        auto band = std::make_unique<BandType>();
        if (!band->LoadFromStream(in))
            return false;
        bands_.push_back(std::move(band));
    }
    NumOwnedObjs = NumOutputs = count;
    return true;
}

TU32CrossOver::TU32CrossOver() {
    SetObjectName("XOver");
    MaxOutputs = kMaxOutputs;
    SetNumOutputs(2);
}

void TU32CrossOver::SetNumOutputs(uint16_t n) {
    const int count = std::clamp<int>(n, 2, kMaxOutputs);
    std::vector<std::string> names;
    for (const auto& band : bands_)
        names.push_back(band->GetOutputName(0));
    bands_.clear();
    const auto& defaults = kGeneralDefaults[static_cast<size_t>(count - 2)];
    for (int i = 0; i < count; ++i) {
        auto band = std::make_unique<TU32CrossOverBand>();
        const EdgeDefault& d = defaults[static_cast<size_t>(i)];
        band->SetObjectName(d.name);
        band->LowerEdge().SetFrequency(d.lower);
        band->UpperEdge().SetFrequency(d.upper);
        if (i > 0)
            band->LinkedAbove() = true;
        if (i < count - 1)
            band->LinkedBelow() = true;
        bands_.push_back(std::move(band));
    }
    SwitchOff(bands_.front()->UpperEdge());
    SwitchOff(bands_.back()->LowerEdge());
    settings.selectedOutput =
        static_cast<uint8_t>(std::min<int>(settings.selectedOutput, count - 1));
    for (size_t i = 0; i < names.size() && i < bands_.size(); ++i)
        bands_[i]->SetOutputName(0, names[i]);
    NumOwnedObjs = NumOutputs = static_cast<uint16_t>(count);
}

uint8_t LinkwitzSlotType(int outputs, int output, int slot) {
    if (outputs < 2 || outputs > 4 || output < 0 || output >= outputs || slot < 0 ||
        slot >= outputs - 1)
        return 0;
    return kLinkwitzTypes[outputs - 2][slot][output];
}

double LinkwitzPointFrequency(int outputs, int point) {
    if (outputs < 2 || outputs > 4 || point < 0 || point >= outputs - 1)
        return 1000;
    return kLinkwitzPoints[outputs - 2][point];
}

TU32LinkWitz::TU32LinkWitz() {
    SetObjectName("LinkWitz-Reilly XOver");
    MaxOutputs = kMaxOutputs;
    SetNumOutputs(2);
}

void TU32LinkWitz::SetNumOutputs(uint16_t n) {
    const int count = std::clamp<int>(n, 2, kMaxOutputs);
    bands_.clear();
    for (int o = 0; o < count; ++o) {
        auto band = std::make_unique<TU32LWCrossOverBand>();
        band->SetObjectName("Output " + std::to_string(o + 1));
        bands_.push_back(std::move(band));
    }
    for (int point = 0; point < count - 1; ++point)
        SetPoint(point, LinkwitzPointFrequency(count, point), 2);
    settings.selectedOutput =
        static_cast<uint8_t>(std::min<int>(settings.selectedOutput, count - 1));
    NumOwnedObjs = NumOutputs = static_cast<uint16_t>(count);
}

LinkwitzSlotSetting LinkwitzSlot(int outputs, int output, int point, uint8_t order) {
    LinkwitzSlotSetting slot;
    slot.type = LinkwitzSlotType(outputs, output, point);
    slot.order = order;
    if (slot.type == AP) {
        slot.family = 1;
        slot.order = static_cast<uint8_t>(std::max(order / 2, 1));
    } else if (slot.type == LP || slot.type == HP) {
        slot.family = 3;
    }
    slot.inverted = slot.type == HP && order % 4 != 0;
    return slot;
}

void TU32LinkWitz::SetPoint(int point, double frequency, uint8_t order) {
    const int count = OutputCount();
    for (int o = 0; o < count; ++o) {
        TPeqFilterBand& slot = Output(o).Slot(point);
        const LinkwitzSlotSetting setting = LinkwitzSlot(count, o, point, order);
        slot.SetFilterType(setting.type);
        slot.SetFrequency(frequency);
        if (setting.type != 0) {
            slot.SetFilterClass(setting.family);
            slot.SetFilterOrder(setting.order);
        }
        slot.SetPolarity(setting.inverted);
    }
}

template class TCrossoverObject<TU32CrossOverBand>;
template class TCrossoverObject<TU32LWCrossOverBand>;

void RegisterCrossoverClasses() {
    RegisterPeqClasses();  // the outputs own parametric bands
    RegisterObjectClass("TU32CrossOver", [] { return std::make_unique<TU32CrossOver>(); });
    RegisterObjectClass("TU32CrossOverBand", [] { return std::make_unique<TU32CrossOverBand>(); });
    RegisterObjectClass("TU32LinkWitz", [] { return std::make_unique<TU32LinkWitz>(); });
    RegisterObjectClass("TU32LWCrossOverBand",
                        [] { return std::make_unique<TU32LWCrossOverBand>(); });
}

}  // namespace objscope::audio
