// The alignment table of the table-driven types (aligned low-pass, high-pass
// and all-pass): per family and order up to four sections, each a kind, a
// section Q and a frequency factor.
#pragma once

#include <array>
#include <cstdint>

namespace objscope::audio {

enum class SectionKind : uint8_t { kNone = 0, kFirstOrder = 1, kSecondOrder = 2 };

struct AlignmentEntry {
    SectionKind kind = SectionKind::kNone;
    double q = 0.5;
    double factor = 1.0;
};

using AlignmentRow = std::array<AlignmentEntry, 4>;

// Alignment families; any other value selects the plain family.
namespace family {
inline constexpr uint8_t kPlain = 0;
inline constexpr uint8_t kButterworth = 1;
inline constexpr uint8_t kBessel = 2;
inline constexpr uint8_t kLinkwitzRiley = 3;
}  // namespace family

// The row for a family and order: families outside 1..3 give the plain
// family, orders outside 1..8 give row 1.
const AlignmentRow& AlignmentFor(uint8_t familyCode, uint8_t order);

}  // namespace objscope::audio
