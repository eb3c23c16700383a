// The delay objects: the delay line (one input, 1 to 72 taps) and its
// auto-calculating variant (variant letter "D"), whose taps derive their
// delays from source and target positions; the two kinds of tap; and the
// sample alignment delay. Qt-free: the family's registration attaches the
// editors.
#pragma once

#include <memory>
#include <vector>

#include "model/object_audio_bases.h"

namespace objscope::audio {

inline constexpr int kMaxDelayTaps = 72;

namespace delay_line_property {
inline constexpr uint16_t kBypass = 3072;
inline constexpr uint16_t kMaxDelay = 3073;
inline constexpr uint16_t kScaling = 3074;
inline constexpr uint16_t kAutoCalc = 3075;
inline constexpr uint16_t kStageXRef = 3076;
inline constexpr uint16_t kStageYRef = 3077;
inline constexpr uint16_t kSourceX = 3078;
inline constexpr uint16_t kSourceY = 3079;
inline constexpr uint16_t kSourceZ = 3080;
}  // namespace delay_line_property

namespace tap_property {
inline constexpr uint16_t kDelay = 4096;
inline constexpr uint16_t kBaseDelay = 5120;
inline constexpr uint16_t kAutoCalcFlag = 5121;
inline constexpr uint16_t kTargetX = 5122;
inline constexpr uint16_t kTargetY = 5123;
inline constexpr uint16_t kTargetZ = 5124;
inline constexpr uint16_t kTargetOffset = 5125;
}  // namespace tap_property

inline constexpr uint16_t kSamplesOfDelayProperty = 4096;

// What both kinds of tap offer the delay line and its editor.
class TDelayTap : public TInlineAudioProcessing {
  public:
    // The property that holds the tap's delay.
    virtual uint16_t DelayPropertyID() const = 0;
    double DelayMs() const { return delay_->GetData(); }
    void SetDelayMs(double ms) { delay_->SetData(ms); }
    virtual bool AutoCalculating() const { return false; }

  protected:
    TU32VEKuSec3* delay_ = nullptr;
};

class TSignalDelay : public TDelayTap {
  public:
    TSignalDelay();
    std::string ClassName() const override { return "TSignalDelay"; }
    uint16_t DelayPropertyID() const override { return tap_property::kDelay; }
};

class TSignalDelayAutoCalc : public TDelayTap {
  public:
    TSignalDelayAutoCalc();
    std::string ClassName() const override { return "TSignalDelayAutoCalc"; }
    uint16_t DelayPropertyID() const override { return tap_property::kBaseDelay; }
    bool AutoCalculating() const override { return true; }
};

class TU32SignalDelayLine : public TAudioElement {
  public:
    TU32SignalDelayLine();
    std::string ClassName() const override { return "TU32SignalDelayLine"; }
    // Whether the taps are auto-calculating ones.
    virtual bool AutoCalculating() const { return false; }

    // Sets the number of taps: 1 to 72 (above 72 gives 72), surplus taps
    // freed from the end, new ones made at the end.
    void SetNumOutputs(uint16_t n) override;
    int TapCount() const { return static_cast<int>(taps_.size()); }
    TDelayTap& Tap(int i) const { return *taps_.at(static_cast<size_t>(i)); }
    TAudioObjectInput* Input() const { return input_.get(); }
    std::string GetOutputName(int index) const override;
    uint16_t GetOutputNode(int index) const override;

    void ClearOwnedObjects() override;
    // An input becomes the line's input, a tap its next tap (up to 72);
    // anything else is handed back.
    std::unique_ptr<TVEKroot> AddOwnedObject(std::unique_ptr<TVEKroot> object) override;
    void CollectObjects(ObjectList& list) override;
    ObjectList OwnedObjectList() const override;

  protected:
    virtual std::unique_ptr<TDelayTap> MakeTap() const;
    // Makes the taps again, as many, of the kind MakeTap gives now.
    void RemakeTaps();
    void UpdateCounts();

  private:
    std::unique_ptr<TAudioObjectInput> input_;
    std::vector<std::unique_ptr<TDelayTap>> taps_;
};

class TU32DelayLineAutoCalc : public TU32SignalDelayLine {
  public:
    TU32DelayLineAutoCalc();
    std::string ClassName() const override { return "TU32DelayLineAutoCalc"; }
    bool AutoCalculating() const override { return true; }

  protected:
    std::unique_ptr<TDelayTap> MakeTap() const override;
};

class TU32SampleDelay : public TInlineAudioProcessing {
  public:
    TU32SampleDelay();
    std::string ClassName() const override { return "TU32SampleDelay"; }
};

// Registers the delay classes with the object factory. The catalogue names
// TSignalDelay for both tap class IDs: its factory builds an
// auto-calculating tap for class 51.
void RegisterDelayClasses();

}  // namespace objscope::audio
