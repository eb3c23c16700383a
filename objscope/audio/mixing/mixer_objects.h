// The mixer and the signal selector: one output gain stage and up to 72
// input gain controls (256 in the internal variants that the matrices build
// their outputs from). The mixer adds the NOM properties, the selector the
// current selection, which mutes every input but the selected one. Qt-free:
// the family registers the editor.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/object_audio_bases.h"

namespace objscope::audio {

namespace mixer_property {
inline constexpr uint16_t kMute = 2048;      // of every input and the output stage
inline constexpr uint16_t kGain = 4096;      // of every input and the output stage
inline constexpr uint16_t kPolarity = 4097;  // of every input and the output stage
inline constexpr uint16_t kNomAdjustSlope = 3072;
inline constexpr uint16_t kNomCount = 3073;
inline constexpr uint16_t kCurrentSelection = 3072;
inline constexpr uint16_t kForceOneSelection = 3073;
}  // namespace mixer_property

inline constexpr int kMaxMixerInputs = 72;
inline constexpr int kMaxInternalInputs = 256;  // inside a matrix
inline constexpr double kInputGainMin = -60;
inline constexpr double kInputGainMax = 0;
inline constexpr double kOutputGainMin = -60;
inline constexpr double kOutputGainMax = 10;

// The "Mute" Boolean of an audio element (nullptr when it has none).
TU32Boolean* MuteProperty(const TVEKroot& object);
bool IsMuted(const TVEKroot& object);
void SetMuted(TVEKroot& object, bool muted);

// What mixers and selectors share: the output stage (object 1 of an
// editor's list) and the inputs, input k (from 1) at slot k - 1. A slot is
// empty only between ClearOwnedObjects and the rebuild that refills it.
class TMixerBase : public TComplexAudioObject {
  public:
    std::string ClassName() const override { return "TMixerBase"; }

    // 1 to the class's maximum (72; 0 to 256 inside a matrix, which is made
    // with none). Surplus inputs are freed from the end; new ones are named
    // by their number, tagged with it, limited to -60..0 dB, and muted when
    // MutesNewInput says so.
    void SetNumInputs(uint16_t count) override;
    int InputCount() const { return static_cast<int>(inputs_.size()); }
    int InputLimit() const { return maxInputs_; }
    // Input k (from 1), nullptr for an empty slot or a number out of range.
    TInputGainControl* Input(int k) const;
    TOutputGainControl* Output() const { return output_.get(); }

    // Names and nodes: input k from 1 to the count; any output index names
    // the output stage.
    void SetInputName(int k, std::string_view text) override;
    std::string GetInputName(int k) const override;
    void SetInputNode(int k, uint16_t value) override;
    uint16_t GetInputNode(int k) const override;
    void SetOutputName(int index, std::string_view text) override;
    std::string GetOutputName(int index) const override;
    void SetOutputNode(int index, uint16_t value) override;
    uint16_t GetOutputNode(int index) const override;

    // Frees the output stage and every input.
    void ClearOwnedObjects() override;
    // An output gain control becomes the output stage; an input gain control
    // tagged 1 to the maximum becomes that input (replacing one already
    // there; tag 0 is input 256 of an internal variant, which a byte cannot
    // tag). Anything else is handed back.
    std::unique_ptr<TVEKroot> AddOwnedObject(std::unique_ptr<TVEKroot> object) override;
    // The object, the output stage, then the inputs in order.
    void CollectObjects(ObjectList& list) override;
    ObjectList OwnedObjectList() const override;
    // Input k (from 1): its gain, mute and polarity; false for no such input.
    bool GetInputProperties(int k, PropertyList& list) override;
    // The output stage's gain, mute and polarity.
    bool GetOutputProperties(int index, PropertyList& list) override;

  protected:
    TMixerBase(uint16_t classId, const char* name, int minInputs, int maxInputs);
    // Whether a new input k starts muted (a selector's unselected inputs).
    virtual bool MutesNewInput(int /*k*/) const { return false; }
    void UpdateCounts();

  private:
    std::unique_ptr<TOutputGainControl> output_;
    std::vector<std::unique_ptr<TInputGainControl>> inputs_;
    int minInputs_;
    int maxInputs_;
};

class TU32Mixer : public TMixerBase {
  public:
    TU32Mixer();
    std::string ClassName() const override { return "TU32Mixer"; }
    TU32VEKRatio1& NomAdjustSlope() { return *nomAdjustSlope_; }
    TU32UByte& NomCount() { return *nomCount_; }

  protected:
    TU32Mixer(int minInputs, int maxInputs);

  private:
    TU32VEKRatio1* nomAdjustSlope_ = nullptr;
    TU32UByte* nomCount_ = nullptr;
};

class TU32SignalSelector : public TMixerBase {
  public:
    TU32SignalSelector();
    std::string ClassName() const override { return "TU32SignalSelector"; }

    // Selects input k (0 = none): stores k, or 1 when k is 0 and "Force One
    // Selection?" is on, then unmutes the selected input and mutes every
    // other. A selection above the input count counts as none (every input
    // muted) but is kept, so inputs added later can take it up.
    void SetSelection(int k);
    int Selection() const { return selection_->Value(); }
    // The selection in force: 0 when none or above the input count.
    int EffectiveSelection() const;
    bool ForceOne() const { return forceOne_->Value(); }
    void SetForceOne(bool on) { forceOne_->SetValue(on); }
    TU32UByte& SelectionProperty() { return *selection_; }
    TU32Boolean& ForceOneProperty() { return *forceOne_; }

  protected:
    TU32SignalSelector(int minInputs, int maxInputs);
    bool MutesNewInput(int k) const override { return k != Selection(); }

  private:
    TU32UByte* selection_ = nullptr;
    TU32Boolean* forceOne_ = nullptr;
};

// The internal variants: User Data "m" and "s", up to 256 inputs.
class TU32SpecialMixer : public TU32Mixer {
  public:
    TU32SpecialMixer();
    std::string ClassName() const override { return "TU32SpecialMixer"; }
};

class TU32SpcSignalSelector : public TU32SignalSelector {
  public:
    TU32SpcSignalSelector();
    std::string ClassName() const override { return "TU32SpcSignalSelector"; }
};

// Registers the four classes with the object factory.
void RegisterMixerClasses();

}  // namespace objscope::audio
