#include "audio/delay/delay_objects.h"

#include <algorithm>

#include "audio/shared/property_setup.h"
#include "model/object_factory.h"

namespace objscope::audio {

namespace {

constexpr uint16_t kAutoCalcTapClass = 51;

}  // namespace

TSignalDelay::TSignalDelay() {
    SetClassID(35);
    SetObjectName("Signal Delay");
    delay_ = AddAtLeast<TU32VEKuSec3>(*this, "Delay Time", 36864, 0, 0);
}

TSignalDelayAutoCalc::TSignalDelayAutoCalc() {
    SetClassID(kAutoCalcTapClass);
    SetObjectName("Signal Delay (Auto-Calc)");
    delay_ = AddAtLeast<TU32VEKuSec3>(*this, "Base Delay Time", 37888, 0, 0);
    AddNumber<TU32Boolean>(*this, "Auto Calc Flag", 5121, 0);
    AddNumber<TU32SWord>(*this, "Target X", 21506, 0);
    AddNumber<TU32SWord>(*this, "Target Y", 21507, 0);
    AddNumber<TU32SWord>(*this, "Target Z", 21508, 0);
    AddNumber<TU32SWord>(*this, "Target Offset", 21509, 0);
}

TU32SignalDelayLine::TU32SignalDelayLine() : input_(std::make_unique<TAudioObjectInput>()) {
    SetClassID(61);
    SetObjectName("Signal Delay Line");
    AddNumber<TU32Boolean>(*this, "Bypass State", 3072, 0);
    AddAtLeast<TU32VEKuSec3>(*this, "Max Delay Time", 35841, 100, 0);
    AddLimited<TU32VEKScaler2>(*this, "Scaling Factor (dev from 1)", 19458, 0, -1, 1);
    AddNumber<TU32Boolean>(*this, "Auto Calc Enable", 3075, 0);
    AddReading<TU32VEKuSec3>(*this, "Stage X Ref Delay", 35844, 0);
    AddReading<TU32VEKuSec3>(*this, "Stage Y Ref Delay", 35845, 0);
    AddNumber<TU32SWord>(*this, "Source X Position", 19462, 0);
    AddNumber<TU32SWord>(*this, "Source Y Position", 19463, 0);
    AddNumber<TU32SWord>(*this, "Source Z Position", 19464, 0);
    NumInputs = MinInputs = MaxInputs = 1;
    MinOutputs = 1;
    MaxOutputs = kMaxDelayTaps;
    SetNumOutputs(1);
}

std::unique_ptr<TDelayTap> TU32SignalDelayLine::MakeTap() const {
    return std::make_unique<TSignalDelay>();
}

void TU32SignalDelayLine::SetNumOutputs(uint16_t n) {
    const auto count = static_cast<size_t>(std::clamp<int>(n, 1, kMaxDelayTaps));
    taps_.resize(std::min(count, taps_.size()));
    while (taps_.size() < count) {
        auto tap = MakeTap();
        const auto number = static_cast<uint8_t>(taps_.size() + 1);
        tap->SetObjectName("Delay " + std::to_string(number));
        tap->SetTagField(number);
        taps_.push_back(std::move(tap));
    }
    UpdateCounts();
}

void TU32SignalDelayLine::RemakeTaps() {
    const auto count = static_cast<uint16_t>(taps_.size());
    taps_.clear();
    SetNumOutputs(count);
}

void TU32SignalDelayLine::UpdateCounts() {
    NumOutputs = static_cast<uint16_t>(taps_.size());
    NumOwnedObjs = static_cast<uint16_t>(taps_.size());
}

std::string TU32SignalDelayLine::GetOutputName(int index) const {
    return index >= 1 && index <= TapCount() ? Tap(index - 1).ObjectName() : std::string();
}

uint16_t TU32SignalDelayLine::GetOutputNode(int index) const {
    return index >= 1 && index <= TapCount() ? Tap(index - 1).GetOutputNode(1) : 0;
}

void TU32SignalDelayLine::ClearOwnedObjects() {
    input_.reset();
    taps_.clear();
    UpdateCounts();
}

std::unique_ptr<TVEKroot> TU32SignalDelayLine::AddOwnedObject(std::unique_ptr<TVEKroot> object) {
    if (auto* tap = dynamic_cast<TDelayTap*>(object.get())) {
        if (TapCount() >= kMaxDelayTaps)
            return object;
        object.release();
        taps_.emplace_back(tap);
    } else if (auto* input = dynamic_cast<TAudioObjectInput*>(object.get())) {
        object.release();
        input_.reset(input);
    } else {
        return object;
    }
    UpdateCounts();
    return nullptr;
}

void TU32SignalDelayLine::CollectObjects(ObjectList& list) {
    TVEKroot::CollectObjects(list);
    if (input_)
        input_->CollectObjects(list);
    for (const auto& tap : taps_)
        tap->CollectObjects(list);
}

ObjectList TU32SignalDelayLine::OwnedObjectList() const {
    ObjectList list;
    if (input_)
        list.push_back(input_.get());
    for (const auto& tap : taps_)
        list.push_back(tap.get());
    return list;
}

TU32DelayLineAutoCalc::TU32DelayLineAutoCalc() {
    SetObjectName("Delay Line (Auto-Calc)");
    // The tap made by the base constructor is of the plain kind.
    RemakeTaps();
}

std::unique_ptr<TDelayTap> TU32DelayLineAutoCalc::MakeTap() const {
    return std::make_unique<TSignalDelayAutoCalc>();
}

TU32SampleDelay::TU32SampleDelay() {
    SetClassID(50);
    SetObjectName("Sample Delay");
    AddLimited<TU32UByte>(*this, "Samples of Delay", kSamplesOfDelayProperty, 1, 1, 20);
}

void RegisterDelayClasses() {
    RegisterObjectClass("TSignalDelay", [](uint16_t classId) -> std::unique_ptr<TVEKroot> {
        if (classId == kAutoCalcTapClass)
            return std::make_unique<TSignalDelayAutoCalc>();
        return std::make_unique<TSignalDelay>();
    });
    RegisterObjectClass("TSignalDelayAutoCalc",
                        [] { return std::make_unique<TSignalDelayAutoCalc>(); });
    RegisterObjectClass("TU32SignalDelayLine",
                        [] { return std::make_unique<TU32SignalDelayLine>(); });
    RegisterObjectClass("TU32DelayLineAutoCalc",
                        [] { return std::make_unique<TU32DelayLineAutoCalc>(); });
    RegisterObjectClass("TU32SampleDelay", [] { return std::make_unique<TU32SampleDelay>(); });
}

}  // namespace objscope::audio
