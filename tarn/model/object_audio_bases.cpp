#include "model/object_audio_bases.h"

#include "values/property_stream.h"

namespace objscope {
namespace {

std::string ConnectionName(std::string_view text) {
    return std::string(text.substr(0, kConnectionNameMax));
}

// A node property's record followed by the connection name.
void SaveConnection(ByteWriter& out, const TU32UWord& node, const std::string& name) {
    node.WriteToStream(out);
    WriteFixedText(out, name, kConnectionNameMax);
}

bool LoadConnection(ByteReader& in, TU32UWord& node, std::string& name) {
    if (!node.ReadFromStream(in))
        return false;
    std::string text = ReadFixedText(in, kConnectionNameMax);
    if (!in.ok())
        return false;
    name = text;
    return true;
}

}  // namespace

TAudioElement::TAudioElement() {
    SetClassID(32);
    SetObjectName("Audio Element");
    mute_ = AddProperty<TU32Boolean>("Mute", MakePropertyID(2, 0, 0));
    dspNumber_ = AddProperty<TU32UByte>("DSP Number", MakePropertyID(2, 20, 0));
    dspNumber_->SetValue(255);
}

TAudioObjectInput::TAudioObjectInput() {
    SetClassID(33);
    SetObjectName("AudioObjectInput");
    inputNode_ = AddProperty<TU32UWord>("Audio Input Node", MakePropertyID(3, 1, 1));
}

void TAudioObjectInput::SetInputName(int, std::string_view text) {
    inputName_ = ConnectionName(text);
}

void TAudioObjectInput::SaveClassRecords(ByteWriter& out) const {
    SaveConnection(out, *inputNode_, inputName_);
    WriteSectionTag(out, "Data");
}

bool TAudioObjectInput::LoadClassRecords(ByteReader& in) {
    return LoadConnection(in, *inputNode_, inputName_) && ReadSectionTag(in, "Data");
}

TAudioObjectOutput::TAudioObjectOutput() {
    SetClassID(34);
    SetObjectName("AudioObjectOutput");
    outputNode_ = AddProperty<TU32UWord>("Audio Output Node", MakePropertyID(3, 2, 1));
}

void TAudioObjectOutput::SetOutputName(int, std::string_view text) {
    outputName_ = ConnectionName(text);
}

void TAudioObjectOutput::SaveClassRecords(ByteWriter& out) const {
    SaveConnection(out, *outputNode_, outputName_);
    WriteSectionTag(out, "Data");
}

bool TAudioObjectOutput::LoadClassRecords(ByteReader& in) {
    return LoadConnection(in, *outputNode_, outputName_) && ReadSectionTag(in, "Data");
}

TGainControlProperties AddGainControlProperties(TVEKroot& object) {
    TGainControlProperties gain;
    gain.gain = object.AddProperty<TU32VEKDB1>("Gain", MakePropertyID(4, 0, 0));
    gain.gain->SetData(0);
    gain.polarity = object.AddProperty<TU32Boolean>("Polarity Inverted?", MakePropertyID(4, 1, 1));
    gain.coefficient =
        object.AddProperty<TU32VEKCoefficient>("Gain Coefficient", MakePropertyID(4, 2, 3));
    gain.coefficient->SetData(1.0);
    gain.coefficient->SetReadOnly(true);
    return gain;
}

TInputGainControl::TInputGainControl() {
    SetClassID(63);
    SetObjectName("InputGainControl");
    gain_ = AddGainControlProperties(*this);
}

TOutputGainControl::TOutputGainControl() {
    SetClassID(4);
    SetObjectName("Output Gain Control");
    gain_ = AddGainControlProperties(*this);
}

TInlineAudioProcessing::TInlineAudioProcessing() {
    SetClassID(36);
    SetObjectName("AudioProcessing");
    bypass_ = AddProperty<TU32Boolean>("Bypass Mode", MakePropertyID(3, 0, 0));
    inputNode_ = AddProperty<TU32UWord>("Audio Input Node", MakePropertyID(3, 1, 1));
    outputNode_ = AddProperty<TU32UWord>("Audio Output Node", MakePropertyID(3, 2, 1));
    NumInputs = NumOutputs = MinInputs = MaxInputs = MinOutputs = MaxOutputs = 1;
}

void TInlineAudioProcessing::SetInputName(int, std::string_view text) {
    inputName_ = ConnectionName(text);
}

void TInlineAudioProcessing::SetOutputName(int, std::string_view text) {
    outputName_ = ConnectionName(text);
}

void TInlineAudioProcessing::SaveClassRecords(ByteWriter& out) const {
    SaveConnection(out, *inputNode_, inputName_);
    SaveConnection(out, *outputNode_, outputName_);
    WriteSectionTag(out, "Data");
}

bool TInlineAudioProcessing::LoadClassRecords(ByteReader& in) {
    return LoadConnection(in, *inputNode_, inputName_) &&
           LoadConnection(in, *outputNode_, outputName_) && ReadSectionTag(in, "Data");
}

TComplexAudioObject::TComplexAudioObject() {
    SetClassID(64);
    SetObjectName("Complex Audio Object");
    dspNumber_ = AddProperty<TU32UByte>("DSP Number", MakePropertyID(2, 20, 0));
    dspNumber_->SetValue(255);
}

void TComplexAudioObject::ClearOwnedObjects() {
    owned_.clear();
    NumOwnedObjs = 0;
}

std::unique_ptr<TVEKroot> TComplexAudioObject::AddOwnedObject(std::unique_ptr<TVEKroot> object) {
    if (object) {
        owned_.push_back(std::move(object));
        NumOwnedObjs = static_cast<uint16_t>(owned_.size());
    }
    return nullptr;
}

void TComplexAudioObject::CollectObjects(ObjectList& list) {
    TVEKroot::CollectObjects(list);
    for (const auto& object : owned_)
        list.push_back(object.get());
}

ObjectList TComplexAudioObject::OwnedObjectList() const {
    ObjectList list;
    for (const auto& object : owned_)
        list.push_back(object.get());
    return list;
}

}  // namespace objscope
