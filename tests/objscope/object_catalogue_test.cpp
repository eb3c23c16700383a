// The class catalogue, the variant letters and object creation by class.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "model/class_catalogue.h"
#include "model/object_audio_bases.h"
#include "model/object_factory.h"

namespace objscope {
namespace {

TEST(ClassCatalogue, HasItsRowsInOrderWithTheFallbackFirst) {
    auto rows = ClassCatalogue();
    EXPECT_EQ(rows.size(), 252u);
    EXPECT_EQ(rows[0].classId, -1);
    EXPECT_STREQ(rows[0].displayName, "<unknown>");
    EXPECT_EQ(rows[0].className, nullptr);

    size_t withClass = 0;
    for (const auto& row : rows) {
        withClass += row.className != nullptr;
    }
    EXPECT_EQ(withClass, 40u);
}

struct LookupCase {
    int32_t classId;
    const char* displayName;
    const char* className;  // nullptr: none
};

const LookupCase kLookups[] = {
    {71, "Audio Level Meter", "TU32Meter"},  // first of two rows with this ID
    {999, "<unknown>", nullptr},
    {-1, "<unknown>", nullptr},
    {204, "Digital Playback Chan Output", nullptr},
    {150, "Card Connector Input", "TU32CardOutput"},  // the crossed card rows
    {151, "Card Connector Output", "TU32CardInput"},
    {4, "Output Gain Control", "TOutputGainControl"},
    {51, "Signal Delay (Auto-Calc)", "TSignalDelay"},
    {59, "Audio Summer", "TU32Mixer"},
    {11, "BLOB", nullptr},
    {254, "Linked List Object", nullptr},
    {317, "Sigma DSP Page Zone", nullptr},
};

TEST(ClassCatalogue, LookupTakesTheFirstMatchingRow) {
    for (const auto& c : kLookups) {
        const TClassCatalogueRow& row = LookupClass(c.classId);
        EXPECT_STREQ(row.displayName, c.displayName) << c.classId;
        if (c.className)
            EXPECT_STREQ(row.className, c.className) << c.classId;
        else
            EXPECT_EQ(row.className, nullptr) << c.classId;
    }
}

TEST(ClassCatalogue, EveryRowWithAClassBuildsAnObjectWithItsProperties) {
    for (const auto& row : ClassCatalogue()) {
        if (!row.className)
            continue;
        auto object = CreateObjectOfClass(row.className, static_cast<uint16_t>(row.classId));
        ASSERT_NE(object, nullptr) << row.className;
        EXPECT_NE(LookupClass(object->ClassID()).className, nullptr) << row.className;
        // The common properties, in their order, come first.
        ASSERT_GE(object->Properties().size(), 4u) << row.className;
        EXPECT_EQ(object->Properties()[0]->Name(), "Object Name");
        EXPECT_EQ(object->Properties()[1]->Name(), "Enable State");
        EXPECT_EQ(object->Properties()[2]->Name(), "User Data");
        EXPECT_EQ(object->Properties()[3]->Name(), "Tag Field");
        std::set<int> ids;
        for (const auto& property : object->Properties())
            EXPECT_TRUE(ids.insert(property->PropertyID() & 0x3FFF).second)
                << row.className << " repeats property " << property->Name();
    }
}

TEST(ClassCatalogue, StandInObjectsCarryTheDeviceClassID) {
    auto peq = CreateObjectOfClass("TU32Peq", 60);
    ASSERT_NE(dynamic_cast<TComplexAudioObject*>(peq.get()), nullptr);
    EXPECT_EQ(peq->ClassID(), 60);
    auto gain = CreateObjectOfClass("TOutputGainControl", 999);
    EXPECT_EQ(gain->ClassID(), 4);  // a class of its own keeps its ID
    EXPECT_EQ(CreateObjectOfClass("TNoSuchClass", 1), nullptr);
}

class ClassRegistration : public testing::Test {
  protected:
    void TearDown() override { UnregisterObjectClass("TU32Meter"); }
};

class TTestMeter : public TAudioElement {
  public:
    TTestMeter() { SetClassID(67); }
    std::string ClassName() const override { return "TTestMeter"; }
};

TEST_F(ClassRegistration, ARegisteredClassReplacesTheStandIn) {
    RegisterObjectClass("TU32Meter", [] { return std::make_unique<TTestMeter>(); });
    auto object = CreateObjectOfClass(LookupClass(71).className, 71);
    EXPECT_EQ(object->ClassName(), "TTestMeter");
    UnregisterObjectClass("TU32Meter");
    EXPECT_EQ(CreateObjectOfClass("TU32Meter", 71)->ClassName(), "TAudioElement");
}

TEST(VariantLetters, FirstCharacterPicksTheClassCaseSensitively) {
    const std::pair<const char*, const char*> cases[] = {
        {"E", "TU32EQ1_3"},
        {"Q", "TU32Peq"},
        {"M", "TU32MatrixCombiner"},
        {"m", "TU32SpecialMixer"},
        {"X", "TU32CrossOver"},
        {"x", "TU32CrossOverBand"},
        {"L", "TU32LinkWitz"},
        {"l", "TU32LWCrossOverBand"},
        {"s", "TU32SpcSignalSelector"},
        {"D", "TU32DelayLineAutoCalc"},
        {"mixer 2", "TU32SpecialMixer"},
    };
    for (const auto& [text, className] : cases) {
        ASSERT_NE(LookupVariant(text), nullptr) << text;
        EXPECT_STREQ(LookupVariant(text), className) << text;
        EXPECT_NE(CreateObjectOfClass(className, 59), nullptr) << className;
    }
    EXPECT_EQ(LookupVariant("n"), nullptr);
    EXPECT_EQ(LookupVariant("S"), nullptr);
    EXPECT_EQ(LookupVariant("d"), nullptr);
    EXPECT_EQ(LookupVariant(""), nullptr);
}

}  // namespace
}  // namespace objscope
