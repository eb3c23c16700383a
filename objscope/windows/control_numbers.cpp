#include "windows/control_numbers.h"

#include <charconv>
#include <cmath>

#include "values/property_multi_value.h"

namespace objscope {

TValueResolution ResolutionOf(const TU32MultiValue& number) {
    TValueResolution resolution;
    resolution.stepsPerUnit = number.StepsPerUnit();
    resolution.decimals = DecimalsForSteps(resolution.stepsPerUnit);
    resolution.units = number.UnitText();
    return resolution;
}

int DecimalsForSteps(double stepsPerUnit) {
    if (stepsPerUnit == 0)
        stepsPerUnit = 1;
    if (stepsPerUnit <= 1)
        return 0;
    const double l = std::log10(stepsPerUnit);
    const double whole = std::floor(l);
    return static_cast<int>(whole) + (l > whole ? 1 : 0);
}

double RoundToResolution(double value, double stepsPerUnit) {
    if (stepsPerUnit == 0)
        stepsPerUnit = 1;
    return std::nearbyint(value * stepsPerUnit) / stepsPerUnit;  // default mode: ties to even
}

std::string FormatValueText(double value, int decimals, std::string_view units) {
    char text[400];  // the widest double in fixed notation with its decimals
    const auto [end, error] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    std::string out = error == std::errc() ? std::string(text, end) : std::to_string(value);
    return out + std::string(units);
}

double ParseTypedNumber(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n\v\f");
    if (first == std::string_view::npos)
        return 0;
    text.remove_prefix(first);
    std::string_view kept = text.substr(0, text.find_first_not_of("+-.0123456789E"));
    // The reader takes no "+"; a single one before the digits changes nothing.
    if (kept.size() > 1 && kept.front() == '+' && kept[1] != '-' && kept[1] != '+')
        kept.remove_prefix(1);
    double value = 0;
    const auto [end, error] =
        std::from_chars(kept.data(), kept.data() + kept.size(), value, std::chars_format::general);
    if (kept.empty() || error != std::errc() || end != kept.data() + kept.size() ||
        !std::isfinite(value))
        return 0;
    return value;
}

}  // namespace objscope
