// The base classes of the audio objects: audio elements, single inputs and
// outputs, gain controls, inline processing and complex objects that own
// other objects.
#pragma once

#include "model/object_root.h"

namespace objscope {

constexpr size_t kConnectionNameMax = 24;

class TAudioElement : public TVEKroot {
  public:
    TAudioElement();
    std::string ClassName() const override { return "TAudioElement"; }

  protected:
    TU32Boolean* mute_ = nullptr;
    TU32UByte* dspNumber_ = nullptr;
};

// One named input with its node.
class TAudioObjectInput : public TAudioElement {
  public:
    TAudioObjectInput();
    std::string ClassName() const override { return "TAudioObjectInput"; }
    void SetInputName(int /*index*/, std::string_view text) override;
    std::string GetInputName(int /*index*/) const override { return inputName_; }
    void SetInputNode(int /*index*/, uint16_t value) override { inputNode_->SetValue(value); }
    uint16_t GetInputNode(int /*index*/) const override { return inputNode_->Value(); }

  protected:
    void SaveClassRecords(ByteWriter& out) const override;
    bool LoadClassRecords(ByteReader& in) override;

  private:
    TU32UWord* inputNode_ = nullptr;
    std::string inputName_ = "Out";
};

// One named output with its node.
class TAudioObjectOutput : public TAudioElement {
  public:
    TAudioObjectOutput();
    std::string ClassName() const override { return "TAudioObjectOutput"; }
    void SetOutputName(int /*index*/, std::string_view text) override;
    std::string GetOutputName(int /*index*/) const override { return outputName_; }
    void SetOutputNode(int /*index*/, uint16_t value) override { outputNode_->SetValue(value); }
    uint16_t GetOutputNode(int /*index*/) const override { return outputNode_->Value(); }

  protected:
    void SaveClassRecords(ByteWriter& out) const override;
    bool LoadClassRecords(ByteReader& in) override;

  private:
    TU32UWord* outputNode_ = nullptr;
    std::string outputName_ = "Out";
};

// "Gain" (dB1), "Polarity Inverted?" and the read-only "Gain Coefficient".
struct TGainControlProperties {
    TU32VEKDB1* gain = nullptr;
    TU32Boolean* polarity = nullptr;
    TU32VEKCoefficient* coefficient = nullptr;
};
TGainControlProperties AddGainControlProperties(TVEKroot& object);

class TInputGainControl : public TAudioObjectInput {
  public:
    TInputGainControl();
    std::string ClassName() const override { return "TInputGainControl"; }
    const TGainControlProperties& Gain() const { return gain_; }

  private:
    TGainControlProperties gain_;
};

class TOutputGainControl : public TAudioObjectOutput {
  public:
    TOutputGainControl();
    std::string ClassName() const override { return "TOutputGainControl"; }
    const TGainControlProperties& Gain() const { return gain_; }

  private:
    TGainControlProperties gain_;
};

// A processing stage with one input and one output.
class TInlineAudioProcessing : public TAudioElement {
  public:
    TInlineAudioProcessing();
    std::string ClassName() const override { return "TInlineAudioProcessing"; }
    void SetInputName(int /*index*/, std::string_view text) override;
    std::string GetInputName(int /*index*/) const override { return inputName_; }
    void SetOutputName(int /*index*/, std::string_view text) override;
    std::string GetOutputName(int /*index*/) const override { return outputName_; }
    void SetInputNode(int /*index*/, uint16_t value) override { inputNode_->SetValue(value); }
    uint16_t GetInputNode(int /*index*/) const override { return inputNode_->Value(); }
    void SetOutputNode(int /*index*/, uint16_t value) override { outputNode_->SetValue(value); }
    uint16_t GetOutputNode(int /*index*/) const override { return outputNode_->Value(); }

  protected:
    void SaveClassRecords(ByteWriter& out) const override;
    bool LoadClassRecords(ByteReader& in) override;

  private:
    TU32Boolean* bypass_ = nullptr;
    TU32UWord* inputNode_ = nullptr;
    TU32UWord* outputNode_ = nullptr;
    std::string inputName_ = "In";
    std::string outputName_ = "Out";
};

// An object that owns other objects. This base keeps them in the order they
// were added; the complex audio classes place them by their own rules.
class TComplexAudioObject : public TVEKroot {
  public:
    TComplexAudioObject();
    std::string ClassName() const override { return "TComplexAudioObject"; }
    void ClearOwnedObjects() override;
    std::unique_ptr<TVEKroot> AddOwnedObject(std::unique_ptr<TVEKroot> object) override;
    void CollectObjects(ObjectList& list) override;
    ObjectList OwnedObjectList() const override;

    const std::vector<std::unique_ptr<TVEKroot>>& OwnedObjects() const { return owned_; }

  protected:
    TU32UByte* dspNumber_ = nullptr;

  private:
    std::vector<std::unique_ptr<TVEKroot>> owned_;
};

}  // namespace objscope
