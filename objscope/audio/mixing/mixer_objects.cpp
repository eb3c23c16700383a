#include "audio/mixing/mixer_objects.h"

#include <algorithm>

#include "model/object_factory.h"

namespace objscope::audio {

namespace {

void LimitGain(const TGainControlProperties& gain, double min, double max) {
    gain.gain->SetMin(min);
    gain.gain->SetMax(max);
    gain.gain->SetHasMinMax(true);
}

void AppendGainProperties(const TVEKroot& object, PropertyList& list) {
    for (uint16_t id : {mixer_property::kGain, mixer_property::kMute, mixer_property::kPolarity}) {
        if (TVEKPropertyBase* property = object.FindProperty(id))
            list.push_back(property);
    }
}

std::unique_ptr<TInputGainControl> NewInput(int k) {
    auto input = std::make_unique<TInputGainControl>();
    input->SetObjectName(std::to_string(k));
    input->SetTagField(static_cast<uint8_t>(k));
    LimitGain(input->Gain(), kInputGainMin, kInputGainMax);
    return input;
}

}  // namespace

TU32Boolean* MuteProperty(const TVEKroot& object) {
    return dynamic_cast<TU32Boolean*>(object.FindProperty(mixer_property::kMute));
}

bool IsMuted(const TVEKroot& object) {
    const TU32Boolean* mute = MuteProperty(object);
    return mute && mute->Value();
}

void SetMuted(TVEKroot& object, bool muted) {
    if (TU32Boolean* mute = MuteProperty(object))
        mute->SetValue(muted);
}

// ---- mixer base ----

TMixerBase::TMixerBase(uint16_t classId, const char* name, int minInputs, int maxInputs)
    : output_(std::make_unique<TOutputGainControl>()),
      minInputs_(minInputs),
      maxInputs_(maxInputs) {
    SetClassID(classId);
    SetObjectName(name);
    LimitGain(output_->Gain(), kOutputGainMin, kOutputGainMax);
    MinInputs = static_cast<uint16_t>(minInputs);
    MaxInputs = static_cast<uint16_t>(maxInputs);
    NumOutputs = MinOutputs = MaxOutputs = 1;
    UpdateCounts();
}

void TMixerBase::UpdateCounts() {
    NumInputs = static_cast<uint16_t>(inputs_.size());
    uint16_t owned = output_ ? 1 : 0;
    for (const auto& input : inputs_)
        owned += input ? 1 : 0;
    NumOwnedObjs = owned;
}

void TMixerBase::SetNumInputs(uint16_t count) {
    const int wanted = std::clamp<int>(count, minInputs_, maxInputs_);
    if (static_cast<int>(inputs_.size()) > wanted)
        inputs_.resize(static_cast<size_t>(wanted));
    while (static_cast<int>(inputs_.size()) < wanted) {
        const int k = static_cast<int>(inputs_.size()) + 1;
        auto input = NewInput(k);
        SetMuted(*input, MutesNewInput(k));
        inputs_.push_back(std::move(input));
    }
    UpdateCounts();
}

TInputGainControl* TMixerBase::Input(int k) const {
    if (k < 1 || k > InputCount())
        return nullptr;
    return inputs_[static_cast<size_t>(k - 1)].get();
}

void TMixerBase::SetInputName(int k, std::string_view text) {
    if (TInputGainControl* input = Input(k))
        input->SetInputName(0, text);
}

std::string TMixerBase::GetInputName(int k) const {
    const TInputGainControl* input = Input(k);
    return input ? input->GetInputName(0) : std::string();
}

void TMixerBase::SetInputNode(int k, uint16_t value) {
    if (TInputGainControl* input = Input(k))
        input->SetInputNode(0, value);
}

uint16_t TMixerBase::GetInputNode(int k) const {
    const TInputGainControl* input = Input(k);
    return input ? input->GetInputNode(0) : 0;
}

void TMixerBase::SetOutputName(int, std::string_view text) {
    if (output_)
        output_->SetOutputName(0, text);
}

std::string TMixerBase::GetOutputName(int) const {
    return output_ ? output_->GetOutputName(0) : std::string();
}

void TMixerBase::SetOutputNode(int, uint16_t value) {
    if (output_)
        output_->SetOutputNode(0, value);
}

uint16_t TMixerBase::GetOutputNode(int) const {
    return output_ ? output_->GetOutputNode(0) : 0;
}

void TMixerBase::ClearOwnedObjects() {
    output_.reset();
    inputs_.clear();
    UpdateCounts();
}

std::unique_ptr<TVEKroot> TMixerBase::AddOwnedObject(std::unique_ptr<TVEKroot> object) {
    if (auto* output = dynamic_cast<TOutputGainControl*>(object.get())) {
        object.release();
        output_.reset(output);
    } else if (auto* input = dynamic_cast<TInputGainControl*>(object.get())) {
        // A byte tags inputs 1 to 255; inside the largest matrix tag 0 is 256.
        int k = input->TagField();
        if (k == 0 && maxInputs_ > 255)
            k = 256;
        if (k < 1 || k > maxInputs_)
            return object;
        if (static_cast<int>(inputs_.size()) < k)
            inputs_.resize(static_cast<size_t>(k));
        object.release();
        inputs_[static_cast<size_t>(k - 1)].reset(input);
    } else {
        return object;
    }
    UpdateCounts();
    return nullptr;
}

void TMixerBase::CollectObjects(ObjectList& list) {
    TVEKroot::CollectObjects(list);
    for (TVEKroot* owned : OwnedObjectList())
        owned->CollectObjects(list);
}

ObjectList TMixerBase::OwnedObjectList() const {
    ObjectList list;
    if (output_)
        list.push_back(output_.get());
    for (const auto& input : inputs_) {
        if (input)
            list.push_back(input.get());
    }
    return list;
}

bool TMixerBase::GetInputProperties(int k, PropertyList& list) {
    const TInputGainControl* input = Input(k);
    if (!input)
        return false;
    AppendGainProperties(*input, list);
    return true;
}

bool TMixerBase::GetOutputProperties(int, PropertyList& list) {
    if (!output_)
        return false;
    AppendGainProperties(*output_, list);
    return true;
}

// ---- mixer ----

TU32Mixer::TU32Mixer() : TU32Mixer(1, kMaxMixerInputs) {}

TU32Mixer::TU32Mixer(int minInputs, int maxInputs) : TMixerBase(59, "Mixer", minInputs, maxInputs) {
    nomAdjustSlope_ = AddProperty<TU32VEKRatio1>("NOMAdjustSlope", MakePropertyID(3, 0, 0));
    nomAdjustSlope_->SetMin(0);
    nomAdjustSlope_->SetMax(6);
    nomAdjustSlope_->SetHasMinMax(true);
    nomAdjustSlope_->SetData(0);
    nomCount_ = AddProperty<TU32UByte>("NOM Count", MakePropertyID(3, 1, 0));
    nomCount_->SetValue(1);
    SetNumInputs(2);
}

// ---- selector ----

TU32SignalSelector::TU32SignalSelector() : TU32SignalSelector(1, kMaxMixerInputs) {}

TU32SignalSelector::TU32SignalSelector(int minInputs, int maxInputs)
    : TMixerBase(58, "Signal Selector", minInputs, maxInputs) {
    selection_ = AddProperty<TU32UByte>("Current Selection", MakePropertyID(3, 0, 0));
    selection_->SetMin(0);
    selection_->SetMax(std::min(maxInputs, 255));
    selection_->SetHasMinMax(true);
    selection_->SetValue(0);
    forceOne_ = AddProperty<TU32Boolean>("Force One Selection?", MakePropertyID(3, 1, 0));
    SetNumInputs(2);
}

void TU32SignalSelector::SetSelection(int k) {
    if (k == 0 && ForceOne())
        k = 1;
    // The property is one byte: a selection it cannot carry stores none.
    selection_->SetValue(static_cast<uint8_t>(k >= 0 && k <= selection_->Max() ? k : 0));
    for (int j = 1; j <= InputCount(); ++j) {
        if (TInputGainControl* input = Input(j))
            SetMuted(*input, j != k);
    }
}

int TU32SignalSelector::EffectiveSelection() const {
    const int k = Selection();
    return k <= InputCount() ? k : 0;
}

// ---- internal variants ----

TU32SpecialMixer::TU32SpecialMixer() : TU32Mixer(0, kMaxInternalInputs) {
    UserDataProperty().SetData("m");
}

TU32SpcSignalSelector::TU32SpcSignalSelector() : TU32SignalSelector(0, kMaxInternalInputs) {
    UserDataProperty().SetData("s");
}

void RegisterMixerClasses() {
    RegisterObjectClass("TU32Mixer", [] { return std::make_unique<TU32Mixer>(); });
    RegisterObjectClass("TU32SignalSelector",
                        [] { return std::make_unique<TU32SignalSelector>(); });
    RegisterObjectClass("TU32SpecialMixer", [] { return std::make_unique<TU32SpecialMixer>(); });
    RegisterObjectClass("TU32SpcSignalSelector",
                        [] { return std::make_unique<TU32SpcSignalSelector>(); });
}

}  // namespace objscope::audio
