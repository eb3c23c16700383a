// The gain controls (plain, integrating, zero-crossing and programmable) and
// the level sensor. Qt-free: the family's registration attaches the editors.
#pragma once

#include "model/object_audio_bases.h"

namespace objscope::audio {

// Property IDs as the editors bind them (low 14 bits).
namespace gain_property {
inline constexpr uint16_t kGain = 4096;
inline constexpr uint16_t kPolarity = 4097;
inline constexpr uint16_t kCoefficient = 4098;
inline constexpr uint16_t kCurrentGain = 5120;  // "Integrated Gain" of the programmable one
inline constexpr uint16_t kTimeConstant = 5121;
}  // namespace gain_property

namespace prog_gain_property {
inline constexpr uint16_t kIntegratedGain = 5120;
inline constexpr uint16_t kDesiredLevel = 5121;
inline constexpr uint16_t kStopThreshold = 5122;
inline constexpr uint16_t kGainCtrlThreshold = 5123;
inline constexpr uint16_t kIntegratingTime = 5124;
inline constexpr uint16_t kComputedGain = 5125;
inline constexpr uint16_t kOutputLevel = 5126;
inline constexpr uint16_t kFastDetectorLevel = 5134;
inline constexpr uint16_t kSlowDetectorLevel = 5139;
}  // namespace prog_gain_property

inline constexpr uint16_t kMeterLevelProperty = 4096;

class TU32GainControl : public TInlineAudioProcessing {
  public:
    TU32GainControl();
    std::string ClassName() const override { return "TU32GainControl"; }
    double GainDb() const { return gain_->GetData(); }
    void SetGainDb(double db) { gain_->SetData(db); }

  private:
    TU32VEKDB1* gain_ = nullptr;
};

class TU32IntGainCtrl : public TU32GainControl {
  public:
    TU32IntGainCtrl();
    std::string ClassName() const override { return "TU32IntGainCtrl"; }
};

class TU32ZCGainCtrl : public TU32GainControl {
  public:
    TU32ZCGainCtrl();
    std::string ClassName() const override { return "TU32ZCGainCtrl"; }
};

class TU32ProgGainControl : public TU32GainControl {
  public:
    TU32ProgGainControl();
    std::string ClassName() const override { return "TU32ProgGainControl"; }
};

// "Level Sensor": one input, no output, the current level it measures.
class TU32Meter : public TAudioObjectInput {
  public:
    TU32Meter();
    std::string ClassName() const override { return "TU32Meter"; }
};

// Registers the gain and meter classes with the object factory.
void RegisterGainClasses();

}  // namespace objscope::audio
