// A filter band: the fields an editor sets (type, family, order, gain,
// frequency, Q, polarity, bypass) and the up to four biquad sections that
// Recalculate designs from them. Editors call Recalculate after every change.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "audio/filters/biquad_section.h"

namespace objscope::audio {

class TFilterSet;

class TFilterBand {
  public:
    static constexpr int kMaxSections = 4;

    explicit TFilterBand(const TFilterSet* owner = nullptr,
                         uint8_t filterType = filter_type::kPeakingWideCut);
    virtual ~TFilterBand() = default;
    TFilterBand(const TFilterBand&) = default;
    TFilterBand& operator=(const TFilterBand&) = default;

    // Redesigns SectionCount and the sections from the fields.
    virtual void Recalculate();

    const TFilterSet* Owner() const { return owner_; }

    uint8_t FilterType() const { return filterType_; }
    void SetFilterType(uint8_t type) { filterType_ = type; }
    uint8_t Family() const { return family_; }
    void SetFamily(uint8_t familyCode) { family_ = familyCode; }
    uint8_t Order() const { return order_; }
    void SetOrder(uint8_t order) { order_ = order; }
    double GainDb() const { return gainDb_; }
    void SetGainDb(double gainDb) { gainDb_ = gainDb; }
    double Frequency() const { return frequency_; }
    void SetFrequency(double hertz) { frequency_ = hertz; }
    double Q() const { return q_; }
    void SetQ(double q) { q_ = q; }
    bool Invert() const { return invert_; }
    void SetInvert(bool invert) { invert_ = invert; }
    bool Bypass() const { return bypass_; }
    void SetBypass(bool bypass) { bypass_ = bypass; }

    // Bandwidth in octaves N against Q (the convention of the editors):
    // with a = 2^(N/2), Q = a / (a^2 - 1); back, N = 2 log2((1 + sqrt(1 + 4Q^2)) / 2Q).
    // This is the bandwidth between the -3 dB points of the band-pass that a
    // peaking section adds to unity, measured on the pre-warped axis.
    void SetBandwidthOctaves(double octaves);
    double BandwidthOctaves() const;
    double LastBandwidthQ() const { return lastBandwidthQ_; }

    int SectionCount() const { return sectionCount_; }
    std::span<const BiquadSection> Sections() const {
        return {sections_.data(), static_cast<size_t>(sectionCount_)};
    }

  private:
    void DesignAlignedSections(double k);

    const TFilterSet* owner_;
    uint8_t family_ = 1;
    uint8_t order_ = 2;
    uint8_t filterType_;
    int sectionCount_ = 1;
    double gainDb_ = 0.0;
    double frequency_ = 1000.0;
    double q_ = 0.707;
    bool invert_ = false;
    bool bypass_ = false;
    std::array<BiquadSection, kMaxSections> sections_{};
    double lastBandwidthQ_ = 0.707;
};

// A parametric band: peaking by default.
class TParametricFilter : public TFilterBand {
  public:
    explicit TParametricFilter(const TFilterSet* owner = nullptr)
        : TFilterBand(owner, filter_type::kPeakingWideCut) {}
};

// A graphic equaliser band.
class TGraphicFilter : public TFilterBand {
  public:
    explicit TGraphicFilter(const TFilterSet* owner = nullptr)
        : TFilterBand(owner, filter_type::kGraphicBand) {}
};

// Q of a bandwidth in octaves, and back (see TFilterBand).
double QFromBandwidthOctaves(double octaves);
double BandwidthOctavesFromQ(double q);

}  // namespace objscope::audio
