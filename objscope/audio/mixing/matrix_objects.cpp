#include "audio/mixing/matrix_objects.h"

#include <algorithm>

#include "model/object_factory.h"

namespace objscope::audio {

namespace {

// Input names, connection names and sources of output 1 for a new output.
void CopyInputsOf(const TMixerBase& first, TMixerBase& output) {
    for (int k = 1; k <= std::min(first.InputCount(), output.InputCount()); ++k) {
        const TInputGainControl* from = first.Input(k);
        TInputGainControl* to = output.Input(k);
        if (!from || !to)
            continue;
        to->SetObjectName(from->ObjectName());
        to->SetInputName(0, from->GetInputName(0));
        to->SetInputNode(0, from->GetInputNode(0));
    }
}

}  // namespace

TMatrixBase::TMatrixBase(uint16_t classId, const char* name) {
    SetClassID(classId);
    SetObjectName(name);
    muteAll_ = AddProperty<TU32Boolean>("Mute All?", MakePropertyID(3, 0, 0));
    forceOneAll_ = AddProperty<TU32Boolean>("Force One Sel All?", MakePropertyID(3, 1, 0));
    MaxInputs = MaxOutputs = kMaxMatrixSide;
}

void TMatrixBase::UpdateCounts() {
    NumOutputs = static_cast<uint16_t>(outputs_.size());
    uint16_t owned = 0;
    for (const auto& output : outputs_)
        owned += output ? 1 : 0;
    NumOwnedObjs = owned;
}

int TMatrixBase::InputCount() const {
    int count = NumInputs;
    for (const auto& output : outputs_) {
        if (output)
            count = std::max(count, output->InputCount());
    }
    return count;
}

TMixerBase* TMatrixBase::Output(int o) const {
    if (o < 1 || o > OutputCount())
        return nullptr;
    return outputs_[static_cast<size_t>(o - 1)].get();
}

void TMatrixBase::HearOwnInput(TMixerBase& output, int o) const {
    for (int k = 1; k <= output.InputCount(); ++k) {
        if (TInputGainControl* input = output.Input(k))
            SetMuted(*input, k != o);
    }
}

void TMatrixBase::SetNumInputs(uint16_t count) {
    NumInputs = static_cast<uint16_t>(std::clamp<int>(count, 1, kMaxMatrixSide));
    for (int o = 1; o <= OutputCount(); ++o) {
        TMixerBase* output = Output(o);
        if (!output)
            continue;
        const int before = output->InputCount();
        output->SetNumInputs(NumInputs);
        MuteNewInputs(*output, o, before + 1);
    }
}

void TMatrixBase::MuteNewInputs(TMixerBase& output, int o, int first) const {
    for (int k = first; k <= output.InputCount(); ++k) {
        if (TInputGainControl* input = output.Input(k))
            SetMuted(*input, k != o);
    }
}

void TMatrixBase::SetNumOutputs(uint16_t count) {
    const int wanted = std::clamp<int>(count, 1, kMaxMatrixSide);
    if (OutputCount() > wanted)
        outputs_.resize(static_cast<size_t>(wanted));
    while (OutputCount() < wanted) {
        const int o = OutputCount() + 1;
        std::unique_ptr<TMixerBase> output = NewOutput(o);
        output->SetOwnerHandle(ObjHandle());
        output->SetTagField(TagOfOutput(o));
        output->SetNumInputs(NumInputs);
        if (const TMixerBase* first = Output(1))
            CopyInputsOf(*first, *output);
        HearOwnInput(*output, o);
        outputs_.push_back(std::move(output));
    }
    UpdateCounts();
}

bool TMatrixBase::Connected(int o, int i) const {
    const TMixerBase* output = Output(o);
    const TInputGainControl* input = output ? output->Input(i) : nullptr;
    return input && !IsMuted(*input);
}

void TMatrixBase::SetConnected(int o, int i, bool connected) {
    TMixerBase* output = Output(o);
    if (TInputGainControl* input = output ? output->Input(i) : nullptr)
        SetMuted(*input, !connected);
}

void TMatrixBase::ClearOwnedObjects() {
    outputs_.clear();
    NumInputs = 0;
    UpdateCounts();
}

std::unique_ptr<TVEKroot> TMatrixBase::AddOwnedObject(std::unique_ptr<TVEKroot> object) {
    if (!object || !IsOwnKind(*object))
        return object;
    const int o = OutputOfTag(object->TagField());
    if (OutputCount() < o)
        outputs_.resize(static_cast<size_t>(o));
    auto* output = static_cast<TMixerBase*>(object.release());
    outputs_[static_cast<size_t>(o - 1)].reset(output);
    UpdateCounts();
    return nullptr;
}

void TMatrixBase::CollectObjects(ObjectList& list) {
    TVEKroot::CollectObjects(list);
    for (const auto& output : outputs_) {
        if (output)
            output->CollectObjects(list);
    }
}

ObjectList TMatrixBase::OwnedObjectList() const {
    ObjectList list;
    for (const auto& output : outputs_) {
        if (output)
            list.push_back(output.get());
    }
    return list;
}

// ---- router ----

TU32MatrixRouter::TU32MatrixRouter() : TMatrixBase(68, "Matrix Router") {}

std::unique_ptr<TMixerBase> TU32MatrixRouter::NewOutput(int o) const {
    auto selector = std::make_unique<TU32SpcSignalSelector>();
    selector->SetObjectName("Internal Selector " + std::to_string(o));
    return selector;
}

bool TU32MatrixRouter::IsOwnKind(const TVEKroot& object) const {
    return dynamic_cast<const TU32SignalSelector*>(&object) != nullptr;
}

void TU32MatrixRouter::HearOwnInput(TMixerBase& output, int o) const {
    static_cast<TU32SignalSelector&>(output).SetSelection(o);
}

// ---- combiner ----

TU32MatrixCombiner::TU32MatrixCombiner() : TMatrixBase(69, "Matrix Combiner") {
    selfRouting_ = AddProperty<TU32Boolean>("Self-Routing?", MakePropertyID(4, 0, 0));
    mode_ = AddProperty<TU32UByte>("Combining Mode", MakePropertyID(4, 1, 0));
    mode_->SetMin(0);
    mode_->SetMax(3);
    mode_->SetHasMinMax(true);
    mode_->SetValue(0);
    SetNumInputs(1);
    SetNumOutputs(1);
}

std::unique_ptr<TMixerBase> TU32MatrixCombiner::NewOutput(int o) const {
    auto mixer = std::make_unique<TU32SpecialMixer>();
    mixer->SetObjectName("Internal Mixer " + std::to_string(o));
    return mixer;
}

bool TU32MatrixCombiner::IsOwnKind(const TVEKroot& object) const {
    return dynamic_cast<const TU32Mixer*>(&object) != nullptr;
}

void RegisterMatrixClasses() {
    RegisterObjectClass("TU32MatrixRouter", [] { return std::make_unique<TU32MatrixRouter>(); });
    RegisterObjectClass("TU32MatrixCombiner",
                        [] { return std::make_unique<TU32MatrixCombiner>(); });
}

}  // namespace objscope::audio
