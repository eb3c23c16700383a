// The crossover objects: the general crossover TU32CrossOver (2 to 6
// outputs, each a band-pass of a free high-pass and low-pass edge) and the
// Linkwitz-Riley crossover TU32LinkWitz (2 to 4 outputs sharing crossover
// points, built from a fixed table of low-pass, high-pass and all-pass slots
// so that the outputs sum flat). Each output is a small parametric EQ set.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "audio/eq/peq_objects.h"

namespace objscope::audio {

// The editor settings a crossover keeps and streams.
struct CrossoverDisplaySettings {
    int16_t legendScale = 0;
    int16_t frequencyScale = 0;  // 0 octave, 1 decade
    uint8_t selectedOutput = 0;
    bool showPhase = false;
    bool showGain = true;
    int16_t zeroDbLocation = 2;
};

// One output of the general crossover: a set with two edges, "Lower Para
// Band" (high-pass, tag 1) and "Upper Para Band" (low-pass, tag 2), and the
// editor's link flags.
class TU32CrossOverBand : public TU32Peq {
  public:
    TU32CrossOverBand();
    std::string ClassName() const override { return "TU32CrossOverBand"; }

    TPeqFilterBand& LowerEdge() { return Band(0); }
    TPeqFilterBand& UpperEdge() { return Band(1); }
    // Linked-below, linked-above, aligned-below, aligned-above, spare.
    std::array<bool, 5> flags{};
    bool& LinkedBelow() { return flags[0]; }
    bool& LinkedAbove() { return flags[1]; }
    bool& AlignedBelow() { return flags[2]; }
    bool& AlignedAbove() { return flags[3]; }

  protected:
    void SaveClassRecords(ByteWriter& out) const override;
    bool LoadClassRecords(ByteReader& in) override;
    void InitNewBand(TPeqFilterBand& band, int index) const override;
};

// One output of the Linkwitz-Riley crossover: three slots "Para Band 1..3".
class TU32LWCrossOverBand : public TU32Peq {
  public:
    TU32LWCrossOverBand();
    std::string ClassName() const override { return "TU32LWCrossOverBand"; }
    TPeqFilterBand& Slot(int s) { return Band(s); }

  protected:
    void InitNewBand(TPeqFilterBand& band, int index) const override;
};

// What the crossovers share: 1 input, the output bands, the display settings.
template <class BandType>
class TCrossoverObject : public TComplexAudioObject {
  public:
    int OutputCount() const { return static_cast<int>(bands_.size()); }
    BandType& Output(int i) { return *bands_.at(static_cast<size_t>(i)); }
    const BandType& Output(int i) const { return *bands_.at(static_cast<size_t>(i)); }
    CrossoverDisplaySettings settings;

    void ClearOwnedObjects() override;
    std::unique_ptr<TVEKroot> AddOwnedObject(std::unique_ptr<TVEKroot> object) override;
    void CollectObjects(ObjectList& list) override;
    ObjectList OwnedObjectList() const override;

  protected:
    TCrossoverObject();
    void SaveClassRecords(ByteWriter& out) const override;
    bool LoadClassRecords(ByteReader& in) override;
    std::vector<std::unique_ptr<BandType>> bands_;
};

class TU32CrossOver : public TCrossoverObject<TU32CrossOverBand> {
  public:
    static constexpr int kMaxOutputs = 6;
    TU32CrossOver();
    std::string ClassName() const override { return "TU32CrossOver"; }
    // Makes n fresh outputs (above 6 gives 6) with the default names and
    // edges; the outer edges are switched off and the inner ones linked.
    void SetNumOutputs(uint16_t n) override;
};

// Linkwitz-Riley filter type of slot s of output o for n outputs (101 LP,
// 102 HP, 103 AP, 0 unused) and the default frequency of point s.
uint8_t LinkwitzSlotType(int outputs, int output, int slot);
double LinkwitzPointFrequency(int outputs, int point);

// What a slot of a crossover point holds for the point's order: the table's
// type; an all-pass at half the order with class 1 (Butterworth); a low- or
// high-pass at the order with class 3 (Linkwitz-Riley); a high-pass inverted
// when the order is not a multiple of 4. An unused slot keeps type 0.
struct LinkwitzSlotSetting {
    uint8_t type = 0;
    uint8_t family = 0;
    uint8_t order = 2;
    bool inverted = false;
};
LinkwitzSlotSetting LinkwitzSlot(int outputs, int output, int point, uint8_t order);

class TU32LinkWitz : public TCrossoverObject<TU32LWCrossOverBand> {
  public:
    static constexpr int kMaxOutputs = 4;
    TU32LinkWitz();
    std::string ClassName() const override { return "TU32LinkWitz"; }
    void SetNumOutputs(uint16_t n) override;
    // Rewrites slot s of every output for point s: frequency, order, and the
    // table's type (all-pass at half the order and class 1; low- and
    // high-pass class 3 at the order; high-pass inverted when the order is
    // not a multiple of 4, so the branches sum flat).
    void SetPoint(int point, double frequency, uint8_t order);
};

void RegisterCrossoverClasses();

}  // namespace objscope::audio
