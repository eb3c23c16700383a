// The dynamics processors: limiter and compressor, noise gate, envelope
// detector (inline processing, one input and one output) and the audio
// comparator (two inputs "+" and "-", no output). Qt-free: the family's
// registration attaches the editors.
#pragma once

#include "model/object_audio_bases.h"

namespace objscope::audio {

// Property IDs as the editors bind them (low 14 bits).
namespace limiter_property {
inline constexpr uint16_t kGain = 4096;
inline constexpr uint16_t kThreshold = 4097;
inline constexpr uint16_t kAttack = 4098;
inline constexpr uint16_t kRelease = 4099;
inline constexpr uint16_t kCurrentGain = 4101;
inline constexpr uint16_t kInputLevel = 4102;
inline constexpr uint16_t kOutputLevel = 4103;
inline constexpr uint16_t kSideChainEnable = 4104;
inline constexpr uint16_t kSideChainSource = 4105;
inline constexpr uint16_t kKneeType = 4106;
inline constexpr uint16_t kCompressionRatio = 5120;
}  // namespace limiter_property

namespace gate_property {
inline constexpr uint16_t kGateState = 4096;
inline constexpr uint16_t kOpenGain = 4097;
inline constexpr uint16_t kPolarity = 4098;
inline constexpr uint16_t kClosedGain = 4099;
inline constexpr uint16_t kThreshold = 4100;
inline constexpr uint16_t kAttack = 4101;
inline constexpr uint16_t kRelease = 4102;
inline constexpr uint16_t kSideChainEnable = 4103;
inline constexpr uint16_t kSideChainSource = 4104;
inline constexpr uint16_t kHold = 4105;
inline constexpr uint16_t kCurrentGain = 4108;
}  // namespace gate_property

namespace detector_property {
inline constexpr uint16_t kAttack = 4096;
inline constexpr uint16_t kRelease = 4097;
inline constexpr uint16_t kHold = 4098;
inline constexpr uint16_t kCurrentLevel = 4099;
}  // namespace detector_property

namespace comparator_property {
inline constexpr uint16_t kPlusSource = 3072;
inline constexpr uint16_t kMinusSource = 3073;
inline constexpr uint16_t kOffsetLevel = 3074;
inline constexpr uint16_t kOffsetSign = 3075;
inline constexpr uint16_t kOffsetCoeff = 3076;
inline constexpr uint16_t kHold = 3077;
inline constexpr uint16_t kCompareResult = 3078;
}  // namespace comparator_property

class TU32Limiter : public TInlineAudioProcessing {
  public:
    TU32Limiter();
    std::string ClassName() const override { return "TU32Limiter"; }
    double AttackMs() const { return attack_->GetData(); }
    void SetAttackMs(double ms) { attack_->SetData(ms); }
    double ReleaseMs() const { return release_->GetData(); }

  private:
    TU32VEKuSec3* attack_ = nullptr;
    TU32VEKuSec3* release_ = nullptr;
};

class TU32Compressor : public TU32Limiter {
  public:
    TU32Compressor();
    std::string ClassName() const override { return "TU32Compressor"; }
};

// One input, or two when the side chain is used: the second input is named
// "Side Chain" and its source is held in "Side Chain Source".
class TU32NoiseGate : public TInlineAudioProcessing {
  public:
    TU32NoiseGate();
    std::string ClassName() const override { return "TU32NoiseGate"; }
    // Takes 1 or 2 (anything else is ignored); 1 clears "Side Chain Enable".
    void SetNumInputs(uint16_t n) override;
    void SetInputName(int index, std::string_view text) override;
    std::string GetInputName(int index) const override;
    void SetInputNode(int index, uint16_t value) override;
    uint16_t GetInputNode(int index) const override;
    bool SideChainEnabled() const { return sideChainEnable_->Value(); }
    void SetSideChainEnabled(bool on) { sideChainEnable_->SetValue(on); }

  private:
    TU32Boolean* sideChainEnable_ = nullptr;
    TU32UWord* sideChainSource_ = nullptr;
};

class TU32EnvelopeDetector : public TInlineAudioProcessing {
  public:
    TU32EnvelopeDetector();
    std::string ClassName() const override { return "TU32EnvelopeDetector"; }
};

// Two inputs named after their source properties ("+" and "-"); connecting
// input 1 or 2 sets the matching source.
class TU32AudioComparator : public TAudioElement {
  public:
    TU32AudioComparator();
    std::string ClassName() const override { return "TU32AudioComparator"; }
    std::string GetInputName(int index) const override;
    void SetInputNode(int index, uint16_t value) override;
    uint16_t GetInputNode(int index) const override;

  private:
    TU32UWord* Source(int index) const;

    TU32UWord* plus_ = nullptr;
    TU32UWord* minus_ = nullptr;
};

// Registers the dynamics classes with the object factory.
void RegisterDynamicsClasses();

}  // namespace objscope::audio
