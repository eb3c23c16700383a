// The paging objects: the duckable input (a gain stage that a page lowers or
// mutes), the page zone (a page-bus input, an output stage and up to 72
// duckable program inputs; classes 73 and 78) and the zone manager (up to 72
// plain bus inputs). Qt-free: the family unit attaches the editor windows.
#pragma once

#include <memory>
#include <vector>

#include "model/object_audio_bases.h"

namespace objscope::audio {

inline constexpr int kMaxZoneInputs = 72;

// Property IDs the editors bind (low 14 bits).
namespace paging_property {
inline constexpr uint16_t kGain = 4096;
inline constexpr uint16_t kPolarity = 4097;
inline constexpr uint16_t kMute = 2048;
inline constexpr uint16_t kDuckState = 5121;
inline constexpr uint16_t kDuckedOffset = 5122;
inline constexpr uint16_t kDuckPriority = 5123;
inline constexpr uint16_t kMutePriority = 5124;
inline constexpr uint16_t kZoneNumber = 4096;  // on the zone itself
inline constexpr uint16_t kZoneState = 4098;
}  // namespace paging_property

// An input gain stage with ducking: "Current Gain" (read only), "Duck State",
// "Ducked Offset", the two priorities and the duck and release times.
class TU32DuckableInput : public TInputGainControl {
  public:
    TU32DuckableInput();
    std::string ClassName() const override { return "TU32DuckableInput"; }
    // Limits the "Gain" property to low..high dB.
    void SetGainLimits(double low, double high);
    uint8_t DuckState() const { return duckState_->Value(); }
    void SetDuckState(uint8_t state) { duckState_->SetValue(state); }

  private:
    TU32UByte* duckState_ = nullptr;
};

// Appends "Gain", "Mute" and "Polarity Inverted?" of a gain stage; false when
// there is no stage.
bool AppendGainMutePolarity(TVEKroot* stage, PropertyList& list);

// A page zone. Owned objects in editor order: the page-bus input (object
// 1), the output stage (2), then program input m as object m + 2. Program
// inputs sit in slots; a configuration read back may leave slots empty.
class TU32PageZone : public TComplexAudioObject {
  public:
    TU32PageZone();
    std::string ClassName() const override { return "TU32PageZone"; }

    // Surplus inputs are freed from the end; new ones (at most 72 in all)
    // are named with their number, tagged with it and limited to -60..0 dB.
    void SetNumInputs(uint16_t count) override;
    int InputCount() const { return static_cast<int>(inputs_.size()); }
    // Program input m (1-based); none for an empty slot or a number outside.
    TU32DuckableInput* Input(int m) const;
    TU32DuckableInput* PageBus() const { return pageBus_.get(); }
    TOutputGainControl* Output() const { return output_.get(); }

    void SetInputName(int index, std::string_view text) override;
    std::string GetInputName(int index) const override;
    void SetOutputName(int index, std::string_view text) override;
    std::string GetOutputName(int index) const override;
    void SetInputNode(int index, uint16_t value) override;
    uint16_t GetInputNode(int index) const override;
    void SetOutputNode(int index, uint16_t value) override;
    uint16_t GetOutputNode(int index) const override;

    void ClearOwnedObjects() override;
    // An output gain control becomes the output stage; a duckable input
    // tagged 0 or 255 the page-bus input; one tagged 1..72 fills that slot.
    // Anything else is handed back.
    std::unique_ptr<TVEKroot> AddOwnedObject(std::unique_ptr<TVEKroot> object) override;
    void CollectObjects(ObjectList& list) override;
    ObjectList OwnedObjectList() const override;
    bool GetInputProperties(int index, PropertyList& list) override;
    bool GetOutputProperties(int index, PropertyList& list) override;

  protected:
    void SaveClassRecords(ByteWriter& out) const override;
    bool LoadClassRecords(ByteReader& in) override;

  private:
    void UpdateCounts();
    bool LoadInputs(ByteReader& in);

    std::unique_ptr<TU32DuckableInput> pageBus_;
    std::unique_ptr<TOutputGainControl> output_;
    std::vector<std::unique_ptr<TU32DuckableInput>> inputs_;
};

// A zone manager: bus inputs 1..n as objects 1..n.
class TU32ZoneManager : public TComplexAudioObject {
  public:
    TU32ZoneManager();
    std::string ClassName() const override { return "TU32ZoneManager"; }

    // At most 72; new inputs are named with their number, tag 0.
    void SetNumInputs(uint16_t count) override;
    int InputCount() const { return static_cast<int>(inputs_.size()); }
    TAudioObjectInput* Input(int i) const;

    void SetInputName(int index, std::string_view text) override;
    std::string GetInputName(int index) const override;
    void SetInputNode(int index, uint16_t value) override;
    uint16_t GetInputNode(int index) const override;

    void ClearOwnedObjects() override;
    // An audio input is appended after the last one (up to 72); anything
    // else is handed back.
    std::unique_ptr<TVEKroot> AddOwnedObject(std::unique_ptr<TVEKroot> object) override;
    void CollectObjects(ObjectList& list) override;
    ObjectList OwnedObjectList() const override;

  protected:
    void SaveClassRecords(ByteWriter& out) const override;
    bool LoadClassRecords(ByteReader& in) override;

  private:
    void UpdateCounts();
    bool LoadInputs(ByteReader& in);

    std::vector<std::unique_ptr<TAudioObjectInput>> inputs_;
};

// The text an input name query answers for a number with no input.
inline constexpr const char* kNoSuchInput = "<Error>";

// Registers the paging classes with the object factory.
void RegisterPagingClasses();

}  // namespace objscope::audio
