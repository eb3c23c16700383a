#include "values/property_typed_values.h"

#include <algorithm>
#include <cstdio>

namespace objscope {
namespace {

constexpr double kDecadeMinHertz = 0.1;
constexpr double kDecadeMaxHertz = 357700;

unsigned PackedBits(double value, int first, int count) {
    auto bits = static_cast<uint64_t>(std::max<int64_t>(RoundToInt64(value), 0));
    return static_cast<unsigned>((bits >> first) & ((1u << count) - 1));
}

}  // namespace

std::string TU32UDWord::DisplayText() const {
    std::string text = "$";
    text += HexWithoutLeadingZeros(
        static_cast<uint64_t>(std::max<int64_t>(RoundToInt64(GetData()), 0)));
    return text;
}

std::string TU32Boolean::DisplayText() const {
    return Value() ? "True" : "False";
}

std::string TU32VEKDate::DisplayText() const {
    char text[32];
    std::snprintf(text, sizeof text, "%u/%u/%u", PackedBits(GetData(), 5, 4),
                  PackedBits(GetData(), 0, 5), 1980 + PackedBits(GetData(), 9, 7));
    return text;
}

std::string TU32VEKTime::DisplayText() const {
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u:%02u", PackedBits(GetData(), 11, 5),
                  PackedBits(GetData(), 5, 6), 2 * PackedBits(GetData(), 0, 5));
    return text;
}

TU32VEKDecade2::TU32VEKDecade2() {
    SetData(std::log10(10.0 * 1000.0));
}

void TU32VEKDecade2::SetFrequency(double hertz) {
    double clamped = std::clamp(hertz, kDecadeMinHertz, kDecadeMaxHertz);
    StoreDataUnchecked(std::log10(10.0 * clamped));
}

double TU32VEKDecade2::GetFrequency() const {
    return std::trunc(std::pow(10.0, GetData()) + 0.5) / 10.0;
}

std::string TU32VEKDecade2::DisplayText() const {
    return ShortestDecimal(GetFrequency()) + UnitText();
}

}  // namespace objscope
