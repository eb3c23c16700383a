#include "audio/filters/alignment_table.h"

namespace objscope::audio {

namespace {

constexpr AlignmentEntry kNo{};
constexpr AlignmentEntry First(double factor = 1.0) {
    return {SectionKind::kFirstOrder, 0.5, factor};
}
constexpr AlignmentEntry Second(double q, double factor = 1.0) {
    return {SectionKind::kSecondOrder, q, factor};
}

// The table values are the single-precision numbers as printed.
constexpr double kHalfRoot2 = 0.707107;

constexpr std::array<AlignmentRow, 8> kPlain{{
    {First(), kNo, kNo, kNo},
    {Second(kHalfRoot2), kNo, kNo, kNo},
    {Second(kHalfRoot2), First(), kNo, kNo},
    {Second(kHalfRoot2), Second(kHalfRoot2), kNo, kNo},
    {Second(kHalfRoot2), Second(kHalfRoot2), First(), kNo},
    {Second(kHalfRoot2), Second(kHalfRoot2), Second(kHalfRoot2), kNo},
    {Second(kHalfRoot2), Second(kHalfRoot2), Second(kHalfRoot2), First()},
    {Second(kHalfRoot2), Second(kHalfRoot2), Second(kHalfRoot2), Second(kHalfRoot2)},
}};

constexpr AlignmentRow kButterworth5{Second(1.61803), Second(0.618034), First(), kNo};
constexpr AlignmentRow kButterworth7{Second(2.24698), Second(0.801938), Second(0.554958), First()};

constexpr std::array<AlignmentRow, 8> kButterworth{{
    {First(), kNo, kNo, kNo},
    {Second(kHalfRoot2), kNo, kNo, kNo},
    {Second(1.0), First(), kNo, kNo},
    {Second(1.30656), Second(0.541196), kNo, kNo},
    kButterworth5,
    {Second(1.93185), Second(kHalfRoot2), Second(0.517638), kNo},
    kButterworth7,
    {Second(2.56292), Second(0.899976), Second(0.601345), Second(0.509796)},
}};

constexpr std::array<AlignmentRow, 8> kBessel{{
    {First(1.0), kNo, kNo, kNo},
    {Second(0.577351, 0.786155), kNo, kNo, kNo},
    {Second(0.691045, 0.690789), First(0.756042), kNo, kNo},
    {Second(0.52193, 0.699214), Second(0.805542, 0.623691), kNo, kNo},
    kButterworth5,
    {Second(0.51032, 0.623065), Second(0.611193, 0.591616), Second(1.02331, 0.524671), kNo},
    kButterworth7,
    {Second(0.50599, 0.562281), Second(0.55951, 0.545729), Second(0.710855, 0.511986),
     Second(1.22567, 0.456892)},
}};

constexpr std::array<AlignmentRow, 8> kLinkwitzRiley{{
    {Second(0.5), kNo, kNo, kNo},
    {Second(0.5), kNo, kNo, kNo},
    {Second(kHalfRoot2), Second(kHalfRoot2), kNo, kNo},
    {Second(kHalfRoot2), Second(kHalfRoot2), kNo, kNo},
    {Second(1.0), Second(1.0), Second(0.5), kNo},
    {Second(1.0), Second(1.0), Second(0.5), kNo},
    {Second(1.30656), Second(1.30656), Second(0.541196), Second(0.541196)},
    {Second(1.30656), Second(1.30656), Second(0.541196), Second(0.541196)},
}};

}  // namespace

const AlignmentRow& AlignmentFor(uint8_t familyCode, uint8_t order) {
    const auto& rows = familyCode == family::kButterworth     ? kButterworth
                       : familyCode == family::kBessel        ? kBessel
                       : familyCode == family::kLinkwitzRiley ? kLinkwitzRiley
                                                              : kPlain;
    const unsigned row = (order >= 1 && order <= 8) ? order - 1u : 0u;
    return rows[row];
}

}  // namespace objscope::audio
