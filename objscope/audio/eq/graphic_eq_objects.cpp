#include "audio/eq/graphic_eq_objects.h"

#include <cmath>

#include "model/object_factory.h"
#include "values/property_messages.h"
#include "values/property_stream.h"

namespace objscope::audio {

namespace {

constexpr double kFirstBandHz = 25.0;

// The band's user data: 20h, its number, 00h.
std::string BandUserData(int number) {
    return std::string{'\x20', static_cast<char>(number), '\0'};
}

std::unique_ptr<TGeqFilterBand> NewGraphicBand(int i) {
    auto band = std::make_unique<TGeqFilterBand>();
    band->SetObjectName("Band " + std::to_string(i));
    band->SetFrequency(kFirstBandHz * std::pow(10.0, i / 10.0));
    band->SetGainDb(0);
    band->SetTagField(static_cast<uint8_t>(i));
    band->UserDataProperty().SetData(BandUserData(i));
    return band;
}

std::unique_ptr<TPeqFilterBand> NewParametricBand(int j) {
    auto band = std::make_unique<TPeqFilterBand>();
    band->SetObjectName("Para EQ Band " + std::to_string(j));
    band->SetFilterType(0);
    band->SetFilterOrder(2);
    band->SetGainDb(0);
    band->SetFrequency(j == 0 ? 20.0 : 20000.0);
    band->SetTagField(static_cast<uint8_t>(j));
    band->UserDataProperty().SetData(BandUserData(j));
    return band;
}

// The two Booleans of the record that are not properties.
void WriteExtraBoolean(ByteWriter& out, bool value) {
    TU32Boolean extra;
    extra.SetPropertyID(0);
    extra.SetValue(value);
    extra.WriteToStream(out);
}

bool ReadExtraBoolean(ByteReader& in) {
    TU32Boolean extra;
    return extra.ReadFromStream(in);
}

template <class Band>
bool LoadBand(ByteReader& in, std::unique_ptr<Band>& slot, std::unique_ptr<Band> fresh) {
    if (!slot)
        slot = std::move(fresh);
    return slot->LoadFromStream(in);
}

}  // namespace

TU32EQ1_3::TU32EQ1_3()
    : input_(std::make_unique<TAudioObjectInput>()),
      output_(std::make_unique<TOutputGainControl>()) {
    SetClassID(60);
    SetObjectName("Graphic EQ Set");
    UserDataProperty().SetData("E");
    bypass_ = AddProperty<TU32Boolean>("Bypass Flag", MakePropertyID(3, 0, 0));
    graphicBands_ = AddProperty<TU32UWord>("# Graphic Bands", MakePropertyID(3, 1, 1));
    graphicBands_->SetValue(kGraphicBands);
    graphicBands_->SetReadOnly(true);
    parametricBands_ = AddProperty<TU32UWord>("# Parametric Bands", MakePropertyID(3, 2, 1));
    parametricBands_->SetValue(1);
    parametricBands_->SetReadOnly(true);
    NumInputs = NumOutputs = MinInputs = MaxInputs = MinOutputs = MaxOutputs = 1;
    input_->SetObjectName("1");
    input_->SetInputNode(0, 0);
    output_->SetObjectName("1");
    output_->SetOutputNode(0, 0);
    output_->Gain().gain->SetData(0);
    for (int i = 0; i < kGraphicBands; ++i)
        graphic_[static_cast<size_t>(i)] = NewGraphicBand(i);
    for (int j = 0; j < kGraphicParametricBands; ++j)
        parametric_[static_cast<size_t>(j)] = NewParametricBand(j);
    UpdateCounts();
}

void TU32EQ1_3::UpdateCounts() {
    uint16_t owned = (input_ ? 1 : 0) + (output_ ? 1 : 0);
    for (const auto& band : graphic_)
        owned += band ? 1 : 0;
    for (const auto& band : parametric_)
        owned += band ? 1 : 0;
    NumOwnedObjs = owned;
}

TGeqFilterBand* TU32EQ1_3::GraphicBand(int i) const {
    return i >= 0 && i < kGraphicBands ? graphic_[static_cast<size_t>(i)].get() : nullptr;
}

TPeqFilterBand* TU32EQ1_3::ParametricBand(int j) const {
    return j >= 0 && j < kGraphicParametricBands ? parametric_[static_cast<size_t>(j)].get()
                                                 : nullptr;
}

void TU32EQ1_3::SetInputName(int, std::string_view text) {
    if (input_)
        input_->SetInputName(0, text);
}

std::string TU32EQ1_3::GetInputName(int) const {
    return input_ ? input_->GetInputName(0) : std::string();
}

void TU32EQ1_3::SetOutputName(int, std::string_view text) {
    if (output_)
        output_->SetOutputName(0, text);
}

std::string TU32EQ1_3::GetOutputName(int) const {
    return output_ ? output_->GetOutputName(0) : std::string();
}

void TU32EQ1_3::SetInputNode(int, uint16_t value) {
    if (input_)
        input_->SetInputNode(0, value);
}

uint16_t TU32EQ1_3::GetInputNode(int) const {
    return input_ ? input_->GetInputNode(0) : 0;
}

void TU32EQ1_3::SetOutputNode(int, uint16_t value) {
    if (output_)
        output_->SetOutputNode(0, value);
}

uint16_t TU32EQ1_3::GetOutputNode(int) const {
    return output_ ? output_->GetOutputNode(0) : 0;
}

void TU32EQ1_3::ClearOwnedObjects() {
    input_.reset();
    output_.reset();
    for (auto& band : graphic_)
        band.reset();
    for (auto& band : parametric_)
        band.reset();
    UpdateCounts();
}

std::unique_ptr<TVEKroot> TU32EQ1_3::AddOwnedObject(std::unique_ptr<TVEKroot> object) {
    TVEKroot* raw = object.get();
    const int tag = raw ? raw->TagField() : -1;
    if (auto* parametric = dynamic_cast<TPeqFilterBand*>(raw)) {
        if (tag >= kGraphicParametricBands)
            return object;
        object.release();
        parametric_[static_cast<size_t>(tag)].reset(parametric);
    } else if (auto* graphic = dynamic_cast<TGeqFilterBand*>(raw)) {
        if (tag >= kGraphicBands)
            return object;
        object.release();
        graphic_[static_cast<size_t>(tag)].reset(graphic);
    } else if (auto* output = dynamic_cast<TOutputGainControl*>(raw)) {
        object.release();
        output_.reset(output);
    } else if (auto* input = dynamic_cast<TAudioObjectInput*>(raw)) {
        object.release();
        input_.reset(input);
    } else {
        return object;
    }
    UpdateCounts();
    return nullptr;
}

void TU32EQ1_3::CollectObjects(ObjectList& list) {
    TVEKroot::CollectObjects(list);
    for (TVEKroot* owned : OwnedObjectList())
        owned->CollectObjects(list);
}

ObjectList TU32EQ1_3::OwnedObjectList() const {
    ObjectList list;
    if (input_)
        list.push_back(input_.get());
    if (output_)
        list.push_back(output_.get());
    for (const auto& band : graphic_) {
        if (band)
            list.push_back(band.get());
    }
    for (const auto& band : parametric_) {
        if (band)
            list.push_back(band.get());
    }
    return list;
}

// The input, the output stage, the two extra Booleans, "Data", the graphic
// bands, "Data", the parametric bands. No band count: the layout is fixed.
// A slot emptied for a rebuild is written as a fresh object, so the record
// keeps its layout.
void TU32EQ1_3::SaveClassRecords(ByteWriter& out) const {
    input_ ? input_->SaveToStream(out) : TAudioObjectInput().SaveToStream(out);
    output_ ? output_->SaveToStream(out) : TOutputGainControl().SaveToStream(out);
    WriteExtraBoolean(out, false);
    WriteExtraBoolean(out, true);
    WriteSectionTag(out, "Data");
    for (int i = 0; i < kGraphicBands; ++i) {
        const TGeqFilterBand* band = GraphicBand(i);
        band ? band->SaveToStream(out) : NewGraphicBand(i)->SaveToStream(out);
    }
    WriteSectionTag(out, "Data");
    for (int j = 0; j < kGraphicParametricBands; ++j) {
        const TPeqFilterBand* band = ParametricBand(j);
        band ? band->SaveToStream(out) : NewParametricBand(j)->SaveToStream(out);
    }
}

bool TU32EQ1_3::LoadClassRecords(ByteReader& in) {
    const bool ok = LoadRecords(in);
    UpdateCounts();
    if (!ok)
        ShowPropertyMessage("Error Reading 1/3 Octave EQ Data");
    return ok;
}

bool TU32EQ1_3::LoadRecords(ByteReader& in) {
    if (!LoadBand(in, input_, std::make_unique<TAudioObjectInput>()) ||
        !LoadBand(in, output_, std::make_unique<TOutputGainControl>()) || !ReadExtraBoolean(in) ||
        !ReadExtraBoolean(in) || !ReadSectionTag(in, "Data"))
        return false;
    for (int i = 0; i < kGraphicBands; ++i) {
        if (!LoadBand(in, graphic_[static_cast<size_t>(i)], NewGraphicBand(i)))
            return false;
    }
    if (!ReadSectionTag(in, "Data"))
        return false;
    for (int j = 0; j < kGraphicParametricBands; ++j) {
        if (!LoadBand(in, parametric_[static_cast<size_t>(j)], NewParametricBand(j)))
            return false;
    }
    return true;
}

void RegisterGraphicEqClass() {
    RegisterObjectClass("TU32EQ1_3", [] { return std::make_unique<TU32EQ1_3>(); });
}

}  // namespace objscope::audio
