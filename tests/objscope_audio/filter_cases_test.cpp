// The cases of the filter mathematics that matter to the editors, as tables.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/filters/filter_set.h"
#include "audio/filters/response_curve.h"

using namespace objscope::audio;

namespace {

struct BandSetup {
    uint8_t type = 1;
    double gainDb = 0;
    double frequency = 1000;
    double q = 0.707;
    uint8_t familyCode = 1;
    uint8_t order = 2;
    bool invert = false;
    bool bypass = false;
};

void Apply(TFilterBand& band, const BandSetup& b) {
    band.SetFilterType(b.type);
    band.SetGainDb(b.gainDb);
    band.SetFrequency(b.frequency);
    band.SetQ(b.q);
    band.SetFamily(b.familyCode);
    band.SetOrder(b.order);
    band.SetInvert(b.invert);
    band.SetBypass(b.bypass);
    band.Recalculate();
}

struct PointCase {
    const char* what;
    BandSetup band;
    double at;
    double magnitudeDb;
    double phaseDegrees;  // NAN: not checked
    double tolerance;
};

const PointCase kPointCases[] = {
    {"peaking +12 dB reads +12 at its centre", {1, 12, 1000, 4.333}, 1000, 12, 0, 1e-9},
    {"peaking -12 dB reads -12 at its centre", {1, -12, 1000, 4.333}, 1000, -12, 0, 1e-9},
    {"Linkwitz-Riley order 4 low-pass is -6 dB at its frequency",
     {101, 0, 1000, 0.707, 3, 4},
     1000,
     -6.02,
     NAN,
     0.01},
    {"Butterworth order 4 low-pass is -3 dB at its frequency",
     {101, 0, 1000, 0.707, 1, 4},
     1000,
     -3.01,
     NAN,
     0.01},
    {"inverted 0 dB peaking reads 0 dB and -180 degrees (never +180)",
     {1, 0, 1000, 4.333, 1, 2, true},
     1000,
     0,
     -180,
     1e-9},
    {"second-order low-pass gains A at DC", {4, 6, 1000, 0.707}, 1, 6, NAN, 1e-3},
    {"second-order high-pass gains A near fs/2", {5, 6, 1000, 0.707}, 23999, 6, NAN, 1e-3},
    {"low shelf gains A at DC", {8, 6, 200, 0.707}, 1, 6, NAN, 1e-3},
    {"low shelf passes fs/2 unchanged", {8, 6, 200, 0.707}, 23999, 0, NAN, 1e-3},
    {"high shelf gains A near fs/2", {9, -9, 4000, 0.707}, 23999, -9, NAN, 1e-3},
    {"high shelf passes DC unchanged", {9, -9, 4000, 0.707}, 1, 0, NAN, 1e-3},
    {"all-pass is flat", {10, 0, 700, 2}, 3000, 0, NAN, 1e-9},
    {"graphic band alone is only its band part, (M - 1) at the centre",
     {100, 6, 1000, 2},
     1000,
     20 * std::log10(std::pow(10, 0.3) - 1),
     0,
     1e-6},
};

}  // namespace

TEST(FilterCases, ResponseAtOnePoint) {
    for (const PointCase& c : kPointCases) {
        TFilterSet set(0, 1);
        Apply(set.Parametric(0), c.band);
        const Response r = EvaluateResponse(set, c.at);
        EXPECT_NEAR(r.magnitudeDb, c.magnitudeDb, c.tolerance) << c.what;
        if (!std::isnan(c.phaseDegrees)) {
            EXPECT_NEAR(r.phaseDegrees, c.phaseDegrees, 1e-6) << c.what;
        }
    }
}

struct FlatCase {
    const char* what;
    BandSetup band;
    bool expectZeroPhase;
};

TEST(FilterCases, BandsThatMustBeExactlyFlat) {
    const FlatCase cases[] = {
        {"peaking at 0 dB", {1, 0, 1000, 4.333}, true},
        {"notch at 0 dB", {2, 0, 300, 10}, true},
        {"aligned low-pass of order 0", {101, 0, 1000, 0.707, 1, 0}, true},
        {"aligned high-pass of order 0", {102, 6, 1000, 0.707, 3, 0}, true},
        {"bypassed high-pass", {5, 6, 1000, 0.707, 1, 2, false, true}, true},
        {"unknown type", {57, 6, 1000, 0.707}, true},
        {"type 0", {0, -6, 1000, 0.707}, true},
        {"a Q of zero (would divide by zero)", {1, 12, 1000, 0}, true},
        {"graphic band at 0 dB in a parametric slot contributes nothing", {100, 0, 1000, 2}, false},
    };
    for (const FlatCase& c : cases) {
        TFilterSet set(0, 1);
        Apply(set.Parametric(0), c.band);
        for (double f : {20.0, 100.0, 999.0, 1000.0, 5000.0, 19000.0}) {
            const Response r = EvaluateResponse(set, f);
            if (c.expectZeroPhase) {
                EXPECT_NEAR(r.magnitudeDb, 0.0, 1e-9) << c.what << " at " << f;
                EXPECT_NEAR(r.phaseDegrees, 0.0, 1e-9) << c.what << " at " << f;
            } else {
                EXPECT_EQ(r.magnitudeDb, -999.0) << c.what << " at " << f;
            }
        }
    }
}

TEST(FilterCases, BypassedSectionIsExactlyTheFlatSection) {
    TFilterSet set(0, 1);
    Apply(set.Parametric(0), {102, 6, 1000, 0.707, 1, 8, false, true});
    const auto sections = set.Parametric(0).Sections();
    ASSERT_EQ(sections.size(), 4u);
    EXPECT_EQ(sections[0].b0, 1.0);
    EXPECT_EQ(sections[0].a1, 0.0);
    EXPECT_NE(sections[1].b0, 1.0) << "bypass applies to the first section only";
}

TEST(FilterCases, CutIsTheExactInverseOfTheSameBoost) {
    TFilterSet boost(0, 1), cut(0, 1);
    Apply(boost.Parametric(0), {1, 12, 1000, 4.333});
    Apply(cut.Parametric(0), {1, -12, 1000, 4.333});
    for (int i = 0; i < 1000; ++i) {
        const double f = 20 * std::pow(1000.0, i / 999.0);
        EXPECT_NEAR(EvaluateResponse(boost, f).magnitudeDb + EvaluateResponse(cut, f).magnitudeDb,
                    0.0, 1e-9)
            << f;
    }
}

TEST(FilterCases, SectionCountFollowsTheOrder) {
    const struct {
        uint8_t type, order;
        int sections;
    } cases[] = {{101, 0, 0},   {101, 1, 1}, {101, 2, 1}, {102, 3, 2}, {102, 4, 2},
                 {103, 5, 3},   {103, 6, 3}, {101, 7, 4}, {101, 8, 4}, {101, 9, 4},
                 {101, 255, 4}, {1, 8, 1},   {10, 0, 1}};
    for (const auto& c : cases) {
        TFilterSet set(0, 1);
        Apply(set.Parametric(0), {c.type, 0, 1000, 0.707, 1, c.order});
        EXPECT_EQ(set.Parametric(0).SectionCount(), c.sections)
            << "type " << int(c.type) << " order " << int(c.order);
    }
}

TEST(FilterCases, BandwidthAndQConvertBothWays) {
    EXPECT_NEAR(BandwidthOctavesFromQ(0.707), 1.9, 0.01);
    EXPECT_NEAR(QFromBandwidthOctaves(1.0), 1.414, 0.001);
    TFilterBand band;
    for (double octaves : {0.025, 0.05, 0.1, 0.2, 0.333, 0.5, 0.666, 1.5, 2.0, 5.0}) {
        band.SetBandwidthOctaves(octaves);
        EXPECT_DOUBLE_EQ(band.LastBandwidthQ(), band.Q());
        EXPECT_NEAR(band.BandwidthOctaves(), octaves, 1e-9) << octaves;
    }
}

TEST(FilterCases, GraphicBandsAreSpreadAndTakeNoPartInTheResponse) {
    TFilterSet set(5, 0);
    set.SpreadBands(16000, 1000);
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(set.Graphic(i).Frequency(), 1000 * std::pow(2.0, i), 1e-9);
        EXPECT_NEAR(set.Graphic(i).BandwidthOctaves(), 1.0, 1e-9);
        set.Graphic(i).SetGainDb(12);
        set.Graphic(i).Recalculate();
    }
    EXPECT_EQ(EvaluateResponse(set, 2000).magnitudeDb, 0.0);

    TFilterSet one(1, 0);  // a single band has no spacing and must not divide by zero
    one.SpreadBands(16000, 1000);
    EXPECT_EQ(one.Graphic(0).Frequency(), 1000.0);
    EXPECT_TRUE(std::isfinite(one.Graphic(0).Q()));
}

TEST(FilterCases, EditorGridsHaveTheirPointCounts) {
    EXPECT_EQ(GridEvaluator(PeqGrid(3.7)).PointCount(), 424);
    EXPECT_EQ(GridEvaluator(CrossoverGrid(3.7)).PointCount(), 423);
    const CurveGrid wide{1.0, 1e9, 1, 1};
    EXPECT_EQ(GridPointCount(wide), kMaxCurvePoints);
}

TEST(FilterCases, ParametricSwapKeepsBandsAndTheirOwner) {
    TFilterSet set(0, 2);
    set.Parametric(0).SetFrequency(5000);
    set.Parametric(1).SetFrequency(50);
    set.SwapParametric(0, 1);
    EXPECT_EQ(set.Parametric(0).Frequency(), 50.0);
    EXPECT_EQ(set.Parametric(1).Frequency(), 5000.0);
    EXPECT_EQ(set.Parametric(0).Owner(), &set);
}
