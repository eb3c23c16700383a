// The object model: common properties, the base classes, placement, owned
// objects, building a device's objects, assigning properties, links, the
// object stream and the editor hook.
#include <gtest/gtest.h>

#include <functional>

#include "model/object_audio_bases.h"
#include "model/object_build.h"
#include "model/object_factory.h"
#include "model/object_properties.h"
#include "values/property_stream.h"

namespace objscope {
namespace {

TEST(RootObject, StartsWithTheCommonPropertiesAndNoAddress) {
    TVEKroot root;
    EXPECT_EQ(root.ClassID(), 0);
    EXPECT_EQ(root.NetHandle(), 0);
    EXPECT_EQ(root.DevHandle(), kNoHandle);
    EXPECT_EQ(root.ObjHandle(), kNoHandle);
    EXPECT_EQ(root.OwnerHandle(), kNoHandle);
    EXPECT_EQ(root.AddressTypeCode(), 72);
    EXPECT_EQ(root.ClassIDProperty().PropertyID(), 0x4000);
    EXPECT_EQ(root.ObjHandleProperty().PropertyID(), 0x4001);
    EXPECT_EQ(root.OwnerHandleProperty().PropertyID(), 0x4007);

    ASSERT_EQ(root.Properties().size(), 4u);
    EXPECT_EQ(root.ObjectName(), "TVEKRoot");
    EXPECT_EQ(root.ObjectNameProperty().PropertyID(), 0xC002);
    EXPECT_TRUE(root.EnableStateProperty().Value());
    EXPECT_TRUE(root.EnableStateProperty().SendLast());
    EXPECT_EQ(root.EnableStateProperty().PropertyID(), 6);
    EXPECT_EQ(root.UserData(), "");
    EXPECT_EQ(root.UserDataProperty().PropertyID(), 0xC008);
    EXPECT_EQ(root.TagField(), 0);
    EXPECT_EQ(root.TagFieldProperty().PropertyID(), 11);
    EXPECT_EQ(root.FindProperty(0x4002), &root.ObjectNameProperty());
    EXPECT_EQ(root.FindProperty(0x0001), nullptr) << "handles are not listed";
}

struct ExpectedProperty {
    const char* name;
    uint16_t id;
    double value;  // numeric start value
    bool readOnly;
};

struct BaseClassCase {
    const char* className;
    std::function<std::unique_ptr<TVEKroot>()> make;
    uint16_t classId;
    const char* objectName;
    std::vector<ExpectedProperty> added;  // after the four common ones
    uint16_t ports;                       // NumInputs .. MaxOutputs
};

template <class T>
std::function<std::unique_ptr<TVEKroot>()> Maker() {
    return [] { return std::make_unique<T>(); };
}

const std::vector<ExpectedProperty> kElement = {{"Mute", 0x0800, 0, false},
                                                {"DSP Number", 0x0814, 255, false}};
const std::vector<ExpectedProperty> kGain = {{"Gain", 0x1000, 0, false},
                                             {"Polarity Inverted?", 0x5001, 0, false},
                                             {"Gain Coefficient", 0xD002, 1.0, true}};

std::vector<ExpectedProperty> Join(std::vector<ExpectedProperty> a,
                                   const std::vector<ExpectedProperty>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const ExpectedProperty kInputNode = {"Audio Input Node", 0x4C01, 0, false};
const ExpectedProperty kOutputNode = {"Audio Output Node", 0x4C02, 0, false};

const BaseClassCase kBaseClasses[] = {
    {"TAudioElement", Maker<TAudioElement>(), 32, "Audio Element", kElement, 0},
    {"TAudioObjectInput", Maker<TAudioObjectInput>(), 33, "AudioObjectInput",
     Join(kElement, {kInputNode}), 0},
    {"TAudioObjectOutput", Maker<TAudioObjectOutput>(), 34, "AudioObjectOutput",
     Join(kElement, {kOutputNode}), 0},
    {"TInputGainControl", Maker<TInputGainControl>(), 63, "InputGainControl",
     Join(Join(kElement, {kInputNode}), kGain), 0},
    {"TOutputGainControl", Maker<TOutputGainControl>(), 4, "Output Gain Control",
     Join(Join(kElement, {kOutputNode}), kGain), 0},
    {"TInlineAudioProcessing", Maker<TInlineAudioProcessing>(), 36, "AudioProcessing",
     Join(kElement, {{"Bypass Mode", 0x0C00, 0, false}, kInputNode, kOutputNode}), 1},
    {"TComplexAudioObject",
     Maker<TComplexAudioObject>(),
     64,
     "Complex Audio Object",
     {{"DSP Number", 0x0814, 255, false}},
     0},
};

class BaseClass : public testing::TestWithParam<BaseClassCase> {};

TEST_P(BaseClass, HasItsClassIDNameAndProperties) {
    const BaseClassCase& c = GetParam();
    auto object = c.make();
    EXPECT_EQ(object->ClassName(), c.className);
    EXPECT_EQ(object->ClassID(), c.classId);
    EXPECT_EQ(object->ObjectName(), c.objectName);
    const auto& properties = object->Properties();
    ASSERT_EQ(properties.size(), 4 + c.added.size());
    for (size_t i = 0; i < c.added.size(); ++i) {
        const TVEKPropertyBase& property = *properties[4 + i];
        EXPECT_EQ(property.Name(), c.added[i].name);
        EXPECT_EQ(property.PropertyID(), c.added[i].id) << c.added[i].name;
        EXPECT_EQ(property.ReadOnly(), c.added[i].readOnly) << c.added[i].name;
        auto* number = dynamic_cast<const TU32MultiValue*>(&property);
        ASSERT_NE(number, nullptr) << c.added[i].name;
        EXPECT_EQ(number->GetData(), c.added[i].value) << c.added[i].name;
    }
    EXPECT_EQ(object->NumInputs, c.ports);
    EXPECT_EQ(object->MaxOutputs, c.ports);
}

INSTANTIATE_TEST_SUITE_P(All, BaseClass, testing::ValuesIn(kBaseClasses),
                         [](const testing::TestParamInfo<BaseClassCase>& info) {
                             return std::string(info.param.className);
                         });

TEST(Connections, NamesAreCutTo24CharactersAndNodesMapToProperties) {
    TInlineAudioProcessing stage;
    EXPECT_EQ(stage.GetInputName(1), "In");
    EXPECT_EQ(stage.GetOutputName(1), "Out");
    stage.SetInputName(1, std::string(30, 'a'));
    EXPECT_EQ(stage.GetInputName(1), std::string(24, 'a'));
    stage.SetOutputNode(1, 17);
    EXPECT_EQ(stage.GetOutputNode(1), 17);
    EXPECT_EQ(dynamic_cast<TU32UWord&>(*stage.FindProperty(0x0C02)).Value(), 17);

    TAudioObjectInput input;
    EXPECT_EQ(input.GetInputName(1), "Out");
    input.SetInputNode(1, 5);
    EXPECT_EQ(input.GetInputNode(1), 5);
    EXPECT_EQ(input.GetOutputNode(1), 0) << "an input has no output side";

    PropertyList list = {&input.UserDataProperty()};
    EXPECT_FALSE(input.GetInputProperties(1, list));
    EXPECT_TRUE(list.empty());
}

TEST(Placement, WritesTheFirstTwoValuesIntoTheUserDataText) {
    TVEKroot object;
    object.SetPlacement({0x4241, 0x4443, 7, 8, 9});
    EXPECT_EQ(object.UserData(), "  ABCD");
    EXPECT_EQ(object.GetPlacement(), (TPlacement{0x4241, 0x4443, 7, 8, 9}));

    TVEKroot mixer;
    mixer.UserDataProperty().SetData("m-....tail");
    mixer.SetPlacement({0x3130, 0x3332, 0, 0, 0});
    EXPECT_EQ(mixer.UserData(), "m-0123tail");
}

TEST(OwnedObjects, ComplexObjectsKeepThemAndCollectThemAfterThemselves) {
    TComplexAudioObject complex;
    auto input = std::make_unique<TAudioObjectInput>();
    auto output = std::make_unique<TOutputGainControl>();
    TVEKroot* inputRaw = input.get();
    TVEKroot* outputRaw = output.get();
    EXPECT_EQ(complex.AddOwnedObject(std::move(input)), nullptr);
    EXPECT_EQ(complex.AddOwnedObject(std::move(output)), nullptr);
    EXPECT_EQ(complex.NumOwnedObjs, 2);

    ObjectList list;
    complex.CollectObjects(list);
    EXPECT_EQ(list, (ObjectList{&complex, inputRaw, outputRaw}));

    complex.ClearOwnedObjects();
    list.clear();
    complex.CollectObjects(list);
    EXPECT_EQ(list, (ObjectList{&complex}));
    EXPECT_EQ(complex.NumOwnedObjs, 0);
}

TEST(OwnedObjects, PlainObjectsHandThemBack) {
    TAudioElement element;
    auto offered = std::make_unique<TAudioObjectInput>();
    TVEKroot* raw = offered.get();
    EXPECT_EQ(element.AddOwnedObject(std::move(offered)).get(), raw);
    ObjectList list;
    element.CollectObjects(list);
    EXPECT_EQ(list, (ObjectList{&element}));
}

// A listed object with its owner handle and User Data as read from a device.
TListedObject Listed(uint16_t handle, uint16_t classId, uint16_t owner, const char* userData = "") {
    TListedObject listed;
    listed.objHandle = handle;
    listed.classId = classId;
    auto ownerProperty = std::make_unique<TU32aesOBJ_Handle>();
    ownerProperty->SetPropertyID(0x4007);
    ownerProperty->SetData(owner);
    listed.properties.push_back(std::move(ownerProperty));
    auto text = std::make_unique<TU32UserData>();
    text->SetPropertyID(0xC008);
    text->SetData(userData);
    listed.properties.push_back(std::move(text));
    return listed;
}

TEST(BuildObjects, VariantLettersOverrideTheCatalogueClass) {
    EXPECT_STREQ(ChooseObjectClass(Listed(1, 59, kNoHandle, "m")), "TU32SpecialMixer");
    EXPECT_STREQ(ChooseObjectClass(Listed(1, 59, kNoHandle, "n")), "TU32Mixer");
    EXPECT_STREQ(ChooseObjectClass(Listed(1, 59, kNoHandle, "")), "TU32Mixer");
    EXPECT_STREQ(ChooseObjectClass(Listed(1, 228, kNoHandle, "Q")), "TU32Peq");
    EXPECT_EQ(ChooseObjectClass(Listed(1, 228, kNoHandle, "z")), nullptr);
}

std::vector<uint16_t> Handles(const std::vector<std::unique_ptr<TVEKroot>>& objects) {
    std::vector<uint16_t> handles;
    for (const auto& object : objects)
        handles.push_back(object->ObjHandle());
    return handles;
}

TEST(BuildObjects, HandsEveryObjectToTheNearestEarlierOwner) {
    std::vector<TListedObject> listing;
    listing.push_back(Listed(1, 64, kNoHandle));   // complex
    listing.push_back(Listed(2, 63, 1));           // into 1
    listing.push_back(Listed(3, 4, 2));            // 2 keeps no objects: stays top level
    listing.push_back(Listed(5, 999, kNoHandle));  // no class: not built
    listing.push_back(Listed(6, 36, 9));           // owner not built: top level
    listing.push_back(Listed(1, 64, kNoHandle));   // a second object with handle 1
    listing.push_back(Listed(7, 33, 1));           // into the nearer one
    listing.push_back(Listed(8, 34, 10));          // owner listed later: top level
    listing.push_back(Listed(10, 64, kNoHandle));

    auto top = BuildObjects(3, 4, listing);
    EXPECT_EQ(Handles(top), (std::vector<uint16_t>{1, 3, 6, 1, 8, 10}));
    for (const auto& object : top) {
        EXPECT_EQ(object->NetHandle(), 3);
        EXPECT_EQ(object->DevHandle(), 4);
    }
    auto& first = dynamic_cast<TComplexAudioObject&>(*top[0]);
    auto& second = dynamic_cast<TComplexAudioObject&>(*top[3]);
    EXPECT_EQ(Handles(first.OwnedObjects()), (std::vector<uint16_t>{2}));
    EXPECT_EQ(Handles(second.OwnedObjects()), (std::vector<uint16_t>{7}));
    EXPECT_EQ(first.OwnedObjects()[0]->OwnerHandle(), 1);
}

// Classes that serve several class IDs, registered with constructors that
// set another of their IDs: the built object carries the listed one.
class TSharedClassMeter : public TAudioElement {
  public:
    TSharedClassMeter() { SetClassID(67); }
};
class TSharedClassZone : public TComplexAudioObject {
  public:
    TSharedClassZone() { SetClassID(73); }
};
class TSharedClassDelay : public TInlineAudioProcessing {
  public:
    TSharedClassDelay() { SetClassID(35); }
};

TEST(BuildObjects, EveryObjectCarriesTheListedClassID) {
    RegisterObjectClass("TU32Meter", [] { return std::make_unique<TSharedClassMeter>(); });
    RegisterObjectClass("TU32PageZone", [] { return std::make_unique<TSharedClassZone>(); });
    RegisterObjectClass("TSignalDelay", [] { return std::make_unique<TSharedClassDelay>(); });
    std::vector<TListedObject> listing;
    for (uint16_t classId : {71, 78, 51, 67, 73, 35, 4, 64})
        listing.push_back(Listed(static_cast<uint16_t>(listing.size() + 1), classId, kNoHandle));
    auto top = BuildObjects(3, 4, listing);
    UnregisterObjectClass("TU32Meter");
    UnregisterObjectClass("TU32PageZone");
    UnregisterObjectClass("TSignalDelay");
    ASSERT_EQ(top.size(), listing.size());
    for (size_t i = 0; i < top.size(); ++i)
        EXPECT_EQ(top[i]->ClassID(), listing[i].classId) << "listed " << listing[i].classId;
}

TEST(AssignProperties, ConvertsBetweenValueClasses) {
    TAudioElement element;
    std::vector<std::unique_ptr<TVEKPropertyBase>> source;
    auto name = std::make_unique<TU32StringValue>();
    name->SetPropertyID(2);
    name->SetData("Lobby");
    source.push_back(std::move(name));
    auto dsp = std::make_unique<TU32aesMember_ID>();  // a handle into a number
    dsp->SetPropertyID(0x0814);
    dsp->SetData(3);
    source.push_back(std::move(dsp));
    auto mute = std::make_unique<TU32StringValue>();  // a text into a number: skipped
    mute->SetPropertyID(0x0800);
    mute->SetData("1");
    source.push_back(std::move(mute));
    auto unknown = std::make_unique<TU32UByte>();
    unknown->SetPropertyID(0x0833);
    source.push_back(std::move(unknown));

    EXPECT_EQ(AssignProperties(element, source), AssignResult::Done);
    EXPECT_EQ(element.ObjectName(), "Lobby");
    EXPECT_EQ(dynamic_cast<TU32UByte&>(*element.FindProperty(0x0814)).Value(), 3);
    EXPECT_EQ(dynamic_cast<TU32Boolean&>(*element.FindProperty(0x0800)).Value(), false);
}

TEST(AssignProperties, AHandleOutOfRangeStopsTheAssignment) {
    for (double owner : {65535.0, 70000.0, -1.0}) {
        TVEKroot object;
        std::vector<std::unique_ptr<TVEKPropertyBase>> source;
        auto ownerValue = std::make_unique<TU32MultiValue>();
        ownerValue->SetPropertyID(7);
        ownerValue->SetData(owner);
        source.push_back(std::move(ownerValue));
        auto name = std::make_unique<TU32StringValue>();
        name->SetPropertyID(2);
        name->SetData("after");
        source.push_back(std::move(name));

        bool inRange = owner == 65535.0;
        EXPECT_EQ(AssignProperties(object, source),
                  inRange ? AssignResult::Done : AssignResult::RangeError);
        EXPECT_EQ(object.ObjectName(), inRange ? "after" : "TVEKRoot") << owner;
    }
}

TEST(PropertyLinks, NameTheObjectsAddressAndProperty) {
    TAudioElement element;
    element.SetAddress(1, 2, 3);
    auto link = GetPropertyLink(element, 0x0800);
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->Dest_Net, 1);
    EXPECT_EQ(link->Dest_Dev, 2);
    EXPECT_EQ(link->Dest_Obj, 3);
    EXPECT_EQ(link->Property(), element.FindProperty(0x0800));
    EXPECT_FALSE(GetPropertyLink(element, 0x0999).has_value());
}

TEST(CollectPropertiesOf, AllOrOnlyTheModifiedOnes) {
    TAudioElement element;
    for (const auto& property : element.Properties())
        property->SetModified(false);
    element.SetTagField(4);
    PropertyList all, modified;
    CollectProperties(element, all, false);
    CollectProperties(element, modified, true);
    EXPECT_EQ(all.size(), element.Properties().size());
    EXPECT_EQ(modified, (PropertyList{&element.TagFieldProperty()}));
}

std::vector<uint8_t> Saved(const TVEKroot& object) {
    std::vector<uint8_t> stream;
    ByteWriter writer(stream);
    object.SaveToStream(writer);
    return stream;
}

TEST(ObjectStream, RoundTripsTheBaseAndClassRecords) {
    TInputGainControl original;
    original.SetAddress(1, 2, 30);
    original.SetOwnerHandle(29);
    original.SetObjectName("Mic 1");
    original.SetTagField(5);
    original.SetInputName(1, "Podium");
    original.SetInputNode(1, 12);
    original.Gain().gain->SetData(-6);
    original.SetPlacement({10, 20, 30, 40, 50});
    std::vector<uint8_t> stream = Saved(original);
    ASSERT_GE(stream.size(), 8u);
    EXPECT_EQ(std::string(stream.begin() + 4, stream.begin() + 8), "Obj:");
    EXPECT_EQ(stream[8], std::string("TInputGainControl").size());

    TInputGainControl copy;
    ByteReader reader(stream);
    ASSERT_TRUE(copy.LoadFromStream(reader));
    EXPECT_EQ(reader.remaining(), 0u);
    EXPECT_EQ(copy.ObjHandle(), 30);
    EXPECT_EQ(copy.OwnerHandle(), 29);
    EXPECT_EQ(copy.ObjectName(), "Mic 1");
    EXPECT_EQ(copy.TagField(), 5);
    EXPECT_EQ(copy.GetInputName(1), "Podium");
    EXPECT_EQ(copy.GetInputNode(1), 12);
    EXPECT_EQ(copy.Gain().gain->GetData(), -6);
    EXPECT_EQ(copy.GetPlacement(), original.GetPlacement());
    EXPECT_EQ(copy.UserData(), original.UserData());
    EXPECT_EQ(Saved(copy), stream);
}

TEST(ObjectStream, RefusesCutOffAndForeignStreams) {
    TOutputGainControl original;
    std::vector<uint8_t> stream = Saved(original);
    for (size_t cut = 0; cut < stream.size(); cut += 13) {
        TOutputGainControl copy;
        ByteReader reader(std::span<const uint8_t>(stream).first(cut));
        EXPECT_FALSE(copy.LoadFromStream(reader)) << cut;
    }
    // A stream of a class with other properties does not fit.
    std::vector<uint8_t> inline_stream = Saved(TInlineAudioProcessing());
    TOutputGainControl other;
    ByteReader reader(inline_stream);
    EXPECT_FALSE(other.LoadFromStream(reader));
}

class TRecordingEditor : public TObjectEditor {
  public:
    explicit TRecordingEditor(int& shows) : shows_(shows) {}
    void SetEditorFlags(bool passThrough, bool readOnly, bool connect) override {
        flags = {passThrough, readOnly, connect};
    }
    void ShowEditorWindow() override { ++shows_; }
    std::array<bool, 3> flags{};

  private:
    int& shows_;
};

TEST(EditorHook, CreatesTheEditorOnceAndAgainAfterItClosed) {
    TAudioElement element;
    int created = 0;
    int shows = 0;
    element.ShowEditor(true, true, true);  // no editor class: nothing happens
    EXPECT_EQ(element.Editor(), nullptr);

    element.SetEditorClass([&](TVEKroot& owner) {
        EXPECT_EQ(&owner, &element);
        ++created;
        return std::make_unique<TRecordingEditor>(shows);
    });
    element.ShowEditor(true, false, true);
    element.ShowEditor(false, true, false);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(shows, 2);
    auto* editor = dynamic_cast<TRecordingEditor*>(element.Editor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->flags, (std::array<bool, 3>{false, true, false}));

    auto closed = element.ReleaseEditor();
    EXPECT_EQ(element.Editor(), nullptr);
    element.ShowEditor(false, false, false);
    EXPECT_EQ(created, 2);
}

}  // namespace
}  // namespace objscope
