#include "audio/dynamics/dynamics_objects.h"

#include "audio/shared/property_setup.h"
#include "model/object_factory.h"
#include "values/numbers.h"

namespace objscope::audio {

namespace {

constexpr int kSideChainInput = 2;
const char* const kSideChainName = "Side Chain";

// One sample at the device's rate, the shortest time a gate can take.
constexpr double kOneSampleMs = 1000.0 / kSampleRate;

}  // namespace

TU32Limiter::TU32Limiter() {
    SetClassID(37);
    SetObjectName("Limiter");
    AddLimited<TU32VEKDB1>(*this, "Gain", 4096, 0, -20, 10);
    AddLimited<TU32VEKDB1>(*this, "Threshold", 4097, 0, -100, 0);
    attack_ = AddLimited<TU32VEKuSec3>(*this, "Attack Time", 36866, 1.0, 0.02, 50);
    release_ = AddLimited<TU32VEKuSec3>(*this, "Release Time", 36867, 1000, 0.02, 5000);
    AddLimited<TU32VEKDB2>(*this, "Current Gain", 4101, 0, -120, 10)->SetReadOnly(true);
    AddLimited<TU32VEKDB1>(*this, "Input Level", 4102, -100, -100, 0)->SetReadOnly(true);
    AddLimited<TU32VEKDB1>(*this, "Output Level", 4103, -100, -100, 0)->SetReadOnly(true);
    AddNumber<TU32Boolean>(*this, "Side Chain Enable", 4104, 0);
    AddNumber<TU32UWord>(*this, "Side Chain Source", 20489, 0);
    AddLimited<TU32UByte>(*this, "Knee Type", 4106, 0, 0, 1);
}

TU32Compressor::TU32Compressor() {
    SetClassID(49);
    SetObjectName("Compressor");
    AddLimited<TU32VEKRatio1>(*this, "Compression Ratio", 5120, 1.0, 1, 16);
}

TU32NoiseGate::TU32NoiseGate() {
    SetClassID(53);
    SetObjectName("Noise Gate");
    AddReading<TU32Boolean>(*this, "Gate State", 4096, 0);
    AddLimited<TU32VEKDB1>(*this, "Open Gain", 4097, 0, -100, 0);
    AddNumber<TU32Boolean>(*this, "Polarity", 4098, 0);
    AddLimited<TU32VEKDB1>(*this, "Closed Gain", 4099, 0, -100, 0);
    AddLimited<TU32VEKDB1>(*this, "Threshold", 4100, 0, -100, 0);
    AddAtLeast<TU32VEKuSec4>(*this, "Attack Time (Release)", 36869, kOneSampleMs, kOneSampleMs);
    AddAtLeast<TU32VEKuSec4>(*this, "Release Time (Attack)", 36870, 1000, kOneSampleMs);
    sideChainEnable_ = AddNumber<TU32Boolean>(*this, "Side Chain Enable", 4103, 0);
    sideChainSource_ = AddNumber<TU32UWord>(*this, "Side Chain Source", 20488, 0);
    AddLimited<TU32VEKuSec4>(*this, "Hold Time", 36873, 20, 0, 600000);
    AddLimited<TU32VEKDB1>(*this, "Current Gain", 4108, -100, -100, 0)->SetReadOnly(true);
    MaxInputs = kSideChainInput;
}

void TU32NoiseGate::SetNumInputs(uint16_t n) {
    if (n != 1 && n != kSideChainInput)
        return;
    NumInputs = n;
    if (n == 1)
        sideChainEnable_->SetValue(false);
}

void TU32NoiseGate::SetInputName(int index, std::string_view text) {
    if (index != kSideChainInput)
        TInlineAudioProcessing::SetInputName(index, text);
}

std::string TU32NoiseGate::GetInputName(int index) const {
    return index == kSideChainInput ? kSideChainName : TInlineAudioProcessing::GetInputName(index);
}

void TU32NoiseGate::SetInputNode(int index, uint16_t value) {
    if (index == kSideChainInput)
        sideChainSource_->SetValue(value);
    else
        TInlineAudioProcessing::SetInputNode(index, value);
}

uint16_t TU32NoiseGate::GetInputNode(int index) const {
    return index == kSideChainInput ? sideChainSource_->Value()
                                    : TInlineAudioProcessing::GetInputNode(index);
}

TU32EnvelopeDetector::TU32EnvelopeDetector() {
    SetClassID(166);
    SetObjectName("Envelope Detector");
    AddAtLeast<TU32VEKuSec3>(*this, "Attack Time", 53248, 600, 1);
    AddAtLeast<TU32VEKuSec3>(*this, "Release Time", 53249, 600, 1);
    AddAtLeast<TU32VEKSEC>(*this, "Hold Time", 20482, 0, 0);
    AddReading<TU32VEKDB2>(*this, "Current Level", 20483, 0);
}

TU32AudioComparator::TU32AudioComparator() {
    SetClassID(167);
    SetObjectName("Audio Comparator");
    plus_ = AddNumber<TU32UWord>(*this, "+", 19456, 0);
    minus_ = AddNumber<TU32UWord>(*this, "-", 19457, 0);
    AddLimited<TU32VEKDB1>(*this, "Offset Level", 3074, -40, -100, 0);
    AddNumber<TU32Boolean>(*this, "Offset Sign", 3075, 0);
    AddNumber<TU32VEKCoefficient>(*this, "Offset Coeff.", 35844, 0);
    AddAtLeast<TU32VEKSEC>(*this, "Hold Time", 19461, 0, 0);
    AddReading<TU32Boolean>(*this, "Compare Result", 3078, 0);
    NumInputs = MinInputs = MaxInputs = 2;
}

TU32UWord* TU32AudioComparator::Source(int index) const {
    return index == 1 ? plus_ : index == 2 ? minus_ : nullptr;
}

std::string TU32AudioComparator::GetInputName(int index) const {
    const TU32UWord* source = Source(index);
    return source ? source->Name() : std::string();
}

void TU32AudioComparator::SetInputNode(int index, uint16_t value) {
    if (TU32UWord* source = Source(index))
        source->SetValue(value);
}

uint16_t TU32AudioComparator::GetInputNode(int index) const {
    const TU32UWord* source = Source(index);
    return source ? source->Value() : 0;
}

void RegisterDynamicsClasses() {
    RegisterObjectClass("TU32Limiter", [] { return std::make_unique<TU32Limiter>(); });
    RegisterObjectClass("TU32Compressor", [] { return std::make_unique<TU32Compressor>(); });
    RegisterObjectClass("TU32NoiseGate", [] { return std::make_unique<TU32NoiseGate>(); });
    RegisterObjectClass("TU32EnvelopeDetector",
                        [] { return std::make_unique<TU32EnvelopeDetector>(); });
    RegisterObjectClass("TU32AudioComparator",
                        [] { return std::make_unique<TU32AudioComparator>(); });
}

}  // namespace objscope::audio
