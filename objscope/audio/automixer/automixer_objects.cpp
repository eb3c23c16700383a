#include "audio/automixer/automixer_objects.h"

#include <algorithm>
#include <cstdio>
#include <typeinfo>

#include "model/object_factory.h"
#include "values/property_messages.h"
#include "values/property_stream.h"

namespace objscope::audio {

namespace {

struct ProcessingClass {
    const char* className;
    uint16_t classId;
};

// Indexed by TProcessingKind.
constexpr ProcessingClass kProcessingClasses[] = {
    {"TInlineAudioProcessing", 36},
    {"TU32Limiter", 37},
    {"TU32Compressor", 49},
    {"TU32ProgGainControl", 165},
};

template <class Value>
Value* Limited(Value* value, double low, double high) {
    value->SetMin(low);
    value->SetMax(high);
    value->SetHasMinMax(true);
    return value;
}

void SetupVoicingBand(TPeqFilterBand& band, double gain, uint8_t type, double hertz, double q) {
    band.SetGainDb(gain);
    band.SetFilterType(type);
    band.SetFilterClass(1);
    band.SetFilterOrder(1);
    band.SetFrequency(hertz);
    band.SetQ(q);
}

// The equaliser's signal leaves through its output stage.
uint16_t VoicedNode(const TU32Peq* eq) {
    return eq && eq->Output() ? eq->Output()->GetOutputNode(0) : 0;
}

void SetVoicedNode(TU32Peq* eq, uint16_t node) {
    if (eq && eq->Output())
        eq->Output()->SetOutputNode(0, node);
}

// A mixer keeps no record of its output stage and inputs: the automixer
// writes them after the mixer's own record (count, then each one).
void SaveMixerParts(ByteWriter& out, const TVEKroot& mixer) {
    const ObjectList parts = mixer.OwnedObjectList();
    out.u16(static_cast<uint16_t>(parts.size()));
    for (const TVEKroot* part : parts)
        part->SaveToStream(out);
}

bool LoadMixerParts(ByteReader& in, const TVEKroot& mixer) {
    const ObjectList parts = mixer.OwnedObjectList();
    const uint16_t count = in.u16();
    if (!in.ok() || count != parts.size())
        return false;
    for (TVEKroot* part : parts)
        if (!part->LoadFromStream(in))
            return false;
    return true;
}

std::unique_ptr<TVEKroot> NewProcessingObject(TProcessingKind kind) {
    const ProcessingClass& made = kProcessingClasses[static_cast<int>(kind)];
    if (kind == TProcessingKind::kNone)
        return std::make_unique<TInlineAudioProcessing>();
    auto object = CreateObjectOfClass(made.className, made.classId);
    return object ? std::move(object) : std::make_unique<TInlineAudioProcessing>();
}

// An object's tag when it lies in 1..limit, else 0.
int SlotTag(int tag, int limit) {
    return tag >= 1 && tag <= limit ? tag : 0;
}

}  // namespace

TProcessingKind ProcessingKindOf(const TVEKroot& object) {
    for (int k = 1; k <= 3; ++k)
        if (object.ClassID() == kProcessingClasses[k].classId)
            return static_cast<TProcessingKind>(k);
    return TProcessingKind::kNone;
}

std::string ShortNodeListText(size_t given, size_t needed) {
    char text[128];
    std::snprintf(text, sizeof text, "AutoMixer node list has %zu nodes, %zu are needed", given,
                  needed);
    return text;
}

std::vector<bool> GatingLights(const std::string& bits, int inputs) {
    std::vector<bool> lit(static_cast<size_t>(std::max(inputs, 0)), false);
    for (size_t k = 0; k < bits.size(); ++k) {
        const auto byte = static_cast<uint8_t>(bits[k]);
        for (int b = 0; b < 8; ++b) {
            const size_t input = 8 * k + static_cast<size_t>(b);  // 0-based
            if (input < lit.size() && (byte >> b & 1))
                lit[input] = true;
        }
    }
    return lit;
}

// ---- gate ----

TU32AutoMixerGate::TU32AutoMixerGate() {
    SetClassID(54);
    SetObjectName("AutoMixer Gate");
    Limited(AddProperty<TU32UByte>("InputType", automix_property::kInputType), 0, 1);
    Limited(AddProperty<TU32UByte>("GatingMode", automix_property::kGatingMode), 0, 3);
    Limited(AddProperty<TU32UByte>("Priority", automix_property::kPriority), 0, 255);
    Limited(AddProperty<TU32VEKSEC>("HoldTime", 20483), 0, 510)->SetData(3);
    discriminator_ = Limited(AddProperty<TU32UWord>("DiscrminatorNode", 20485), 0, 1024);
    level_ = Limited(AddProperty<TU32UWord>("Level", 20486), 0, 1024);
    detector_ = Limited(AddProperty<TU32UWord>("DetectorNode", 20487), 0, 1024);
    AddProperty<TU32UByte>("Curr Gate State", automix_property::kCurrGateState)->SetReadOnly(true);
    AddProperty<TU32VEKDB2>("Curr Input Level", automix_property::kCurrInputLevel)
        ->SetReadOnly(true);
    AddProperty<TU32Boolean>("Gate Request", 4108)->SetReadOnly(true);
    AddProperty<TU32VEKDB2>("Curr Gate Gain", 4109)->SetReadOnly(true);
    NumInputs = NumOutputs = MinInputs = MaxInputs = MinOutputs = MaxOutputs = 2;
}

std::string TU32AutoMixerGate::GetInputName(int index) const {
    return index == 2 ? "Discriminator Input" : TInlineAudioProcessing::GetInputName(index);
}

std::string TU32AutoMixerGate::GetOutputName(int index) const {
    return index == 2 ? "Level Output" : TInlineAudioProcessing::GetOutputName(index);
}

void TU32AutoMixerGate::SetInputNode(int index, uint16_t value) {
    if (index == 2)
        discriminator_->SetValue(value);
    else
        TInlineAudioProcessing::SetInputNode(index, value);
}

uint16_t TU32AutoMixerGate::GetInputNode(int index) const {
    return index == 2 ? discriminator_->Value() : TInlineAudioProcessing::GetInputNode(index);
}

void TU32AutoMixerGate::SetOutputNode(int index, uint16_t value) {
    if (index == 2)
        level_->SetValue(value);
    else
        TInlineAudioProcessing::SetOutputNode(index, value);
}

uint16_t TU32AutoMixerGate::GetOutputNode(int index) const {
    return index == 2 ? level_->Value() : TInlineAudioProcessing::GetOutputNode(index);
}

// ---- automixer ----

TU32AutoMixer::TU32AutoMixer() {
    SetClassID(70);
    SetObjectName("AutoMixer");
    Limited(AddProperty<TU32UByte>("NoMicsOperation", automix_property::kNoMicsOperation), 0, 2);
    auto* filibuster =
        AddProperty<TU32UByte>("FilibusterLimit", automix_property::kFilibusterLimit);
    filibuster->SetValue(1);
    Limited(filibuster, 1, 255);
    // Set before its limits: a new automixer names no onput channel.
    auto* onput = AddProperty<TU32UByte>("OutputInputTag", automix_property::kOutputInputTag);
    onput->SetValue(0);
    onput->SetMin(1);
    onput->SetMax(255);
    auto* micCount = AddProperty<TU32UByte>("TotalMicCount", 3075);
    micCount->SetValue(4);
    Limited(micCount, 1, 255)->SetReadOnly(true);
    AddProperty<TU32UWord>("NOMCount", 3076)->SetReadOnly(true);
    AddProperty<TU32UByte>("LastInputActivated", automix_property::kLastInputActivated)
        ->SetReadOnly(true);
    AddProperty<TU32UByte>("CurrentPriorityLevel", 3078)->SetReadOnly(true);
    AddProperty<TU32VEKBitSet>("InputActiveStates", 35847)->SetReadOnly(true);
    auto* offset = AddProperty<TU32VEKDB1>("Disc Offset Level", 3093);
    Limited(offset, -100, 0)->SetData(-50);
    MinInputs = kMinAutoMixInputs;
    MaxInputs = kMaxAutoMixInputs;
    MinOutputs = 1;
    MaxOutputs = kMaxAutoMixOutputs;
    ClearOwnedObjects();
    intDisc_ = NewOutputMixer(0);
    extDisc_ = NewOutputMixer(0);
    intDisc_->SetObjectName("IntDiscSummer");
    intDisc_->SetTagField(kIntDiscTag);
    intDisc_->SetNumInputs(static_cast<uint16_t>(InputCount()));
    extDisc_->SetObjectName("ExtDiscSummer");
    extDisc_->SetTagField(kExtDiscTag);
    extDisc_->SetNumInputs(2);
    UpdateCounts();
}

TAutoMixInput TU32AutoMixer::NewInput(int k) const {
    const std::string number = std::to_string(k);
    TAutoMixInput input;
    input.gate = std::make_unique<TU32AutoMixerGate>();
    input.gate->SetObjectName(number);
    input.gate->SetTagField(static_cast<uint8_t>(k));
    input.processing = std::make_unique<TInlineAudioProcessing>();
    input.processing->SetObjectName(number);
    input.processing->SetTagField(static_cast<uint8_t>(kProcessingTagBase + k));
    input.direct = std::make_unique<TInlineAudioProcessing>();
    input.direct->SetObjectName("D" + number);
    input.direct->SetTagField(static_cast<uint8_t>(k));
    input.direct->SetOutputNode(0, 0);
    input.eq = std::make_unique<TU32Peq>();
    input.eq->SetObjectName(number);
    input.eq->SetTagField(static_cast<uint8_t>(k));
    input.eq->SetBandCount(2);
    input.eq->Output()->Gain().gain->SetData(-2.5);
    SetupVoicingBand(input.eq->Band(0), 0, 102, 270.022529, 0.707031);
    SetupVoicingBand(input.eq->Band(1), 7, 1, 3390.002356, 0.550781);
    return input;
}

std::unique_ptr<TU32Mixer> TU32AutoMixer::NewOutputMixer(int m) const {
    auto mixer = std::make_unique<TU32Mixer>();
    mixer->SetObjectName(std::to_string(m));
    mixer->SetTagField(static_cast<uint8_t>(m));
    mixer->SetNumInputs(static_cast<uint16_t>(std::max(InputCount(), 1)));
    for (int k = 1; k <= InputCount(); ++k)
        if (const TVEKroot* processing = inputs_[static_cast<size_t>(k - 1)].processing.get())
            mixer->SetInputNode(k, processing->GetOutputNode(0));
    return mixer;
}

void TU32AutoMixer::UpdateCounts() {
    NumInputs = static_cast<uint16_t>(inputs_.size());
    NumOutputs = static_cast<uint16_t>(outputs_.size() + (showDirect_ ? inputs_.size() : 0));
    NumOwnedObjs = static_cast<uint16_t>(4 * inputs_.size() + outputs_.size() + (intDisc_ ? 1 : 0) +
                                         (extDisc_ ? 1 : 0));
}

void TU32AutoMixer::GrowInputs(size_t count) {
    while (inputs_.size() < count)
        inputs_.push_back(NewInput(static_cast<int>(inputs_.size()) + 1));
}

void TU32AutoMixer::SetNumInputs(uint16_t count) {
    const size_t n = std::clamp<size_t>(count, kMinAutoMixInputs, kMaxAutoMixInputs);
    if (n < inputs_.size())
        inputs_.resize(n);
    GrowInputs(n);
    for (auto& mixer : outputs_)
        if (mixer)
            mixer->SetNumInputs(static_cast<uint16_t>(n));
    if (intDisc_)
        intDisc_->SetNumInputs(static_cast<uint16_t>(n));
    UpdateCounts();
}

void TU32AutoMixer::SetNumOutputs(uint16_t count) {
    const size_t m = std::clamp<size_t>(count, 1, kMaxAutoMixOutputs);
    if (m < outputs_.size())
        outputs_.resize(m);
    while (outputs_.size() < m)
        outputs_.push_back(NewOutputMixer(static_cast<int>(outputs_.size()) + 1));
    UpdateCounts();
}

void TU32AutoMixer::SetShowDirectOutputs(bool on) {
    showDirect_ = on;
    if (!on)
        for (auto& input : inputs_)
            if (input.direct)
                input.direct->SetOutputNode(0, 0);
    UpdateCounts();
}

const TAutoMixInput* TU32AutoMixer::Input(int k) const {
    if (k < 1 || k > InputCount())
        return nullptr;
    return &inputs_[static_cast<size_t>(k - 1)];
}

TAutoMixInput* TU32AutoMixer::MutableInput(int k) {
    return const_cast<TAutoMixInput*>(Input(k));
}

TU32Mixer* TU32AutoMixer::OutputMixer(int m) const {
    if (m < 1 || m > OutputCount())
        return nullptr;
    return outputs_[static_cast<size_t>(m - 1)].get();
}

TProcessingKind TU32AutoMixer::Kind(int k) const {
    const TAutoMixInput* input = Input(k);
    return input ? input->kind : TProcessingKind::kNone;
}

TVEKroot* TU32AutoMixer::ReplaceProcessing(int k, TProcessingKind kind) {
    TAutoMixInput* input = MutableInput(k);
    if (!input)
        return nullptr;
    if (input->kind == kind && input->processing)
        return input->processing.get();
    uint16_t inNode = 0, outNode = 0, net = 0, dev = kNoHandle, obj = kNoHandle;
    if (const TVEKroot* old = input->processing.get()) {
        inNode = old->GetInputNode(0);
        outNode = old->GetOutputNode(0);
        net = old->NetHandle();
        dev = old->DevHandle();
        obj = old->ObjHandle();
    }
    input->processing.reset();
    auto made = NewProcessingObject(kind);
    made->SetInputNode(0, inNode);
    made->SetOutputNode(0, outNode);
    made->SetAddress(net, dev, obj);
    made->SetObjectName("Automatic Mixer Input " + std::to_string(k));
    made->SetTagField(static_cast<uint8_t>(kProcessingTagBase + k));
    made->SetOwnerHandle(ObjHandle());
    input->processing = std::move(made);
    input->kind = kind;
    return input->processing.get();
}

void TU32AutoMixer::SetInputName(int index, std::string_view text) {
    if (TAutoMixInput* input = MutableInput(index); input && input->gate)
        input->gate->SetInputName(1, text);
}

std::string TU32AutoMixer::GetInputName(int index) const {
    const TAutoMixInput* input = Input(index);
    return input && input->gate ? input->gate->GetInputName(1) : "<Error>";
}

void TU32AutoMixer::SetInputNode(int index, uint16_t value) {
    if (TAutoMixInput* input = MutableInput(index); input && input->gate)
        input->gate->SetInputNode(1, value);
}

uint16_t TU32AutoMixer::GetInputNode(int index) const {
    const TAutoMixInput* input = Input(index);
    return input && input->gate ? input->gate->GetInputNode(1) : 0;
}

void TU32AutoMixer::SetOutputName(int index, std::string_view text) {
    if (TU32Mixer* mixer = OutputMixer(index))
        mixer->SetOutputName(0, text);
    else if (const TAutoMixInput* input = Input(index - OutputCount());
             showDirect_ && input && input->direct)
        input->direct->SetObjectName(text);
}

std::string TU32AutoMixer::GetOutputName(int index) const {
    if (const TU32Mixer* mixer = OutputMixer(index))
        return mixer->GetOutputName(0);
    if (const TAutoMixInput* input = Input(index - OutputCount());
        showDirect_ && input && input->direct)
        return input->direct->ObjectName();
    return "<Error>";
}

void TU32AutoMixer::SetOutputNode(int index, uint16_t value) {
    if (TU32Mixer* mixer = OutputMixer(index))
        mixer->SetOutputNode(0, value);
    else if (const TAutoMixInput* input = Input(index - OutputCount());
             showDirect_ && input && input->direct)
        input->direct->SetOutputNode(0, value);
}

uint16_t TU32AutoMixer::GetOutputNode(int index) const {
    if (const TU32Mixer* mixer = OutputMixer(index))
        return mixer->GetOutputNode(0);
    if (const TAutoMixInput* input = Input(index - OutputCount());
        showDirect_ && input && input->direct)
        return input->direct->GetOutputNode(0);
    return 0;
}

void TU32AutoMixer::ClearOwnedObjects() {
    inputs_.clear();
    outputs_.clear();
    intDisc_.reset();
    extDisc_.reset();
    GrowInputs(kMinAutoMixInputs);
    outputs_.push_back(NewOutputMixer(1));
    UpdateCounts();
}

std::unique_ptr<TVEKroot> TU32AutoMixer::AddOwnedObject(std::unique_ptr<TVEKroot> object) {
    if (!object)
        return object;
    const int tag = object->TagField();
    if (dynamic_cast<TU32AutoMixerGate*>(object.get())) {
        const int k = SlotTag(tag, kMaxAutoMixInputs);
        if (k == 0)
            return object;
        GrowInputs(static_cast<size_t>(k));
        inputs_[static_cast<size_t>(k - 1)].gate.reset(
            static_cast<TU32AutoMixerGate*>(object.release()));
    } else if (auto* mixer = dynamic_cast<TU32Mixer*>(object.get())) {
        if (tag == kIntDiscTag || tag == kExtDiscTag) {
            object.release();
            (tag == kIntDiscTag ? intDisc_ : extDisc_).reset(mixer);
        } else if (const int m = SlotTag(tag, kMaxAutoMixOutputs); m != 0) {
            while (outputs_.size() < static_cast<size_t>(m))
                outputs_.push_back(NewOutputMixer(static_cast<int>(outputs_.size()) + 1));
            object.release();
            outputs_[static_cast<size_t>(m - 1)].reset(mixer);
        } else {
            return object;
        }
    } else if (tag >= kProcessingTagBase) {
        const int k = SlotTag(tag - kProcessingTagBase, kMaxAutoMixInputs);
        if (k == 0)
            return object;
        GrowInputs(static_cast<size_t>(k));
        TAutoMixInput& input = inputs_[static_cast<size_t>(k - 1)];
        input.kind = ProcessingKindOf(*object);
        input.processing = std::move(object);
    } else if (typeid(*object) == typeid(TInlineAudioProcessing)) {
        const int k = SlotTag(tag, kMaxAutoMixInputs);
        if (k == 0)
            return object;
        GrowInputs(static_cast<size_t>(k));
        inputs_[static_cast<size_t>(k - 1)].direct.reset(
            static_cast<TInlineAudioProcessing*>(object.release()));
    } else if (dynamic_cast<TU32Peq*>(object.get())) {
        const int k = SlotTag(tag, kMaxAutoMixInputs);
        if (k == 0)
            return object;
        GrowInputs(static_cast<size_t>(k));
        inputs_[static_cast<size_t>(k - 1)].eq.reset(static_cast<TU32Peq*>(object.release()));
    } else {
        return object;
    }
    UpdateCounts();
    return nullptr;
}

ObjectList TU32AutoMixer::OwnedObjectList() const {
    ObjectList list;
    const auto add = [&list](TVEKroot* object) {
        if (object)
            list.push_back(object);
    };
    for (const auto& input : inputs_) {
        add(input.gate.get());
        add(input.processing.get());
        add(input.direct.get());
        add(input.eq.get());
    }
    for (const auto& mixer : outputs_)
        add(mixer.get());
    add(intDisc_.get());
    add(extDisc_.get());
    return list;
}

void TU32AutoMixer::CollectObjects(ObjectList& list) {
    TVEKroot::CollectObjects(list);
    for (TVEKroot* object : OwnedObjectList())
        list.push_back(object);
}

std::vector<uint16_t> TU32AutoMixer::GetNodeList() const {
    std::vector<uint16_t> nodes;
    for (const auto& input : inputs_) {
        nodes.push_back(input.gate ? input.gate->GetOutputNode(1) : 0);
        nodes.push_back(input.gate ? input.gate->LevelNode() : 0);
        nodes.push_back(input.processing ? input.processing->GetOutputNode(0) : 0);
        nodes.push_back(VoicedNode(input.eq.get()));
    }
    nodes.push_back(intDisc_ ? intDisc_->GetOutputNode(0) : 0);
    nodes.push_back(extDisc_ ? extDisc_->GetOutputNode(0) : 0);
    return nodes;
}

void TU32AutoMixer::SetNodeList(const std::vector<uint16_t>& nodes) {
    const size_t needed = 4 * inputs_.size() + 2;
    if (nodes.size() < needed) {
        ShowPropertyMessage(ShortNodeListText(nodes.size(), needed));
        return;
    }
    size_t at = 0;
    for (auto& input : inputs_) {
        const uint16_t gateOut = nodes[at++];
        const uint16_t level = nodes[at++];
        const uint16_t processed = nodes[at++];
        const uint16_t voiced = nodes[at++];
        if (input.gate) {
            input.gate->SetOutputNode(1, gateOut);
            input.gate->SetOutputNode(2, level);
        }
        if (input.processing)
            input.processing->SetOutputNode(0, processed);
        SetVoicedNode(input.eq.get(), voiced);
    }
    if (intDisc_)
        intDisc_->SetOutputNode(0, nodes[at]);
    if (extDisc_)
        extDisc_->SetOutputNode(0, nodes[at + 1]);
    Rewire();
}

// The fixed connections inside the automixer, from the nodes it holds.
void TU32AutoMixer::Rewire() {
    const uint16_t intDiscOut = intDisc_ ? intDisc_->GetOutputNode(0) : 0;
    const uint16_t extDiscOut = extDisc_ ? extDisc_->GetOutputNode(0) : 0;
    for (int k = 1; k <= InputCount(); ++k) {
        TAutoMixInput& input = inputs_[static_cast<size_t>(k - 1)];
        const uint16_t processed = input.processing ? input.processing->GetOutputNode(0) : 0;
        if (input.processing && input.gate)
            input.processing->SetInputNode(0, input.gate->GetOutputNode(1));
        if (input.direct)
            input.direct->SetInputNode(0, processed);
        if (input.gate && input.eq)
            input.gate->SetDetectorNode(VoicedNode(input.eq.get()));
        for (auto& mixer : outputs_)
            if (mixer)
                mixer->SetInputNode(k, processed);
        if (intDisc_ && input.gate)
            intDisc_->SetInputNode(k, input.gate->LevelNode());
        if (input.gate)
            input.gate->SetInputNode(2, extDiscOut);
    }
    if (extDisc_)
        extDisc_->SetInputNode(2, intDiscOut);
}

void TU32AutoMixer::CopyLayout(const TVEKroot& other) {
    const auto* source = dynamic_cast<const TU32AutoMixer*>(&other);
    if (!source || source == this)
        return;
    SetNumInputs(static_cast<uint16_t>(source->InputCount()));
    SetNumOutputs(static_cast<uint16_t>(source->OutputCount()));
    SetShowDirectOutputs(source->ShowDirectOutputs());
    for (int k = 1; k <= InputCount(); ++k)
        ReplaceProcessing(k, source->Kind(k));
    SetNodeList(std::vector<uint16_t>(4 * inputs_.size() + 2, 0));
}

// Counts, the direct-output switch and each input's processing kind, the
// "Data" marker, then every owned object's record in collection order.
void TU32AutoMixer::SaveClassRecords(ByteWriter& out) const {
    out.u16(static_cast<uint16_t>(inputs_.size()));
    out.u16(static_cast<uint16_t>(outputs_.size()));
    out.u8(showDirect_ ? 1 : 0);
    for (const auto& input : inputs_)
        out.u8(static_cast<uint8_t>(input.kind));
    WriteSectionTag(out, "Data");
    for (const TVEKroot* object : OwnedObjectList()) {
        object->SaveToStream(out);
        if (dynamic_cast<const TU32Mixer*>(object))
            SaveMixerParts(out, *object);
    }
}

bool TU32AutoMixer::LoadClassRecords(ByteReader& in) {
    const bool ok = LoadOwned(in);
    if (!ok)
        ShowPropertyMessage("Error Reading AutoMixer Data");
    return ok;
}

void TU32AutoMixer::FillMissing(int k) {
    TAutoMixInput& input = inputs_[static_cast<size_t>(k - 1)];
    TAutoMixInput fresh = NewInput(k);
    if (!input.gate)
        input.gate = std::move(fresh.gate);
    if (!input.processing) {
        input.processing = std::move(fresh.processing);
        input.kind = TProcessingKind::kNone;
    }
    if (!input.direct)
        input.direct = std::move(fresh.direct);
    if (!input.eq)
        input.eq = std::move(fresh.eq);
}

bool TU32AutoMixer::LoadOwned(ByteReader& in) {
    const uint16_t inputs = in.u16();
    const uint16_t outputs = in.u16();
    const uint8_t showDirect = in.u8();
    if (!in.ok() || inputs < kMinAutoMixInputs || inputs > kMaxAutoMixInputs || outputs < 1 ||
        outputs > kMaxAutoMixOutputs)
        return false;
    // Objects missing after a rebuild come back fresh before they are read into.
    if (!intDisc_) {
        intDisc_ = NewOutputMixer(0);
        intDisc_->SetTagField(kIntDiscTag);
    }
    if (!extDisc_) {
        extDisc_ = NewOutputMixer(0);
        extDisc_->SetTagField(kExtDiscTag);
    }
    SetNumInputs(inputs);
    SetNumOutputs(outputs);
    SetShowDirectOutputs(showDirect != 0);
    for (int k = 1; k <= InputCount(); ++k) {
        const uint8_t kind = in.u8();
        if (!in.ok() || kind > 3)
            return false;
        FillMissing(k);
        ReplaceProcessing(k, static_cast<TProcessingKind>(kind));
    }
    if (!ReadSectionTag(in, "Data"))
        return false;
    for (TVEKroot* object : OwnedObjectList()) {
        if (!object->LoadFromStream(in))
            return false;
        if (dynamic_cast<const TU32Mixer*>(object) && !LoadMixerParts(in, *object))
            return false;
    }
    return true;
}

void RegisterAutoMixerClasses() {
    RegisterObjectClass("TU32AutoMixerGate", [] { return std::make_unique<TU32AutoMixerGate>(); });
    RegisterObjectClass("TU32AutoMixer", [] { return std::make_unique<TU32AutoMixer>(); });
}

}  // namespace objscope::audio
