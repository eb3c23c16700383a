#include "audio/eq/peq_objects.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "model/object_factory.h"
#include "values/property_messages.h"
#include "values/property_stream.h"

namespace objscope::audio {

namespace {

// Band objects made since the program started (their default frequencies).
std::atomic<int> bandsMade{0};

template <class Value>
void WriteReserved(ByteWriter& out, double value) {
    Value reserved;
    reserved.SetPropertyID(0);
    reserved.SetData(value);
    reserved.WriteToStream(out);
}

template <class Value>
bool ReadReserved(ByteReader& in) {
    Value reserved;
    return reserved.ReadFromStream(in);
}

}  // namespace

TGeqFilterBand::TGeqFilterBand() {
    SetClassID(38);
    SetObjectName("EQ Band");
    gain_ = AddProperty<TU32VEKDB1>("Gain", band_property::kGain);
    gain_->SetData(0);
    polarity_ = AddProperty<TU32Boolean>("Polarity", band_property::kPolarity);
    centerFreq_ = AddProperty<TU32VEKDecade2>("Center Freq", MakePropertyID(3, 3, 1));
    q_ = AddProperty<TU32VEKRatio2>("Filter Q", MakePropertyID(3, 5, 1));
    q_->SetMin(0.03);
    q_->SetMax(50);
    q_->SetHasMinMax(true);
    q_->SetData(4.333);
}

TPeqFilterBand::TPeqFilterBand() {
    SetClassID(65);
    SetObjectName("Parametric EQ Band");
    SetFrequency(31.5 * std::pow(1.5, bandsMade.fetch_add(1)));
    type_ = AddProperty<TU32UByte>("Filter Type", band_property::kFilterType);
    type_->SetValue(1);
    class_ = AddProperty<TU32UByte>("Filter Class", band_property::kFilterClass);
    class_->SetValue(1);
    order_ = AddProperty<TU32UByte>("Filter Order", band_property::kFilterOrder);
    order_->SetMin(1);
    order_->SetMax(8);
    order_->SetHasMinMax(true);
    order_->SetValue(2);
}

TU32Peq::TU32Peq()
    : input_(std::make_unique<TAudioObjectInput>()),
      output_(std::make_unique<TOutputGainControl>()) {
    SetClassID(60);
    SetObjectName("Parametric EQ Set");
    bypass_ = AddProperty<TU32Boolean>("Bypass Flag", MakePropertyID(3, 0, 0));
    graphicBands_ = AddProperty<TU32UWord>("# Graphic Bands", MakePropertyID(3, 1, 1));
    parametricBands_ = AddProperty<TU32UWord>("# Parametric Bands", MakePropertyID(3, 2, 1));
    NumInputs = NumOutputs = MinInputs = MaxInputs = MinOutputs = MaxOutputs = 1;
    SetBandCount(1);
}

double DefaultBandFrequency(int index) {
    return 25.0 * std::pow(1.209, index);
}

void TU32Peq::InitNewBand(TPeqFilterBand& band, int index) const {
    band.SetObjectName("Filter " + std::to_string(index + 1));
    band.SetFrequency(DefaultBandFrequency(index));
}

void TU32Peq::SetBandCount(int count) {
    count = std::clamp(count, 0, kMaxPeqBands);
    while (BandCount() > count)
        bands_.pop_back();
    while (BandCount() < count) {
        auto band = std::make_unique<TPeqFilterBand>();
        InitNewBand(*band, BandCount());
        bands_.push_back(std::move(band));
    }
    UpdateCounts();
}

void TU32Peq::UpdateCounts() {
    parametricBands_->SetValue(static_cast<uint16_t>(bands_.size()));
    NumOwnedObjs = static_cast<uint16_t>(bands_.size() + 2);
}

void TU32Peq::ClearOwnedObjects() {
    input_.reset();
    output_.reset();
    bands_.clear();
    UpdateCounts();
}

std::unique_ptr<TVEKroot> TU32Peq::AddOwnedObject(std::unique_ptr<TVEKroot> object) {
    if (auto* band = dynamic_cast<TPeqFilterBand*>(object.get())) {
        if (BandCount() >= kMaxPeqBands)
            return object;
        object.release();
        bands_.emplace_back(band);
    } else if (auto* output = dynamic_cast<TOutputGainControl*>(object.get())) {
        object.release();
        output_.reset(output);
    } else if (auto* input = dynamic_cast<TAudioObjectInput*>(object.get())) {
        object.release();
        input_.reset(input);
    } else {
        return object;
    }
    UpdateCounts();
    return nullptr;
}

void TU32Peq::CollectObjects(ObjectList& list) {
    TVEKroot::CollectObjects(list);
    if (input_)
        input_->CollectObjects(list);
    if (output_)
        output_->CollectObjects(list);
    for (const auto& band : bands_)
        band->CollectObjects(list);
}

ObjectList TU32Peq::OwnedObjectList() const {
    ObjectList list;
    if (input_)
        list.push_back(input_.get());
    if (output_)
        list.push_back(output_.get());
    for (const auto& band : bands_)
        list.push_back(band.get());
    return list;
}

void TU32Peq::SaveClassRecords(ByteWriter& out) const {
    // A set always has its input and output stage except in the middle of a
    // rebuild; write fresh ones then so the record keeps its layout.
    if (input_)
        input_->SaveToStream(out);
    else
        TAudioObjectInput().SaveToStream(out);
    if (output_)
        output_->SaveToStream(out);
    else
        TOutputGainControl().SaveToStream(out);
    bypass_->WriteToStream(out);
    WriteReserved<TU32SWord>(out, 0);
    WriteReserved<TU32SWord>(out, 2);
    WriteReserved<TU32Boolean>(out, 0);
    WriteReserved<TU32Boolean>(out, 1);
    WriteReserved<TU32Boolean>(out, 0);
    WriteSectionTag(out, "Data");
    out.u16(static_cast<uint16_t>(bands_.size()));
    for (const auto& band : bands_)
        band->SaveToStream(out);
}

bool TU32Peq::LoadClassRecords(ByteReader& in) {
    if (!input_)
        input_ = std::make_unique<TAudioObjectInput>();
    if (!output_)
        output_ = std::make_unique<TOutputGainControl>();
    const bool ok = input_->LoadFromStream(in) && output_->LoadFromStream(in) &&
                    bypass_->ReadFromStream(in) && ReadReserved<TU32SWord>(in) &&
                    ReadReserved<TU32SWord>(in) && ReadReserved<TU32Boolean>(in) &&
                    ReadReserved<TU32Boolean>(in) && ReadReserved<TU32Boolean>(in) &&
                    ReadSectionTag(in, "Data") && LoadBands(in);
    if (!ok)
        ShowPropertyMessage("Error Reading Parametric EQ Data");
    return ok;
}

bool TU32Peq::LoadBands(ByteReader& in) {
    const uint16_t count = in.u16();
    // A stored count the set cannot hold means the stream is not ours.
    if (!in.ok() || count > kMaxPeqBands)
        return false;
    SetBandCount(count);
    for (auto& band : bands_)
        if (!band->LoadFromStream(in))
            return false;
    return true;
}

void RegisterPeqClasses() {
    RegisterObjectClass("TGeqFilterBand", [] { return std::make_unique<TGeqFilterBand>(); });
    RegisterObjectClass("TPeqFilterBand", [] { return std::make_unique<TPeqFilterBand>(); });
    RegisterObjectClass("TU32Peq", [] { return std::make_unique<TU32Peq>(); });
}

}  // namespace objscope::audio
