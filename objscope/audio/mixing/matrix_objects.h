// The matrix router and the matrix combiner: up to 256 inputs and 256
// outputs, each output an internal selector (router) or internal mixer
// (combiner). Crosspoint (output o, input i) is connected while input i of
// output o's internal object is not muted. Qt-free.
#pragma once

#include <memory>
#include <vector>

#include "audio/mixing/mixer_objects.h"

namespace objscope::audio {

namespace matrix_property {
inline constexpr uint16_t kMuteAll = 3072;
inline constexpr uint16_t kForceOneAll = 3073;
inline constexpr uint16_t kSelfRouting = 4096;
inline constexpr uint16_t kCombiningMode = 4097;
}  // namespace matrix_property

inline constexpr int kMaxMatrixSide = 256;

enum class TCombiningMode : uint8_t {
    kSwitchRouter = 0,
    kMixingRouter = 1,
    kCrossCombine = 2,
    kGroupCombine = 3,
};

class TMatrixBase : public TComplexAudioObject {
  public:
    std::string ClassName() const override { return "TMatrixBase"; }

    // 1 to 256 each. Every output gets as many inputs as the matrix; a new
    // input is connected only to the output of its own number. A new
    // output n is named after the kind and its number, tagged n, owned by
    // this object's handle, takes the input names and sources of output 1
    // and hears input n alone.
    void SetNumInputs(uint16_t count) override;
    void SetNumOutputs(uint16_t count) override;
    // The matrix's inputs: its own count, or more when a rebuilt output
    // holds more (a listing hands the outputs their inputs after the
    // outputs themselves).
    int InputCount() const;
    int OutputCount() const { return static_cast<int>(outputs_.size()); }
    // Output o (from 1), nullptr for an empty slot or a number out of range.
    TMixerBase* Output(int o) const;

    // Crosspoint (output o, input i), both from 1; false where the input
    // does not exist.
    bool Connected(int o, int i) const;
    void SetConnected(int o, int i, bool connected);

    bool MuteAll() const { return muteAll_->Value(); }
    bool ForceOneAll() const { return forceOneAll_->Value(); }

    void ClearOwnedObjects() override;
    // An internal object of the matrix's kind takes the output slot of its
    // tag (1 to 255; tag 0 stands for output 256, which a byte cannot name).
    std::unique_ptr<TVEKroot> AddOwnedObject(std::unique_ptr<TVEKroot> object) override;
    // The matrix, then each output with its own objects.
    void CollectObjects(ObjectList& list) override;
    ObjectList OwnedObjectList() const override;

    // The tag of output o, and the output a tag names.
    static uint8_t TagOfOutput(int o) { return static_cast<uint8_t>(o & 0xFF); }
    static int OutputOfTag(uint8_t tag) { return tag == 0 ? kMaxMatrixSide : tag; }

  protected:
    TMatrixBase(uint16_t classId, const char* name);
    virtual std::unique_ptr<TMixerBase> NewOutput(int o) const = 0;
    virtual bool IsOwnKind(const TVEKroot& object) const = 0;
    // Output o hears input o alone (a router selects it).
    virtual void HearOwnInput(TMixerBase& output, int o) const;
    // Inputs from `first` on were added to output o: only input o is heard
    // (a selector mutes them by its selection itself).
    virtual void MuteNewInputs(TMixerBase& output, int o, int first) const;

  private:
    void UpdateCounts();

    TU32Boolean* muteAll_ = nullptr;
    TU32Boolean* forceOneAll_ = nullptr;
    std::vector<std::unique_ptr<TMixerBase>> outputs_;
};

class TU32MatrixRouter : public TMatrixBase {
  public:
    // Made with no inputs and no outputs.
    TU32MatrixRouter();
    std::string ClassName() const override { return "TU32MatrixRouter"; }
    TU32SpcSignalSelector* Selector(int o) const {
        return static_cast<TU32SpcSignalSelector*>(Output(o));
    }

  protected:
    std::unique_ptr<TMixerBase> NewOutput(int o) const override;
    bool IsOwnKind(const TVEKroot& object) const override;
    void HearOwnInput(TMixerBase& output, int o) const override;
    void MuteNewInputs(TMixerBase&, int, int) const override {}
};

class TU32MatrixCombiner : public TMatrixBase {
  public:
    // One input and one output.
    TU32MatrixCombiner();
    std::string ClassName() const override { return "TU32MatrixCombiner"; }
    TU32SpecialMixer* Mixer(int o) const { return static_cast<TU32SpecialMixer*>(Output(o)); }
    bool SelfRouting() const { return selfRouting_->Value(); }
    TCombiningMode Mode() const { return static_cast<TCombiningMode>(mode_->Value()); }
    void SetMode(TCombiningMode mode) { mode_->SetValue(static_cast<uint8_t>(mode)); }

  protected:
    std::unique_ptr<TMixerBase> NewOutput(int o) const override;
    bool IsOwnKind(const TVEKroot& object) const override;

  private:
    TU32Boolean* selfRouting_ = nullptr;
    TU32UByte* mode_ = nullptr;
};

// Registers both matrix classes with the object factory.
void RegisterMatrixClasses();

}  // namespace objscope::audio
