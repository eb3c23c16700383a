#include "audio/filters/filter_band.h"

#include <cmath>

#include "audio/filters/alignment_table.h"

namespace objscope::audio {

namespace {

bool IsAligned(uint8_t type) {
    return type == filter_type::kAlignedLowPass || type == filter_type::kAlignedHighPass ||
           type == filter_type::kAlignedAllPass;
}

// The section type that an aligned band's table entry designs.
uint8_t AlignedSectionType(uint8_t bandType, SectionKind kind) {
    const bool first = kind == SectionKind::kFirstOrder;
    switch (bandType) {
        case filter_type::kAlignedLowPass:
            return first ? filter_type::kLowPass1 : filter_type::kLowPass2;
        case filter_type::kAlignedHighPass:
            return first ? filter_type::kHighPass1 : filter_type::kHighPass2;
        default:
            return first ? filter_type::kAllPass1 : filter_type::kAllPass2;
    }
}

// The pre-warped frequency of an aligned section: low-pass divides by the
// entry's factor, high-pass multiplies, all-pass keeps it.
double AlignedK(uint8_t bandType, double k, double factor) {
    if (bandType == filter_type::kAlignedLowPass)
        return k / factor;
    if (bandType == filter_type::kAlignedHighPass)
        return k * factor;
    return k;
}

int CountSections(uint8_t type, uint8_t order) {
    if (!IsAligned(type))
        return 1;
    if (order > 2 * TFilterBand::kMaxSections)
        return TFilterBand::kMaxSections;
    return (order + 1) / 2;
}

}  // namespace

double QFromBandwidthOctaves(double octaves) {
    const double a = std::exp2(octaves / 2.0);
    return a / (a * a - 1.0);
}

double BandwidthOctavesFromQ(double q) {
    return 2.0 * std::log2((1.0 + std::sqrt(1.0 + 4.0 * q * q)) / (2.0 * q));
}

TFilterBand::TFilterBand(const TFilterSet* owner, uint8_t filterType)
    : owner_(owner), filterType_(filterType) {
    Recalculate();
}

void TFilterBand::SetBandwidthOctaves(double octaves) {
    q_ = QFromBandwidthOctaves(octaves);
    lastBandwidthQ_ = q_;
}

double TFilterBand::BandwidthOctaves() const {
    return BandwidthOctavesFromQ(q_);
}

void TFilterBand::Recalculate() {
    sectionCount_ = CountSections(filterType_, order_);
    const double k = PrewarpedFrequency(frequency_);
    if (IsAligned(filterType_)) {
        DesignAlignedSections(k);
        return;
    }
    sections_[0] = DesignSection({filterType_, gainDb_, k, q_, invert_, bypass_});
}

void TFilterBand::DesignAlignedSections(double k) {
    const AlignmentRow& row = AlignmentFor(family_, order_);
    for (int s = 0; s < sectionCount_; ++s) {
        const AlignmentEntry& entry = row[static_cast<size_t>(s)];
        // Gain, polarity and bypass belong to the band's first section only.
        const bool first = s == 0;
        SectionDesign design{AlignedSectionType(filterType_, entry.kind),
                             first ? gainDb_ : 0.0,
                             AlignedK(filterType_, k, entry.factor),
                             entry.q,
                             first && invert_,
                             first && bypass_};
        if (entry.kind == SectionKind::kNone)
            design.type = 0;  // designs the flat section
        sections_[static_cast<size_t>(s)] = DesignSection(design);
    }
}

}  // namespace objscope::audio
