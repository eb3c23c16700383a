// The parametric EQ editor's arithmetic without a window: frequency steps,
// field and hover texts, the drag gain, the display list refusals and the
// band order after a frequency change.
#include "audio/eq/peq_editor_rules.h"

#include <gtest/gtest.h>

#include <vector>

#include "audio/shared/editor_fields.h"
#include "audio/filters/filter_band.h"
#include "audio/eq/peq_band_comm.h"
#include "audio/shared/peq_graph_geometry.h"

namespace objscope_gui {
namespace {

using namespace objscope::audio;

TEST(PeqEditorRules, ShiftArrowStepsKeepToTheGridAndTheLimits) {
    struct Case {
        double from;
        int direction;
        double expected;
    };
    const Case cases[] = {
        {995, 1, 1000},     // step 50 below 1000 Hz
        {1000, 1, 1100},    // step 100 from 1000 Hz
        {1000, -1, 900},    //
        {1023.4, 1, 1100},  // off the grid: onto it first
        {24, 1, 25},        // step 1 below 25 Hz
        {20, -1, 20},       // never below 20 Hz
        {9999, 1, 10000},   // step 500
        {19990, 1, 20000},  // step 1000, capped at the upper limit
        {20000, 1, 20000},  //
        {47, -1, 44},       // step 2 below 50 Hz
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(SteppedFrequency(c.from, c.direction, 20000), c.expected)
            << c.from << " by " << c.direction;
}

TEST(PeqEditorRules, FieldAndHoverTexts) {
    EXPECT_EQ(FrequencyFieldText(1500), "1.50 KHz");
    EXPECT_EQ(FrequencyFieldText(995), "995 Hz");
    EXPECT_EQ(FrequencyFieldText(36.5), "36.5 Hz");
    EXPECT_EQ(PeqGainText(-3), "-3.0 dB");
    EXPECT_EQ(BandwidthText(1.0 / 3), "0.333 Octaves");
    EXPECT_EQ(QText(4.333), "4.333");
    EXPECT_EQ(HoverFrequencyText(1000), "1.0 KHz");
    EXPECT_EQ(HoverFrequencyText(125), "125.0 Hz");
    EXPECT_EQ(HoverGainText(-2.5), "dB = -2.5");
}

TEST(PeqEditorRules, DragGainComesInHalfDecibels) {
    struct Case {
        int y;
        double expected;
    };
    // 0 dB at row 124, 3.7 pixels per dB.
    const Case cases[] = {{124, 0}, {102, 6}, {103, 5.5}, {146, -6}, {120, 1}, {122, 0.5}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(DragGain(124, c.y, 3.7), c.expected) << "row " << c.y;
}

TEST(PeqEditorRules, DisplayListsRefuseChoicesThatHideABand) {
    enum { kTop, kMidUpper, kCenter, kMidLower, kBottom };
    struct Case {
        bool legendList;  // else the 0 dB list
        int choice;
        int other;  // the other list's current index
        std::vector<double> gains;
        bool refused;
    };
    const Case cases[] = {
        {false, kBottom, 1, {-3, 2}, true},  // a band below 0 dB
        {false, kBottom, 1, {0, 2}, false},
        {false, kTop, 1, {-3, 0.5}, true},  // a band above 0 dB
        {false, kTop, 1, {-3, 0}, false},
        {false, kMidUpper, 0, {7}, true},  // 3 dB/Div and above 6 dB
        {false, kMidUpper, 1, {7}, false},
        {false, kMidLower, 0, {-6.5}, true},
        {false, kMidLower, 0, {-6}, false},
        {false, kCenter, 0, {-48, 12}, false},
        {true, 0, kMidUpper, {6.5}, true},
        {true, 0, kMidLower, {-7}, true},
        {true, 0, kCenter, {-12, 12}, false},
        {true, 3, kMidLower, {-7}, false},
    };
    for (const Case& c : cases) {
        const bool refused = c.legendList ? !DisplayChoiceFits(c.choice, c.other, c.gains)
                                          : !DisplayChoiceFits(c.other, c.choice, c.gains);
        EXPECT_EQ(refused, c.refused) << (c.legendList ? "legend " : "0 dB ") << c.choice;
    }
}

TEST(PeqEditorRules, GraphGainLimitsFollowTheZeroRow) {
    const GainRange top = GraphGainRange(0);
    EXPECT_EQ(top.high, 0);
    EXPECT_EQ(top.low, -12);
    EXPECT_EQ(GraphGainRange(1).high, 6);
    EXPECT_EQ(GraphGainRange(3).low, -6);
    EXPECT_EQ(GraphGainRange(4).low, 0);
    EXPECT_EQ(GraphGainRange(2).low, -12);
    EXPECT_EQ(FieldGainRange(true).high, 0);
    EXPECT_EQ(FieldGainRange(true).low, -48);
}

TEST(PeqEditorRules, ResortMovesOnlyTheChangedBandAndReportsWhereItWent) {
    struct Case {
        std::vector<double> frequencies;  // by band number
        std::vector<int> order;
        int position;
        std::vector<int> expectedOrder;
        int expectedPosition;
    };
    const Case cases[] = {
        {{20000, 1000, 8000}, {0, 1, 2}, 0, {1, 2, 0}, 2},  // up past both
        {{125, 1000, 50}, {0, 1, 2}, 2, {2, 0, 1}, 0},      // down past both
        {{125, 900, 8000}, {0, 1, 2}, 1, {0, 1, 2}, 1},     // still in place
        {{500}, {0}, 0, {0}, 0},                            // one band never moves
        {{100, 100, 100}, {0, 1, 2}, 1, {0, 1, 2}, 1},      // equals stay
    };
    for (const Case& c : cases) {
        std::vector<int> order = c.order;
        const int at = ResortBand(
            order, c.position, [&](int band) { return c.frequencies[static_cast<size_t>(band)]; });
        EXPECT_EQ(order, c.expectedOrder);
        EXPECT_EQ(at, c.expectedPosition);
    }
}

TEST(PeqEditorRules, HandleWidthAndBandwidthRoundTripInWholePixels) {
    for (int w = 0; w < 200; ++w)
        EXPECT_EQ(peq_graph::BandwidthHalfWidth(peq_graph::HalfWidthBandwidth(w)), w) << w;
    EXPECT_EQ(peq_graph::BandwidthHalfWidth(0.001), 0);
}

TEST(PeqEditorRules, ReceivedBandValuesFollowTheReceivingRules) {
    struct Case {
        BandField field;
        double value;
        bool applied;
        double held;  // the band's field afterwards
    };
    const Case cases[] = {
        {BandField::kGain, 20, true, 12},  // gain limited to -48..12 dB
        {BandField::kGain, -60, true, -48},
        {BandField::kGain, -47.5, true, -47.5},
        {BandField::kFreq, 0, false, 1000},  // frequency 0 ignored
        {BandField::kFreq, 250, true, 250},
        {BandField::kQ, 0, false, 0.707},  // Q 0 ignored
        {BandField::kQ, 3, true, 3},
        {BandField::kOrder, 12, true, 8},  // orders above 8 become 8
        {BandField::kKind, 7, true, 0},    // classes outside 0..4 become 0
        {BandField::kKind, 4, true, 4},
        {BandField::kType, 55, true, 55},  // types as they come
    };
    for (const Case& c : cases) {
        TFilterBand band;
        EXPECT_EQ(ApplyReceivedValue(band, c.field, c.value), c.applied) << c.value;
        double held = 0;
        switch (c.field) {
            case BandField::kGain:
                held = band.GainDb();
                break;
            case BandField::kFreq:
                held = band.Frequency();
                break;
            case BandField::kQ:
                held = band.Q();
                break;
            case BandField::kOrder:
                held = band.Order();
                break;
            case BandField::kKind:
                held = band.Family();
                break;
            case BandField::kType:
                held = band.FilterType();
                break;
            case BandField::kPhase:
                held = band.Invert();
                break;
        }
        EXPECT_DOUBLE_EQ(held, c.held) << c.value;
    }
}

}  // namespace
}  // namespace objscope_gui
