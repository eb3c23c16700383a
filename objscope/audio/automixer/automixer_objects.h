// The automatic mixer: per input a gate, an inline processing slot (plain,
// or a limiter, compressor or programmable gain control), a direct output
// and a voicing equaliser; per output a mixer of all inputs; and the two
// summers of the gates' discrimination. It knows how these objects are
// wired inside and rewires them when its node list is set. Qt-free: the
// family registers the editors.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/eq/peq_objects.h"
#include "audio/mixing/mixer_objects.h"
#include "model/object_audio_bases.h"

namespace objscope::audio {

inline constexpr int kMinAutoMixInputs = 2;
inline constexpr int kMaxAutoMixInputs = 72;
inline constexpr int kMaxAutoMixOutputs = 8;
inline constexpr uint8_t kIntDiscTag = 255;
inline constexpr uint8_t kExtDiscTag = 254;
inline constexpr uint8_t kProcessingTagBase = 128;

namespace automix_property {
inline constexpr uint16_t kNoMicsOperation = 3072;
inline constexpr uint16_t kFilibusterLimit = 3073;
inline constexpr uint16_t kOutputInputTag = 3074;
inline constexpr uint16_t kLastInputActivated = 3077;
inline constexpr uint16_t kInputActiveStates = 3079;
// Of a gate.
inline constexpr uint16_t kInputType = 4096;
inline constexpr uint16_t kGatingMode = 4097;
inline constexpr uint16_t kPriority = 4098;
inline constexpr uint16_t kHoldTime = 4099;
inline constexpr uint16_t kCurrGateState = 4106;
inline constexpr uint16_t kCurrInputLevel = 4107;
}  // namespace automix_property

// What an input's processing slot holds.
enum class TProcessingKind : int { kNone = 0, kLimiter = 1, kCompressor = 2, kProgGain = 3 };

// The kind a processing object is, by its class ID (a plain slot otherwise).
TProcessingKind ProcessingKindOf(const TVEKroot& object);

// A gate: input 2 is the discriminator input ("DiscrminatorNode"), output 2
// the level output ("Level").
class TU32AutoMixerGate : public TInlineAudioProcessing {
  public:
    TU32AutoMixerGate();
    std::string ClassName() const override { return "TU32AutoMixerGate"; }
    std::string GetInputName(int index) const override;
    std::string GetOutputName(int index) const override;
    void SetInputNode(int index, uint16_t value) override;
    uint16_t GetInputNode(int index) const override;
    void SetOutputNode(int index, uint16_t value) override;
    uint16_t GetOutputNode(int index) const override;
    uint16_t LevelNode() const { return level_->Value(); }
    void SetDetectorNode(uint16_t node) { detector_->SetValue(node); }
    uint16_t DetectorNode() const { return detector_->Value(); }
    uint16_t DiscriminatorNode() const { return discriminator_->Value(); }

  private:
    TU32UWord* discriminator_ = nullptr;
    TU32UWord* level_ = nullptr;
    TU32UWord* detector_ = nullptr;
};

// The four objects of one automixer input.
struct TAutoMixInput {
    std::unique_ptr<TU32AutoMixerGate> gate;
    std::unique_ptr<TVEKroot> processing;
    std::unique_ptr<TInlineAudioProcessing> direct;
    std::unique_ptr<TU32Peq> eq;
    TProcessingKind kind = TProcessingKind::kNone;
};

class TU32AutoMixer : public TComplexAudioObject {
  public:
    TU32AutoMixer();
    std::string ClassName() const override { return "TU32AutoMixer"; }

    // 2 to 72 inputs: every output mixer and "IntDiscSummer" follow.
    void SetNumInputs(uint16_t count) override;
    // 1 to 8 outputs: a new mixer's input k takes input k's processed signal.
    void SetNumOutputs(uint16_t count) override;
    int InputCount() const { return static_cast<int>(inputs_.size()); }
    int OutputCount() const { return static_cast<int>(outputs_.size()); }
    // With direct outputs shown, outputs beyond the mixers name the direct
    // outputs; hiding them clears every direct output's node.
    bool ShowDirectOutputs() const { return showDirect_; }
    void SetShowDirectOutputs(bool on);

    // Input k / output m (1-based); none outside the counts.
    const TAutoMixInput* Input(int k) const;
    TU32Mixer* OutputMixer(int m) const;
    TU32Mixer* IntDiscSummer() const { return intDisc_.get(); }
    TU32Mixer* ExtDiscSummer() const { return extDisc_.get(); }
    TProcessingKind Kind(int k) const;
    // Puts a new processing object of `kind` into input k's slot, keeping
    // the old one's nodes and address; nothing when the kind is the same.
    // Answers the slot's object (new or kept), none for no such input.
    TVEKroot* ReplaceProcessing(int k, TProcessingKind kind);

    // Inputs are the gates' inputs; outputs the mixers' (then the direct
    // outputs' when shown).
    void SetInputName(int index, std::string_view text) override;
    std::string GetInputName(int index) const override;
    void SetOutputName(int index, std::string_view text) override;
    std::string GetOutputName(int index) const override;
    void SetInputNode(int index, uint16_t value) override;
    uint16_t GetInputNode(int index) const override;
    void SetOutputNode(int index, uint16_t value) override;
    uint16_t GetOutputNode(int index) const override;

    // Back to 2 fresh inputs and 1 output mixer, no summers.
    void ClearOwnedObjects() override;
    // Places an object by its tag: a gate at input 1..72, a mixer as output
    // 1..8 or as a summer (255 internal, 254 external), tag 129..200 as
    // input (tag - 128)'s processing, the plain inline processing class as
    // a direct output, an equaliser at its input. Anything else is handed
    // back.
    std::unique_ptr<TVEKroot> AddOwnedObject(std::unique_ptr<TVEKroot> object) override;
    // The automixer, then its own objects (not theirs): the gate of input k
    // is object 4k - 3.
    void CollectObjects(ObjectList& list) override;
    ObjectList OwnedObjectList() const override;

    // Per input: gate output, gate level, processing output, equaliser
    // output; then the two summers' outputs.
    std::vector<uint16_t> GetNodeList() const override;
    // Refused (with a message, nothing changed) when shorter than 4n + 2.
    void SetNodeList(const std::vector<uint16_t>& nodes) override;
    void CopyLayout(const TVEKroot& other) override;

  protected:
    void SaveClassRecords(ByteWriter& out) const override;
    bool LoadClassRecords(ByteReader& in) override;

  private:
    TAutoMixInput NewInput(int k) const;
    std::unique_ptr<TU32Mixer> NewOutputMixer(int m) const;
    void GrowInputs(size_t count);
    void Rewire();
    void UpdateCounts();
    TAutoMixInput* MutableInput(int k);
    bool LoadOwned(ByteReader& in);
    // Gives input k fresh objects where a rebuild left none.
    void FillMissing(int k);

    std::vector<TAutoMixInput> inputs_;
    std::vector<std::unique_ptr<TU32Mixer>> outputs_;
    std::unique_ptr<TU32Mixer> intDisc_;
    std::unique_ptr<TU32Mixer> extDisc_;
    bool showDirect_ = false;
};

// The lights an "InputActiveStates" bit set lights: bit b of byte k (from
// 1) is input 8 (k - 1) + b + 1; inputs above `inputs` are left out.
std::vector<bool> GatingLights(const std::string& bits, int inputs);

// The message a short node list is refused with.
std::string ShortNodeListText(size_t given, size_t needed);

void RegisterAutoMixerClasses();

}  // namespace objscope::audio
