// The bar meter's arithmetic: rows of values, the colour zones from the
// bottom up, the peak marker's colour, the peak-hold settings and the fall.
#include "windows/meter_bar.h"

#include <gtest/gtest.h>

namespace objscope {

void PrintTo(const TLedSpan& span, std::ostream* out) {
    *out << "rows " << span.top << ".." << span.bottom << " zone " << static_cast<int>(span.zone);
}

namespace {

// A 100-row bar from row 10 to row 110 over 0 .. -50 dB: 2 rows per dB.
TMeterBarInput Bar(double position) {
    TMeterBarInput bar;
    bar.top = 10;
    bar.bottom = 110;
    bar.dataMax = 0;
    bar.dataMin = -50;
    bar.position = position;
    bar.color2Position = -20;
    bar.color3Position = -10;
    return bar;
}

TEST(MeterBar, RowsOfValues) {
    EXPECT_EQ(MeterRow(Bar(0), -50), 110);
    EXPECT_EQ(MeterRow(Bar(0), 0), 10);
    EXPECT_EQ(MeterRow(Bar(0), -20), 50);
    EXPECT_EQ(MeterRow(Bar(0), -19.75), 49);  // 60.5 rows up: halves away from zero
    TMeterBarInput flat = Bar(0);
    flat.dataMax = flat.dataMin = -50;  // no range: the whole bar is one unit
    EXPECT_EQ(MeterRow(flat, -49), 10);
}

TEST(MeterBar, ZonesFromTheBottomUp) {
    using Z = TLedZone;
    const struct {
        const char* what;
        double position;
        std::vector<TLedSpan> spans;
    } cases[] = {
        {"at the bottom: all unlit", -50, {{10, 110, Z::kOff}}},
        {"in the first zone", -30, {{70, 110, Z::kColor1}, {10, 70, Z::kOff}}},
        {"on the second zone's start", -20, {{50, 110, Z::kColor1}, {10, 50, Z::kOff}}},
        {"in the second zone",
         -15,
         {{50, 110, Z::kColor1}, {40, 50, Z::kColor2}, {10, 40, Z::kOff}}},
        {"in the third zone",
         -5,
         {{50, 110, Z::kColor1}, {30, 50, Z::kColor2}, {20, 30, Z::kColor3}, {10, 20, Z::kOff}}},
        {"at the top: no unlit part",
         0,
         {{50, 110, Z::kColor1}, {30, 50, Z::kColor2}, {10, 30, Z::kColor3}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MeterSpans(Bar(c.position)), c.spans) << c.what;

    // Zone starts outside the range keep every span inside the bar.
    TMeterBarInput low = Bar(-30);
    low.color2Position = -80;
    low.color3Position = -70;
    EXPECT_EQ(MeterSpans(low), (std::vector<TLedSpan>{{70, 110, Z::kColor3}, {10, 70, Z::kOff}}));
}

TEST(MeterBar, PeakMarkerColour) {
    EXPECT_EQ(PeakZone(-5, -20, -10), TLedZone::kColor3);
    EXPECT_EQ(PeakZone(-15, -20, -10), TLedZone::kColor2);
    EXPECT_EQ(PeakZone(-10, -20, -10), TLedZone::kColor2);  // on a start is below it
    EXPECT_EQ(PeakZone(-30, -20, -10), TLedZone::kColor1);
}

TEST(MeterBar, PeakHoldSettings) {
    const struct {
        int value;
        int readBack;
        bool on;
        int firstMs, holdMs;
    } cases[] = {
        {0, 0, false, 0, 0},   {1, 1, true, 1000, 1000},    {60, 60, true, 60000, 60000},
        {61, 0, false, 0, 0},  {100, 0, false, 0, 0},  // refused: reads back 0, hold off
        {254, 0, false, 0, 0}, {255, 255, true, 1, 255000}, {-1, 0, false, 0, 0},
    };
    for (const auto& c : cases) {
        const TPeakHoldSetting setting = PeakHoldSettingFor(c.value);
        EXPECT_EQ(setting.value, c.readBack) << c.value;
        EXPECT_EQ(setting.on, c.on) << c.value;
        EXPECT_EQ(setting.firstMs, c.firstMs) << c.value;
        EXPECT_EQ(setting.holdMs, c.holdMs) << c.value;
    }
}

TEST(MeterBar, PeakFallsTwoUnitsNotBelowTheBottom) {
    EXPECT_DOUBLE_EQ(FallenPeak(-10, -60), -12);
    EXPECT_DOUBLE_EQ(FallenPeak(-59, -60), -60);
    EXPECT_DOUBLE_EQ(FallenPeak(-60, -60), -60);
}

}  // namespace
}  // namespace objscope
