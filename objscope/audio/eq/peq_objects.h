// The parametric equaliser objects: the band (TGeqFilterBand with its four
// base properties, TPeqFilterBand adding type, class and order) and the set
// TU32Peq, which owns an input, an output gain stage and 1 to 36 bands.
// Qt-free: the editor unit attaches the editor window.
#pragma once

#include <memory>
#include <vector>

#include "model/object_audio_bases.h"

namespace objscope::audio {

// Property IDs of a band, as the editors bind them (low 14 bits).
namespace band_property {
inline constexpr uint16_t kGain = 3072;
inline constexpr uint16_t kPolarity = 3073;
inline constexpr uint16_t kCenterFreq = 3075;  // declared as 19459
inline constexpr uint16_t kFilterQ = 3077;     // declared as 19461
inline constexpr uint16_t kFilterType = 4096;
inline constexpr uint16_t kFilterClass = 4097;
inline constexpr uint16_t kFilterOrder = 4098;
}  // namespace band_property

inline constexpr int kMaxPeqBands = 36;

// The centre frequency a new band (and a band set to its defaults) takes:
// 25 x 1.209^i Hz for the 0-based band index i.
double DefaultBandFrequency(int index);

// One equaliser band: gain, polarity, centre frequency (held in decades) and Q.
class TGeqFilterBand : public TAudioElement {
  public:
    TGeqFilterBand();
    std::string ClassName() const override { return "TGeqFilterBand"; }

    double GainDb() const { return gain_->GetData(); }
    void SetGainDb(double db) { gain_->SetData(db); }
    bool Polarity() const { return polarity_->Value(); }
    void SetPolarity(bool inverted) { polarity_->SetValue(inverted); }
    double Frequency() const { return centerFreq_->GetFrequency(); }
    void SetFrequency(double hertz) { centerFreq_->SetFrequency(hertz); }
    double Q() const { return q_->GetData(); }
    void SetQ(double q) { q_->SetData(q); }

  private:
    TU32VEKDB1* gain_ = nullptr;
    TU32Boolean* polarity_ = nullptr;
    TU32VEKDecade2* centerFreq_ = nullptr;
    TU32VEKRatio2* q_ = nullptr;
};

// A parametric band: adds filter type, class (alignment family) and order.
// Each new band object gets a centre frequency of 31.5 * 1.5^k Hz, k counting
// the band objects made since the program started.
class TPeqFilterBand : public TGeqFilterBand {
  public:
    TPeqFilterBand();
    std::string ClassName() const override { return "TPeqFilterBand"; }

    uint8_t FilterType() const { return type_->Value(); }
    void SetFilterType(uint8_t type) { type_->SetValue(type); }
    uint8_t FilterClass() const { return class_->Value(); }
    void SetFilterClass(uint8_t family) { class_->SetValue(family); }
    uint8_t FilterOrder() const { return order_->Value(); }
    void SetFilterOrder(uint8_t order) { order_->SetValue(order); }

  private:
    TU32UByte* type_ = nullptr;
    TU32UByte* class_ = nullptr;
    TU32UByte* order_ = nullptr;
};

// The parametric EQ set. Owned objects in list order: the set itself, its
// input, its output gain stage, then the bands (the order an editor's object
// index counts: band i is object i + 3).
class TU32Peq : public TComplexAudioObject {
  public:
    TU32Peq();
    std::string ClassName() const override { return "TU32Peq"; }

    // Sets the number of bands: above 36 gives 36, surplus bands are freed
    // from the end, new ones are named "Filter " + their 1-based number with
    // centre 25 * 1.209^i Hz. "# Parametric Bands" then holds the count.
    void SetBandCount(int count);
    int BandCount() const { return static_cast<int>(bands_.size()); }
    TPeqFilterBand& Band(int i) { return *bands_.at(static_cast<size_t>(i)); }
    const TPeqFilterBand& Band(int i) const { return *bands_.at(static_cast<size_t>(i)); }
    TAudioObjectInput* Input() const { return input_.get(); }
    TOutputGainControl* Output() const { return output_.get(); }

    bool BypassFlag() const { return bypass_->Value(); }
    uint16_t ParametricBandsProperty() const { return parametricBands_->Value(); }

    void ClearOwnedObjects() override;
    // An input becomes the input, an output gain control the output stage,
    // a parametric band the next band; anything else is handed back.
    std::unique_ptr<TVEKroot> AddOwnedObject(std::unique_ptr<TVEKroot> object) override;
    void CollectObjects(ObjectList& list) override;
    ObjectList OwnedObjectList() const override;

  protected:
    void SaveClassRecords(ByteWriter& out) const override;
    bool LoadClassRecords(ByteReader& in) override;
    // How a band made by SetBandCount starts (name and frequency by index).
    virtual void InitNewBand(TPeqFilterBand& band, int index) const;
    void UpdateCounts();

  private:
    bool LoadBands(ByteReader& in);

    TU32Boolean* bypass_ = nullptr;
    TU32UWord* graphicBands_ = nullptr;
    TU32UWord* parametricBands_ = nullptr;
    std::unique_ptr<TAudioObjectInput> input_;
    std::unique_ptr<TOutputGainControl> output_;
    std::vector<std::unique_ptr<TPeqFilterBand>> bands_;
};

// Registers the equaliser classes with the object factory.
void RegisterPeqClasses();

}  // namespace objscope::audio
