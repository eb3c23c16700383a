#include "windows/meter_bar.h"

#include <algorithm>
#include <cmath>

#include "values/numbers.h"

namespace objscope {

int MeterRow(const TMeterBarInput& bar, double value) {
    const int height = bar.bottom - bar.top;
    const double range = std::fabs(bar.dataMax - bar.dataMin);
    const double perUnit = range < 0.01 ? height : height / range;
    return bar.bottom - static_cast<int>(RoundHalfAway((value - bar.dataMin) * perUnit));
}

std::vector<TLedSpan> MeterSpans(const TMeterBarInput& bar) {
    const auto row = [&](double value) {
        return std::clamp(MeterRow(bar, value), bar.top, bar.bottom);
    };
    std::vector<TLedSpan> spans;
    const auto add = [&](int top, int bottom, TLedZone zone) {
        if (top < bottom)
            spans.push_back({top, bottom, zone});
    };
    if (bar.position == bar.dataMin) {
        add(bar.top, bar.bottom, TLedZone::kOff);
        return spans;
    }
    const double p = bar.position;
    const struct {
        double start, end;
        TLedZone zone;
    } zones[] = {
        {bar.dataMin, std::min(bar.color2Position, p), TLedZone::kColor1},
        {bar.color2Position, std::min(bar.color3Position, p), TLedZone::kColor2},
        {bar.color3Position, p, TLedZone::kColor3},
    };
    for (const auto& zone : zones)
        if (p > zone.start)
            add(row(zone.end), row(zone.start), zone.zone);
    add(bar.top, row(p), TLedZone::kOff);
    return spans;
}

TLedZone PeakZone(double peak, double color2Position, double color3Position) {
    if (peak > color2Position && peak > color3Position)
        return TLedZone::kColor3;
    if (peak > color2Position)
        return TLedZone::kColor2;
    return TLedZone::kColor1;
}

TPeakHoldSetting PeakHoldSettingFor(int value) {
    if (value >= 1 && value <= 60)
        return {static_cast<unsigned char>(value), true, value * 1000, value * 1000};
    if (value == 255)
        return {255, true, 1, 255 * 1000};
    return {};
}

double FallenPeak(double peak, double dataMin) {
    return std::max(peak - kPeakFallStep, dataMin);
}

}  // namespace objscope
