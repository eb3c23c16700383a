// The paging objects: the duckable input's properties, the page zone's and
// the zone manager's owned objects, their numbering, the rebuild from a
// device listing, the input operations and the stream records.
#include "audio/paging/paging_objects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

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
        names.push_back(o->ClassName() + ":" + o->ObjectName() + ":" +
                        std::to_string(o->TagField()));
    return names;
}

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

TU32MultiValue& Number(TVEKroot& object, uint16_t id) {
    auto* number = dynamic_cast<TU32MultiValue*>(object.FindProperty(id));
    EXPECT_NE(number, nullptr) << id;
    return *number;
}

std::unique_ptr<TU32DuckableInput> Tagged(int tag) {
    auto input = std::make_unique<TU32DuckableInput>();
    input->SetTagField(static_cast<uint8_t>(tag));
    input->SetObjectName("tag " + std::to_string(tag));
    return input;
}

std::vector<uint8_t> Stream(const TVEKroot& object) {
    std::vector<uint8_t> bytes;
    ByteWriter out(bytes);
    object.SaveToStream(out);
    return bytes;
}

}  // namespace

TEST(DuckableInput, PropertiesDefaultsAndLimits) {
    TU32DuckableInput input;
    EXPECT_EQ(input.ClassID(), 72);
    EXPECT_EQ(input.ObjectName(), "Duckable Input");
    const struct {
        uint16_t id;
        const char* name;
        double value, low, high;
        bool readOnly;
    } cases[] = {
        {21504, "Current Gain", 0, NAN, NAN, true},    {5121, "Duck State", 0, 0, 2, false},
        {5122, "Ducked Offset", 0, -100, 27.5, false}, {5123, "Duck Priority", 255, 0, 255, false},
        {5124, "Mute Priority", 0, 0, 255, false},     {54277, "Duck Time", 0, 0, 8.389, false},
        {54278, "Release Time", 0, 0, 8.389, false},
    };
    for (const auto& c : cases) {
        TU32MultiValue& p = Number(input, c.id);
        EXPECT_EQ(p.PropertyID(), c.id);
        EXPECT_EQ(p.Name(), c.name);
        EXPECT_EQ(p.GetData(), c.value) << c.name;
        EXPECT_EQ(p.ReadOnly(), c.readOnly) << c.name;
        if (!std::isnan(c.low)) {
            p.SetData(c.high + 100);
            EXPECT_NEAR(p.GetData(), c.high, 1e-9) << c.name;
            p.SetData(c.low - 100);
            EXPECT_NEAR(p.GetData(), c.low, 1e-9) << c.name;
        }
    }
    // The gain stage's own properties come first.
    EXPECT_EQ(input.Properties().front()->Name(), "Object Name");
    EXPECT_NE(input.FindProperty(4096), nullptr);
    EXPECT_NE(input.FindProperty(20481), nullptr);
}

TEST(PageZone, NewZoneHasPageBusOutputAndOneInputNumberedForTheEditor) {
    TU32PageZone zone;
    EXPECT_EQ(zone.ClassID(), 73);
    EXPECT_EQ(zone.NumOwnedObjs, 3);
    EXPECT_EQ(zone.NumInputs, 1);
    EXPECT_EQ(zone.NumOutputs, 1);
    EXPECT_EQ(Names(zone), (std::vector<std::string>{
                               "TU32PageZone:Page Zone:0", "TU32DuckableInput:Page Bus Input:255",
                               "TOutputGainControl:1:0", "TU32DuckableInput:1:1"}));
    EXPECT_EQ(zone.PageBus()->DuckState(), 2);
    EXPECT_EQ(zone.PageBus()->GetInputNode(0), 1);
    EXPECT_EQ(static_cast<TU32aesOBJ_Handle*>(zone.FindProperty(20486))->Data(), 65500);
    EXPECT_TRUE(zone.FindProperty(4098)->ReadOnly());
    // Gain limits: output -60..10 dB, program inputs -60..0 dB.
    TU32VEKDB1* outputGain = zone.Output()->Gain().gain;
    outputGain->SetData(30);
    EXPECT_EQ(outputGain->GetData(), 10);
    TU32VEKDB1* inputGain = zone.Input(1)->Gain().gain;
    inputGain->SetData(5);
    EXPECT_EQ(inputGain->GetData(), 0);
    inputGain->SetData(-80);
    EXPECT_EQ(inputGain->GetData(), -60);
}

TEST(PageZone, InputCountsAreCutTo72AndShrinkFromTheEnd) {
    const struct { int requested, inputs; } cases[] = {{100, 72}, {72, 72}, {5, 5}, {0, 0}};
    for (const auto& c : cases) {
        TU32PageZone zone;
        zone.SetNumInputs(static_cast<uint16_t>(c.requested));
        EXPECT_EQ(zone.InputCount(), c.inputs) << c.requested;
        EXPECT_EQ(zone.NumOwnedObjs, c.inputs + 2);
        TU32ZoneManager manager;
        manager.SetNumInputs(static_cast<uint16_t>(c.requested));
        EXPECT_EQ(manager.InputCount(), c.inputs) << c.requested;
        EXPECT_EQ(manager.NumOwnedObjs, c.inputs);
    }
    TU32PageZone zone;
    zone.SetNumInputs(4);
    zone.Input(2)->SetObjectName("kept");
    zone.SetNumInputs(2);
    zone.SetNumInputs(3);
    EXPECT_EQ(zone.Input(2)->ObjectName(), "kept");
    EXPECT_EQ(zone.Input(3)->ObjectName(), "3");
    EXPECT_EQ(zone.Input(3)->TagField(), 3);
}

TEST(PageZone, RebuildPlacesInputsByTagAndLeavesGapsEmpty) {
    TU32PageZone zone;
    zone.ClearOwnedObjects();
    EXPECT_EQ(zone.NumOwnedObjs, 0);
    EXPECT_EQ(Names(zone).size(), 1u);
    auto bus = Tagged(255);
    EXPECT_EQ(zone.AddOwnedObject(std::move(bus)), nullptr);
    EXPECT_EQ(zone.AddOwnedObject(std::make_unique<TOutputGainControl>()), nullptr);
    EXPECT_EQ(zone.AddOwnedObject(Tagged(1)), nullptr);
    EXPECT_EQ(zone.AddOwnedObject(Tagged(3)), nullptr);
    EXPECT_EQ(zone.InputCount(), 3);
    EXPECT_EQ(zone.NumOwnedObjs, 5);
    EXPECT_EQ(zone.Input(2), nullptr);
    EXPECT_EQ(Names(zone),
              (std::vector<std::string>{"TU32PageZone:Page Zone:0", "TU32DuckableInput:tag 255:255",
                                        "TOutputGainControl:Output Gain Control:0",
                                        "TU32DuckableInput:tag 1:1", "TU32DuckableInput:tag 3:3"}));
    // An input for a slot already filled replaces it; tag 0 is the page bus.
    EXPECT_EQ(zone.AddOwnedObject(Tagged(3)), nullptr);
    EXPECT_EQ(zone.AddOwnedObject(Tagged(0)), nullptr);
    EXPECT_EQ(zone.PageBus()->ObjectName(), "tag 0");
    EXPECT_EQ(zone.InputCount(), 3);
    // No slot has a number above 72; other classes are not the zone's.
    for (int tag : {73, 200}) {
        auto back = zone.AddOwnedObject(Tagged(tag));
        ASSERT_NE(back, nullptr) << tag;
        EXPECT_EQ(back->TagField(), tag);
    }
    EXPECT_NE(zone.AddOwnedObject(std::make_unique<TAudioObjectInput>()), nullptr);
    EXPECT_EQ(zone.InputCount(), 3);
    // The empty slot answers as no input and is stored as a fresh one.
    EXPECT_EQ(zone.GetInputName(2), "<Error>");
    PropertyList list;
    EXPECT_FALSE(zone.GetInputProperties(2, list));
}

TEST(PageZone, InputAndOutputOperationsTakeNumbersFromOneToTheCount) {
    TU32PageZone zone;
    zone.SetNumInputs(2);
    const std::string longName(30, 'n');
    zone.SetInputName(2, longName);
    EXPECT_EQ(zone.GetInputName(2), std::string(24, 'n'));
    zone.SetInputNode(1, 77);
    EXPECT_EQ(zone.GetInputNode(1), 77);
    EXPECT_EQ(zone.Input(1)->GetInputNode(0), 77);
    for (int outside : {0, 3, -1}) {
        zone.SetInputName(outside, "x");
        zone.SetInputNode(outside, 5);
        EXPECT_EQ(zone.GetInputName(outside), "<Error>") << outside;
        EXPECT_EQ(zone.GetInputNode(outside), 0) << outside;
        PropertyList list{nullptr};
        EXPECT_FALSE(zone.GetInputProperties(outside, list));
        EXPECT_TRUE(list.empty());
    }
    zone.SetOutputName(1, longName);
    EXPECT_EQ(zone.GetOutputName(1), std::string(24, 'n'));
    zone.SetOutputNode(1, 99);
    EXPECT_EQ(zone.Output()->GetOutputNode(0), 99);

    PropertyList list;
    ASSERT_TRUE(zone.GetInputProperties(2, list));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->Name(), "Gain");
    EXPECT_EQ(list[1]->Name(), "Mute");
    EXPECT_EQ(list[2]->Name(), "Polarity Inverted?");
    EXPECT_EQ(list[0], zone.Input(2)->FindProperty(4096));
    list.clear();
    ASSERT_TRUE(zone.GetOutputProperties(1, list));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], zone.Output()->FindProperty(4096));
}

TEST(ZoneManager, NewManagerHasEightBusInputsAppendedUpTo72) {
    TU32ZoneManager manager;
    EXPECT_EQ(manager.ClassID(), 74);
    EXPECT_EQ(manager.NumOwnedObjs, 8);
    EXPECT_EQ(manager.NumOutputs, 0);
    const auto names = Names(manager);
    ASSERT_EQ(names.size(), 9u);
    EXPECT_EQ(names[1], "TAudioObjectInput:1:0");
    EXPECT_EQ(names[8], "TAudioObjectInput:8:0");
    manager.SetInputName(9, "x");
    EXPECT_EQ(manager.GetInputName(9), "<Error>");
    manager.SetInputNode(8, 12);
    EXPECT_EQ(manager.GetInputNode(8), 12);

    manager.ClearOwnedObjects();
    EXPECT_EQ(manager.InputCount(), 0);
    for (int i = 0; i < 72; ++i)
        ASSERT_EQ(manager.AddOwnedObject(std::make_unique<TAudioObjectInput>()), nullptr);
    EXPECT_NE(manager.AddOwnedObject(std::make_unique<TAudioObjectInput>()), nullptr)
        << "a 73rd bus input is not taken";
    EXPECT_NE(manager.AddOwnedObject(std::make_unique<TOutputGainControl>()), nullptr);
    EXPECT_EQ(manager.NumOwnedObjs, 72);
}

TEST(PagingStream, RecordsRoundTripTheirOwnedObjects) {
    TU32PageZone zone;
    zone.SetNumInputs(3);
    zone.SetObjectName("Lobby");
    Number(*zone.Input(3), 5123).SetData(17);
    Number(*zone.PageBus(), 5122).SetData(-12.5);
    zone.Output()->Gain().gain->SetData(-6);
    zone.SetInputName(2, "Bar");
    const std::vector<uint8_t> bytes = Stream(zone);

    TU32PageZone copy;
    ByteReader in(bytes);
    ASSERT_TRUE(copy.LoadFromStream(in));
    EXPECT_EQ(in.remaining(), 0u);
    EXPECT_EQ(copy.ObjectName(), "Lobby");
    EXPECT_EQ(copy.InputCount(), 3);
    EXPECT_EQ(Number(*copy.Input(3), 5123).GetData(), 17);
    EXPECT_EQ(Number(*copy.PageBus(), 5122).GetData(), -12.5);
    EXPECT_EQ(copy.Output()->Gain().gain->GetData(), -6);
    EXPECT_EQ(copy.GetInputName(2), "Bar");

    TU32ZoneManager manager;
    manager.SetNumInputs(3);
    manager.Input(2)->SetTagField(9);
    const std::vector<uint8_t> managerBytes = Stream(manager);
    TU32ZoneManager managerCopy;
    ByteReader managerIn(managerBytes);
    ASSERT_TRUE(managerCopy.LoadFromStream(managerIn));
    EXPECT_EQ(managerCopy.InputCount(), 3);
    EXPECT_EQ(managerCopy.Input(2)->TagField(), 9);
}

TEST(PagingStream, RebuiltZoneWithAGapStoresAFullRecord) {
    TU32PageZone zone;
    zone.ClearOwnedObjects();
    zone.AddOwnedObject(Tagged(3));
    const std::vector<uint8_t> bytes = Stream(zone);
    TU32PageZone copy;
    ByteReader in(bytes);
    ASSERT_TRUE(copy.LoadFromStream(in));
    EXPECT_EQ(copy.InputCount(), 3);
    EXPECT_EQ(copy.Input(2)->ObjectName(), "2");
    EXPECT_EQ(copy.Input(3)->ObjectName(), "tag 3");
}

size_t RecordSize(const TVEKroot& object) {
    return Stream(object).size();
}

TEST(PagingStream, BadRecordsAreRefusedWithTheirMessage) {
    TU32PageZone zone;
    zone.SetNumInputs(2);
    const std::vector<uint8_t> zoneBytes = Stream(zone);
    TU32ZoneManager manager;
    const std::vector<uint8_t> managerBytes = Stream(manager);

    // The zone's input count follows its base part: count, page bus,
    // output stage, marker, inputs (records of fixed size).
    const size_t input = RecordSize(TU32DuckableInput());
    const size_t countAt =
        zoneBytes.size() - (2 + input + RecordSize(TOutputGainControl()) + 8 + 2 * input);
    std::vector<uint8_t> tooMany = zoneBytes;
    tooMany[countAt] = 73;
    std::vector<uint8_t> noMarker = zoneBytes;
    noMarker[countAt + 2 + input + RecordSize(TOutputGainControl()) + 4] = 'X';
    const size_t managerCountAt =
        managerBytes.size() - (2 + 8 + 8 * RecordSize(TAudioObjectInput()));
    std::vector<uint8_t> managerTooMany = managerBytes;
    managerTooMany[managerCountAt] = 100;

    const auto cut = [](const std::vector<uint8_t>& bytes, size_t drop) {
        return std::vector<uint8_t>(bytes.begin(), bytes.end() - static_cast<long>(drop));
    };
    const char* const kZone = "Error Reading Page Zone Data";
    const char* const kManager = "Error Reading Zone Manager Data";
    const struct {
        const char* what;
        bool zone;
        std::vector<uint8_t> bytes;
        const char* message;
    } cases[] = {
        {"zone cut in its last input", true, cut(zoneBytes, 10), kZone},
        {"zone count above 72", true, tooMany, kZone},
        {"zone marker wrong", true, noMarker, kZone},
        {"manager cut", false, cut(managerBytes, 1), kManager},
        {"manager count above 72", false, managerTooMany, kManager},
    };
    for (const auto& c : cases) {
        std::unique_ptr<TVEKroot> object;
        if (c.zone)
            object = std::make_unique<TU32PageZone>();
        else
            object = std::make_unique<TU32ZoneManager>();
        ShownMessages shown;
        ByteReader in(c.bytes);
        EXPECT_FALSE(object->LoadFromStream(in)) << c.what;
        EXPECT_EQ(shown.texts, std::vector<std::string>{c.message}) << c.what;
    }
}
