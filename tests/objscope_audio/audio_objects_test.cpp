// The equaliser and crossover objects: owned objects, counts, defaults and
// their stream records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/crossover/crossover_objects.h"
#include "audio/eq/peq_objects.h"
#include "values/property_messages.h"
#include "values/property_multi_value.h"

using namespace objscope;
using namespace objscope::audio;

namespace {

std::vector<std::string> Names(TVEKroot& object) {
    ObjectList list;
    object.CollectObjects(list);
    std::vector<std::string> names;
    for (TVEKroot* o : list)
        names.push_back(o->ClassName() + ":" + o->ObjectName());
    return names;
}

// Captures what the objects show to the user.
class ShownMessages {
  public:
    ShownMessages() {
        previous_ = SetPropertyMessageSink([this](const std::string& t) { texts.push_back(t); });
    }
    ~ShownMessages() { SetPropertyMessageSink(previous_); }
    std::vector<std::string> texts;

  private:
    PropertyMessageSink previous_;
};

}  // namespace

TEST(PeqObject, BandCountIsLimitedAndListedAfterInputAndOutput) {
    const struct {
        int requested, bands;
    } cases[] = {{1, 1}, {3, 3}, {36, 36}, {40, 36}, {0, 0}, {-2, 0}};
    for (const auto& c : cases) {
        TU32Peq peq;
        peq.SetBandCount(c.requested);
        EXPECT_EQ(peq.BandCount(), c.bands) << c.requested;
        EXPECT_EQ(peq.ParametricBandsProperty(), c.bands);
        EXPECT_EQ(peq.NumOwnedObjs, c.bands + 2);
    }
    TU32Peq peq;
    peq.SetBandCount(3);
    peq.SetBandCount(2);
    EXPECT_EQ(Names(peq), (std::vector<std::string>{
                              "TU32Peq:Parametric EQ Set", "TAudioObjectInput:AudioObjectInput",
                              "TOutputGainControl:Output Gain Control", "TPeqFilterBand:Filter 1",
                              "TPeqFilterBand:Filter 2"}));
    EXPECT_NEAR(peq.Band(1).Frequency(), 30.2, 0.051);  // 25 * 1.209
}

TEST(PeqObject, BandPropertiesHaveTheirIdsTypesAndDefaults) {
    TPeqFilterBand band;
    EXPECT_EQ(band.ClassID(), 65);
    const struct {
        uint16_t id;
        const char* name;
        double value;
    } cases[] = {{3072, "Gain", 0},        {3073, "Polarity", 0},     {3077, "Filter Q", 4.333},
                 {4096, "Filter Type", 1}, {4097, "Filter Class", 1}, {4098, "Filter Order", 2}};
    for (const auto& c : cases) {
        TVEKPropertyBase* p = band.FindProperty(c.id);
        ASSERT_NE(p, nullptr) << c.id;
        EXPECT_EQ(p->Name(), c.name);
        auto* value = dynamic_cast<TU32MultiValue*>(p);
        ASSERT_NE(value, nullptr) << c.name;
        EXPECT_NEAR(value->GetData(), c.value, 1e-9) << c.name;
    }
    EXPECT_EQ(band.FindProperty(3075)->PropertyID(), 19459) << "bound by its low 14 bits";
    band.SetFilterOrder(12);
    EXPECT_EQ(band.FilterOrder(), 8);
    band.SetQ(80);
    EXPECT_EQ(band.Q(), 50);
}

TEST(PeqObject, RebuildTakesInputOutputAndBandsAndRefusesOthers) {
    TU32Peq peq;
    peq.ClearOwnedObjects();
    EXPECT_EQ(peq.AddOwnedObject(std::make_unique<TPeqFilterBand>()), nullptr);
    EXPECT_EQ(peq.AddOwnedObject(std::make_unique<TOutputGainControl>()), nullptr);
    EXPECT_EQ(peq.AddOwnedObject(std::make_unique<TAudioObjectInput>()), nullptr);
    EXPECT_NE(peq.AddOwnedObject(std::make_unique<TGeqFilterBand>()), nullptr);
    EXPECT_EQ(peq.BandCount(), 1);
    EXPECT_NE(peq.Input(), nullptr);
    EXPECT_NE(peq.Output(), nullptr);
}

TEST(PeqObject, StreamRecordRoundTripsAndACutStreamIsReported) {
    TU32Peq peq;
    peq.SetBandCount(3);
    peq.Band(2).SetGainDb(-4.5);
    peq.Band(2).SetFilterType(101);
    std::vector<uint8_t> bytes;
    ByteWriter out(bytes);
    peq.SaveToStream(out);

    TU32Peq back;
    ByteReader in(bytes);
    ASSERT_TRUE(back.LoadFromStream(in));
    EXPECT_EQ(in.remaining(), 0u);
    ASSERT_EQ(back.BandCount(), 3);
    EXPECT_EQ(back.Band(2).GainDb(), -4.5);
    EXPECT_EQ(back.Band(2).FilterType(), 101);
    EXPECT_EQ(back.Band(2).ObjectName(), "Filter 3");

    ShownMessages shown;
    TU32Peq cut;
    ByteReader shortIn(std::span<const uint8_t>(bytes).first(bytes.size() - 10));
    EXPECT_FALSE(cut.LoadFromStream(shortIn));
    EXPECT_EQ(shown.texts, std::vector<std::string>{"Error Reading Parametric EQ Data"});
}

TEST(Crossover, GeneralCrossoverDefaultsPerOutputCount) {
    const struct {
        uint16_t requested;
        std::vector<std::string> names;
        std::vector<std::pair<double, double>> edges;
    } cases[] = {
        {2, {"H", "L"}, {{800, 20000}, {20, 800}}},
        {4, {"H", "M", "L", "S"}, {{1600, 20000}, {800, 1600}, {120, 800}, {20, 120}}},
        {8,
         {"H", "MH", "M", "ML", "L", "S"},
         {{6300, 20000}, {2500, 6300}, {800, 2500}, {400, 800}, {120, 400}, {20, 120}}},
    };
    for (const auto& c : cases) {
        TU32CrossOver x;
        x.settings.selectedOutput = 5;
        x.SetNumOutputs(c.requested);
        ASSERT_EQ(x.OutputCount(), static_cast<int>(c.names.size()));
        EXPECT_EQ(x.settings.selectedOutput, std::min<int>(5, x.OutputCount() - 1));
        for (int i = 0; i < x.OutputCount(); ++i) {
            TU32CrossOverBand& band = x.Output(i);
            EXPECT_EQ(band.ObjectName(), c.names[static_cast<size_t>(i)]);
            EXPECT_NEAR(band.LowerEdge().Frequency(), c.edges[static_cast<size_t>(i)].first, 0.1);
            EXPECT_NEAR(band.UpperEdge().Frequency(), c.edges[static_cast<size_t>(i)].second, 0.1);
            EXPECT_EQ(band.LinkedAbove(), i > 0);
            EXPECT_EQ(band.LinkedBelow(), i < x.OutputCount() - 1);
        }
        EXPECT_EQ(x.Output(0).UpperEdge().FilterType(), 0) << "highest output has no upper edge";
        EXPECT_EQ(x.Output(x.OutputCount() - 1).LowerEdge().FilterType(), 0);
        EXPECT_EQ(x.Output(0).LowerEdge().FilterType(), 102);
        EXPECT_EQ(x.Output(x.OutputCount() - 1).UpperEdge().FilterType(), 101);
    }
}

TEST(Crossover, BandOwnsInputGainAndTwoEdgesInListOrder) {
    TU32CrossOverBand band;
    EXPECT_EQ(Names(band),
              (std::vector<std::string>{
                  "TU32CrossOverBand:Band", "TAudioObjectInput:AudioObjectInput",
                  "TOutputGainControl:Output Gain Control", "TPeqFilterBand:Lower Para Band",
                  "TPeqFilterBand:Upper Para Band"}));
    EXPECT_EQ(band.LowerEdge().TagField(), 1);
    EXPECT_EQ(band.UpperEdge().TagField(), 2);
}

TEST(Crossover, LinkwitzRileySlotsFollowTheTable) {
    TU32LinkWitz x;
    x.SetNumOutputs(3);
    ASSERT_EQ(x.OutputCount(), 3);
    // Top output: all-pass at 800 Hz and high-pass at 1600 Hz; high-pass
    // outputs inverted at order 2.
    const struct {
        int output, slot;
        uint8_t type, family, order;
        double frequency;
        bool inverted;
    } cases[] = {
        {0, 0, 101, 3, 2, 800, false}, {0, 1, 101, 3, 2, 1600, false},
        {1, 0, 102, 3, 2, 800, true},  {1, 1, 101, 3, 2, 1600, false},
        {2, 0, 103, 1, 1, 800, false}, {2, 1, 102, 3, 2, 1600, true},
        {2, 2, 0, 0, 2, 1000, false},
    };
    for (const auto& c : cases) {
        TPeqFilterBand& slot = x.Output(c.output).Slot(c.slot);
        EXPECT_EQ(slot.FilterType(), c.type) << c.output << "/" << c.slot;
        EXPECT_EQ(slot.FilterClass(), c.family) << c.output << "/" << c.slot;
        EXPECT_EQ(slot.FilterOrder(), c.order) << c.output << "/" << c.slot;
        EXPECT_NEAR(slot.Frequency(), c.frequency, 0.1) << c.output << "/" << c.slot;
        EXPECT_EQ(slot.Polarity(), c.inverted) << c.output << "/" << c.slot;
    }
    EXPECT_EQ(x.Output(2).ObjectName(), "Output 3");

    x.SetPoint(0, 800, 4);  // "24 dB/octave"
    EXPECT_EQ(x.Output(2).Slot(0).FilterOrder(), 2);
    EXPECT_FALSE(x.Output(1).Slot(0).Polarity());
}

TEST(Crossover, StreamRecordsRoundTrip) {
    TU32CrossOver x;
    x.SetNumOutputs(3);
    x.settings.frequencyScale = 1;
    x.Output(1).AlignedAbove() = true;
    std::vector<uint8_t> bytes;
    ByteWriter out(bytes);
    x.SaveToStream(out);
    TU32CrossOver back;
    ByteReader in(bytes);
    ASSERT_TRUE(back.LoadFromStream(in));
    EXPECT_EQ(in.remaining(), 0u);
    ASSERT_EQ(back.OutputCount(), 3);
    EXPECT_EQ(back.settings.frequencyScale, 1);
    EXPECT_TRUE(back.Output(1).AlignedAbove());
    EXPECT_EQ(back.Output(2).ObjectName(), "L");

    TU32LinkWitz lw;
    lw.SetNumOutputs(4);
    bytes.clear();
    lw.SaveToStream(out);
    TU32LinkWitz lwBack;
    ByteReader lwIn(bytes);
    ASSERT_TRUE(lwBack.LoadFromStream(lwIn));
    EXPECT_EQ(lwBack.OutputCount(), 4);
    EXPECT_EQ(lwBack.Output(3).Slot(2).FilterType(), 102);
}
