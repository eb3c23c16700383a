// The one-third-octave graphic equaliser TU32EQ1_3: one input, one output
// stage, 29 graphic bands from 25 Hz upwards a third of an octave apart and
// 2 parametric bands, made of the parametric equaliser's band objects. The
// layout is fixed. Qt-free: the family registers its window.
#pragma once

#include <array>
#include <memory>

#include "audio/eq/peq_objects.h"

namespace objscope::audio {

inline constexpr int kGraphicBands = 29;
inline constexpr int kGraphicParametricBands = 2;

class TU32EQ1_3 : public TComplexAudioObject {
  public:
    TU32EQ1_3();
    std::string ClassName() const override { return "TU32EQ1_3"; }

    TAudioObjectInput* Input() const { return input_.get(); }
    TOutputGainControl* Output() const { return output_.get(); }
    // Graphic band i (0 to 28) and parametric band j (0, 1); nullptr for an
    // empty slot.
    TGeqFilterBand* GraphicBand(int i) const;
    TPeqFilterBand* ParametricBand(int j) const;

    void SetInputName(int, std::string_view text) override;
    std::string GetInputName(int) const override;
    void SetOutputName(int, std::string_view text) override;
    std::string GetOutputName(int) const override;
    void SetInputNode(int, uint16_t value) override;
    uint16_t GetInputNode(int) const override;
    void SetOutputNode(int, uint16_t value) override;
    uint16_t GetOutputNode(int) const override;

    // Frees the input, the output stage and every band; all slots empty.
    void ClearOwnedObjects() override;
    // An input, an output gain control, a parametric band tagged 0 or 1 or a
    // graphic band tagged 0 to 28 fills its slot; anything else is handed
    // back.
    std::unique_ptr<TVEKroot> AddOwnedObject(std::unique_ptr<TVEKroot> object) override;
    // The set, the input, the output stage, graphic bands 0 to 28, then
    // parametric bands 0 and 1, skipping empty slots.
    void CollectObjects(ObjectList& list) override;
    ObjectList OwnedObjectList() const override;

  protected:
    void SaveClassRecords(ByteWriter& out) const override;
    bool LoadClassRecords(ByteReader& in) override;

  private:
    bool LoadRecords(ByteReader& in);
    void UpdateCounts();

    TU32Boolean* bypass_ = nullptr;
    TU32UWord* graphicBands_ = nullptr;
    TU32UWord* parametricBands_ = nullptr;
    std::unique_ptr<TAudioObjectInput> input_;
    std::unique_ptr<TOutputGainControl> output_;
    std::array<std::unique_ptr<TGeqFilterBand>, kGraphicBands> graphic_;
    std::array<std::unique_ptr<TPeqFilterBand>, kGraphicParametricBands> parametric_;
};

// Registers TU32EQ1_3 with the object factory.
void RegisterGraphicEqClass();

}  // namespace objscope::audio
