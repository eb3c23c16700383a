#include "audio/paging/paging_objects.h"

#include <algorithm>

#include "model/object_factory.h"
#include "values/property_messages.h"
#include "values/property_stream.h"

namespace objscope::audio {

namespace {

// Slot m (1-based) of a list of inputs; none outside the list or empty.
template <class Input>
Input* Slot(const std::vector<std::unique_ptr<Input>>& inputs, int m) {
    if (m < 1 || m > static_cast<int>(inputs.size()))
        return nullptr;
    return inputs[static_cast<size_t>(m - 1)].get();
}

template <class Input>
void AppendSlots(const std::vector<std::unique_ptr<Input>>& inputs, ObjectList& list) {
    for (const auto& input : inputs)
        if (input)
            list.push_back(input.get());
}

template <class Input>
void CollectSlots(const std::vector<std::unique_ptr<Input>>& inputs, ObjectList& list) {
    for (const auto& input : inputs)
        if (input)
            input->CollectObjects(list);
}

// The stored input count; a count no object can hold means the stream is
// not one of ours (reading on would take the next records for inputs).
bool ReadInputCount(ByteReader& in, uint16_t& count) {
    count = in.u16();
    return in.ok() && count <= kMaxZoneInputs;
}

std::unique_ptr<TU32DuckableInput> NewProgramInput(int m) {
    auto input = std::make_unique<TU32DuckableInput>();
    input->SetObjectName(std::to_string(m));
    input->SetGainLimits(-60, 0);
    input->SetTagField(static_cast<uint8_t>(m));
    return input;
}

std::unique_ptr<TAudioObjectInput> NewBusInput(int i) {
    auto input = std::make_unique<TAudioObjectInput>();
    input->SetObjectName(std::to_string(i));
    return input;
}

}  // namespace

// ---- duckable input ----

TU32DuckableInput::TU32DuckableInput() {
    SetClassID(72);
    SetObjectName("Duckable Input");
    auto limit = [](TU32MultiValue* value, double low, double high) {
        value->SetMin(low);
        value->SetMax(high);
        value->SetHasMinMax(true);
    };
    auto* current = AddProperty<TU32VEKDB2>("Current Gain", 21504);
    current->SetReadOnly(true);
    duckState_ = AddProperty<TU32UByte>("Duck State", 5121);
    limit(duckState_, 0, 2);
    auto* offset = AddProperty<TU32VEKDB1>("Ducked Offset", 5122);
    limit(offset, -100, 27.5);
    offset->SetData(0);
    auto* duckPriority = AddProperty<TU32UByte>("Duck Priority", 5123);
    duckPriority->SetValue(255);
    limit(duckPriority, 0, 255);
    limit(AddProperty<TU32UByte>("Mute Priority", 5124), 0, 255);
    limit(AddProperty<TU32VEKuSec3>("Duck Time", 54277), 0, 8.389);
    limit(AddProperty<TU32VEKuSec3>("Release Time", 54278), 0, 8.389);
}

void TU32DuckableInput::SetGainLimits(double low, double high) {
    TU32VEKDB1* gain = Gain().gain;
    gain->SetMin(low);
    gain->SetMax(high);
    gain->SetHasMinMax(true);
}

bool AppendGainMutePolarity(TVEKroot* stage, PropertyList& list) {
    if (!stage)
        return false;
    for (uint16_t id : {paging_property::kGain, paging_property::kMute, uint16_t{20481}})
        if (TVEKPropertyBase* property = stage->FindProperty(id))
            list.push_back(property);
    return true;
}

// ---- page zone ----

TU32PageZone::TU32PageZone() {
    SetClassID(73);
    SetObjectName("Page Zone");
    AddProperty<TU32UWord>("Zone Number", 20480);
    AddProperty<TU32UByte>("Slave Bus ID", 4097);
    auto* state = AddProperty<TU32UByte>("Zone State", 4098);
    state->SetReadOnly(true);
    state->SetMin(0);
    state->SetMax(3);
    state->SetHasMinMax(true);
    AddProperty<TU32UByte>("Current Page Bus", 4099)->SetReadOnly(true);
    AddProperty<TU32VEKDB1>("Current Priority", 4100)->SetReadOnly(true);
    AddProperty<TU32aesOBJ_Handle>("Page Level Adjust", 4101)->SetReadOnly(true);
    AddProperty<TU32aesOBJ_Handle>("Zone Mgr Handle", 20486)->SetData(65500);
    NumOutputs = MinOutputs = MaxOutputs = 1;
    MinInputs = 0;
    MaxInputs = kMaxZoneInputs;

    pageBus_ = std::make_unique<TU32DuckableInput>();
    pageBus_->SetObjectName("Page Bus Input");
    pageBus_->SetTagField(255);
    pageBus_->SetDuckState(2);
    pageBus_->SetInputNode(0, 1);
    output_ = std::make_unique<TOutputGainControl>();
    output_->SetObjectName("1");
    TU32VEKDB1* gain = output_->Gain().gain;
    gain->SetMin(-60);
    gain->SetMax(10);
    gain->SetHasMinMax(true);
    SetNumInputs(1);
}

void TU32PageZone::SetNumInputs(uint16_t count) {
    const size_t n = std::min<size_t>(count, kMaxZoneInputs);
    if (n < inputs_.size())
        inputs_.resize(n);
    while (inputs_.size() < n)
        inputs_.push_back(NewProgramInput(static_cast<int>(inputs_.size()) + 1));
    UpdateCounts();
}

void TU32PageZone::UpdateCounts() {
    NumInputs = static_cast<uint16_t>(inputs_.size());
    NumOwnedObjs = static_cast<uint16_t>(inputs_.size() + 2);
}

TU32DuckableInput* TU32PageZone::Input(int m) const {
    return Slot(inputs_, m);
}

void TU32PageZone::SetInputName(int index, std::string_view text) {
    if (TU32DuckableInput* input = Input(index))
        input->SetInputName(0, text);
}

std::string TU32PageZone::GetInputName(int index) const {
    const TU32DuckableInput* input = Input(index);
    return input ? input->GetInputName(0) : kNoSuchInput;
}

void TU32PageZone::SetOutputName(int, std::string_view text) {
    if (output_)
        output_->SetOutputName(0, text);
}

std::string TU32PageZone::GetOutputName(int) const {
    return output_ ? output_->GetOutputName(0) : kNoSuchInput;
}

void TU32PageZone::SetInputNode(int index, uint16_t value) {
    if (TU32DuckableInput* input = Input(index))
        input->SetInputNode(0, value);
}

uint16_t TU32PageZone::GetInputNode(int index) const {
    const TU32DuckableInput* input = Input(index);
    return input ? input->GetInputNode(0) : 0;
}

void TU32PageZone::SetOutputNode(int, uint16_t value) {
    if (output_)
        output_->SetOutputNode(0, value);
}

uint16_t TU32PageZone::GetOutputNode(int) const {
    return output_ ? output_->GetOutputNode(0) : 0;
}

void TU32PageZone::ClearOwnedObjects() {
    pageBus_.reset();
    output_.reset();
    inputs_.clear();
    NumInputs = 0;
    NumOwnedObjs = 0;
}

std::unique_ptr<TVEKroot> TU32PageZone::AddOwnedObject(std::unique_ptr<TVEKroot> object) {
    if (auto* output = dynamic_cast<TOutputGainControl*>(object.get())) {
        object.release();
        output_.reset(output);
    } else if (auto* input = dynamic_cast<TU32DuckableInput*>(object.get())) {
        const int tag = input->TagField();
        if (tag == 0 || tag == 255) {
            object.release();
            pageBus_.reset(input);
        } else if (tag <= kMaxZoneInputs) {
            if (inputs_.size() < static_cast<size_t>(tag))
                inputs_.resize(static_cast<size_t>(tag));
            object.release();
            inputs_[static_cast<size_t>(tag - 1)].reset(input);
        } else {
            return object;  // no slot of a zone has that number
        }
    } else {
        return object;
    }
    UpdateCounts();
    return nullptr;
}

void TU32PageZone::CollectObjects(ObjectList& list) {
    TVEKroot::CollectObjects(list);
    if (pageBus_)
        pageBus_->CollectObjects(list);
    if (output_)
        output_->CollectObjects(list);
    CollectSlots(inputs_, list);
}

ObjectList TU32PageZone::OwnedObjectList() const {
    ObjectList list;
    if (pageBus_)
        list.push_back(pageBus_.get());
    if (output_)
        list.push_back(output_.get());
    AppendSlots(inputs_, list);
    return list;
}

bool TU32PageZone::GetInputProperties(int index, PropertyList& list) {
    TU32DuckableInput* input = Input(index);
    if (!input)
        return TVEKroot::GetInputProperties(index, list);
    return AppendGainMutePolarity(input, list);
}

bool TU32PageZone::GetOutputProperties(int index, PropertyList& list) {
    if (!output_)
        return TVEKroot::GetOutputProperties(index, list);
    return AppendGainMutePolarity(output_.get(), list);
}

// Count, page bus, output stage, the "Data" marker, then the inputs. An
// empty slot is written as the input a new slot would get, so the record
// always holds as many inputs as its count says.
void TU32PageZone::SaveClassRecords(ByteWriter& out) const {
    out.u16(static_cast<uint16_t>(inputs_.size()));
    if (pageBus_)
        pageBus_->SaveToStream(out);
    else
        TU32DuckableInput().SaveToStream(out);
    if (output_)
        output_->SaveToStream(out);
    else
        TOutputGainControl().SaveToStream(out);
    WriteSectionTag(out, "Data");
    for (size_t i = 0; i < inputs_.size(); ++i) {
        if (inputs_[i])
            inputs_[i]->SaveToStream(out);
        else
            NewProgramInput(static_cast<int>(i) + 1)->SaveToStream(out);
    }
}

bool TU32PageZone::LoadClassRecords(ByteReader& in) {
    if (!pageBus_)
        pageBus_ = std::make_unique<TU32DuckableInput>();
    if (!output_)
        output_ = std::make_unique<TOutputGainControl>();
    const bool ok = LoadInputs(in);
    if (!ok)
        ShowPropertyMessage("Error Reading Page Zone Data");
    return ok;
}

bool TU32PageZone::LoadInputs(ByteReader& in) {
    uint16_t count = 0;
    if (!ReadInputCount(in, count))
        return false;
    SetNumInputs(count);
    // Slots left empty by a rebuild are filled before they are read into.
    for (size_t i = 0; i < inputs_.size(); ++i)
        if (!inputs_[i])
            inputs_[i] = NewProgramInput(static_cast<int>(i) + 1);
    if (!pageBus_->LoadFromStream(in) || !output_->LoadFromStream(in) ||
        !ReadSectionTag(in, "Data"))
        return false;
    for (auto& input : inputs_)
        if (!input->LoadFromStream(in))
            return false;
    return true;
}

// ---- zone manager ----

TU32ZoneManager::TU32ZoneManager() {
    SetClassID(74);
    SetObjectName("Zone Manager");
    MinInputs = 0;
    MaxInputs = kMaxZoneInputs;
    SetNumInputs(8);
}

void TU32ZoneManager::SetNumInputs(uint16_t count) {
    const size_t n = std::min<size_t>(count, kMaxZoneInputs);
    if (n < inputs_.size())
        inputs_.resize(n);
    while (inputs_.size() < n)
        inputs_.push_back(NewBusInput(static_cast<int>(inputs_.size()) + 1));
    UpdateCounts();
}

void TU32ZoneManager::UpdateCounts() {
    NumInputs = static_cast<uint16_t>(inputs_.size());
    NumOwnedObjs = NumInputs;
}

TAudioObjectInput* TU32ZoneManager::Input(int i) const {
    return Slot(inputs_, i);
}

void TU32ZoneManager::SetInputName(int index, std::string_view text) {
    if (TAudioObjectInput* input = Input(index))
        input->SetInputName(0, text);
}

std::string TU32ZoneManager::GetInputName(int index) const {
    const TAudioObjectInput* input = Input(index);
    return input ? input->GetInputName(0) : kNoSuchInput;
}

void TU32ZoneManager::SetInputNode(int index, uint16_t value) {
    if (TAudioObjectInput* input = Input(index))
        input->SetInputNode(0, value);
}

uint16_t TU32ZoneManager::GetInputNode(int index) const {
    const TAudioObjectInput* input = Input(index);
    return input ? input->GetInputNode(0) : 0;
}

void TU32ZoneManager::ClearOwnedObjects() {
    inputs_.clear();
    UpdateCounts();
}

std::unique_ptr<TVEKroot> TU32ZoneManager::AddOwnedObject(std::unique_ptr<TVEKroot> object) {
    auto* input = dynamic_cast<TAudioObjectInput*>(object.get());
    if (!input || inputs_.size() >= kMaxZoneInputs)
        return object;
    object.release();
    inputs_.emplace_back(input);
    UpdateCounts();
    return nullptr;
}

void TU32ZoneManager::CollectObjects(ObjectList& list) {
    TVEKroot::CollectObjects(list);
    CollectSlots(inputs_, list);
}

ObjectList TU32ZoneManager::OwnedObjectList() const {
    ObjectList list;
    AppendSlots(inputs_, list);
    return list;
}

void TU32ZoneManager::SaveClassRecords(ByteWriter& out) const {
    out.u16(static_cast<uint16_t>(inputs_.size()));
    WriteSectionTag(out, "Data");
    for (const auto& input : inputs_)
        input->SaveToStream(out);
}

bool TU32ZoneManager::LoadClassRecords(ByteReader& in) {
    const bool ok = LoadInputs(in);
    if (!ok)
        ShowPropertyMessage("Error Reading Zone Manager Data");
    return ok;
}

bool TU32ZoneManager::LoadInputs(ByteReader& in) {
    uint16_t count = 0;
    if (!ReadInputCount(in, count))
        return false;
    SetNumInputs(count);
    if (!ReadSectionTag(in, "Data"))
        return false;
    for (auto& input : inputs_)
        if (!input->LoadFromStream(in))
            return false;
    return true;
}

void RegisterPagingClasses() {
    RegisterObjectClass("TU32DuckableInput", [] { return std::make_unique<TU32DuckableInput>(); });
    RegisterObjectClass("TU32PageZone", [] { return std::make_unique<TU32PageZone>(); });
    RegisterObjectClass("TU32ZoneManager", [] { return std::make_unique<TU32ZoneManager>(); });
}

}  // namespace objscope::audio
