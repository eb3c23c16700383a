// The work object of the property list, property lists built from a
// "get all properties" page, owner navigation, object copies and the text
// descriptions answer.
#include <gtest/gtest.h>

#include "model/object_audio_bases.h"
#include "model/object_copy.h"
#include "model/object_root_plus.h"
#include "values/property_arrays.h"
#include "values/property_listing.h"
#include "values/property_typed_values.h"
#include "protocol/tarn_items.h"
#include "protocol/tarn_text_descriptions.h"
#include "tarn_test_bytes.h"

namespace objscope {
namespace {

using testing::Bytes;

ListingPage<PropertyEntry> PageFrom(const Bytes& reply) {
    return decodePropertyListing(reply);
}

// A listing page with a dB2 value, an owner handle and an item of type 99.
Bytes ThreeEntryPage() {
    Bytes payload{3, 0};
    auto add = [&](uint8_t type, uint16_t id, Bytes value) {
        payload.push_back(type);
        auto item = encodeItem(id, value);
        payload.insert(payload.end(), item.begin(), item.end());
    };
    add(132, 40, {0xE2, 0x04});  // raw 1250
    add(69, 7, {0x0A, 0x00});    // owner handle 10
    add(99, 41, {1, 2, 3});      // no class for type 99
    Bytes data{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    data.insert(data.end(), payload.begin(), payload.end());
    return data;
}

TEST(ListedProperties, NamesNumberFromTheStartIndexAndUnknownTypesKeepTheirBytes) {
    OwnedPropertyList list;
    AppendListedProperties(PageFrom(ThreeEntryPage()), 20, false, list);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->Name(), "P20 (dB2)");
    EXPECT_EQ(list[0]->PropertyID(), 40);
    EXPECT_EQ(list[1]->Name(), "P21 (Obj Handle)");
    EXPECT_EQ(list[1]->DisplayText(), "10");
    EXPECT_EQ(list[2]->Name(), "P22 (Unknown)");
    auto* bytes = dynamic_cast<TU32VEKByteArray*>(list[2].get());
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes->Bytes(), (std::vector<uint8_t>{1, 2, 3}));
    for (const auto& property : list)
        EXPECT_FALSE(property->Modified());
}

TEST(ListedProperties, RawBooleanModeGivesRawBooleans) {
    Bytes data{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 13};
    auto item = encodeItem(6, Bytes{5});
    data.insert(data.end(), item.begin(), item.end());
    OwnedPropertyList raw, plain;
    AppendListedProperties(PageFrom(data), 0, true, raw);
    AppendListedProperties(PageFrom(data), 0, false, plain);
    ASSERT_EQ(raw.size(), 1u);
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_NE(dynamic_cast<TU32BooleanRaw*>(raw[0].get()), nullptr);
    EXPECT_EQ(dynamic_cast<TU32BooleanRaw*>(raw[0].get())->Value(), 5);
    EXPECT_NE(dynamic_cast<TU32Boolean*>(plain[0].get()), nullptr);
}

TEST(RootPlus, TheReplyListReplacesTheOwnRowsAndSetsTheOwner) {
    TVEKRootPlus work;
    work.SetObjectName("Mixer");
    OwnedPropertyList list;
    AppendListedProperties(PageFrom(ThreeEntryPage()), 0, false, list);
    work.SetPropertyList(std::move(list));
    ASSERT_EQ(work.Properties().size(), 3u);
    EXPECT_EQ(work.OwnerHandle(), 10);
    // The own properties stay usable though they are no longer listed.
    EXPECT_EQ(work.ObjectName(), "Mixer");
    EXPECT_EQ(work.FindProperty(kUserDataPropertyID), nullptr);

    // A second reply replaces the first: still no duplicate rows.
    OwnedPropertyList again;
    AppendListedProperties(PageFrom(ThreeEntryPage()), 0, false, again);
    work.SetPropertyList(std::move(again));
    EXPECT_EQ(work.Properties().size(), 3u);
}

std::unique_ptr<TVEKroot> Leaf(uint16_t handle, uint16_t owner) {
    auto leaf = std::make_unique<TVEKroot>();
    leaf->SetAddress(0, 5, handle);
    leaf->SetOwnerHandle(owner);
    leaf->SetObjectName("leaf " + std::to_string(handle));
    return leaf;
}

TEST(ObjectTree, OwnerOfNestedObjects) {
    auto outer = std::make_unique<TComplexAudioObject>();
    outer->SetAddress(0, 5, 1);
    auto inner = std::make_unique<TComplexAudioObject>();
    inner->SetAddress(0, 5, 2);
    auto leafPtr = Leaf(3, 2);
    TVEKroot* leaf = leafPtr.get();
    inner->AddOwnedObject(std::move(leafPtr));
    TVEKroot* innerRaw = inner.get();
    outer->AddOwnedObject(std::move(inner));
    auto other = Leaf(9, kNoHandle);
    ObjectList roots{outer.get(), other.get()};
    EXPECT_EQ(FindOwnerObject(roots, leaf), innerRaw);
    EXPECT_EQ(FindOwnerObject(roots, innerRaw), outer.get());
    EXPECT_EQ(FindOwnerObject(roots, outer.get()), nullptr);
    EXPECT_EQ(FindOwnerObject(roots, other.get()), nullptr);
    EXPECT_EQ(outer->OwnedObjectList(), (ObjectList{innerRaw}));
    EXPECT_TRUE(leaf->OwnedObjectList().empty());
}

TEST(ObjectTree, CopyIsIndependentAndKeepsOwnedObjects) {
    TComplexAudioObject source;
    source.SetAddress(0, 5, 1);
    source.SetObjectName("Source");
    source.UserDataProperty().SetData("QXYZ");
    source.AddOwnedObject(Leaf(3, 1));

    auto copy = CopyObject(source);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->ClassName(), "TComplexAudioObject");
    EXPECT_EQ(copy->ObjHandle(), 1);
    EXPECT_EQ(copy->ObjectName(), "Source");
    EXPECT_EQ(copy->UserData(), "QXYZ");
    ASSERT_EQ(copy->OwnedObjectList().size(), 1u);
    EXPECT_EQ(copy->OwnedObjectList()[0]->ObjectName(), "leaf 3");
    EXPECT_NE(copy->OwnedObjectList()[0], source.OwnedObjectList()[0]);

    copy->SetObjectName("Changed");
    copy->EnableStateProperty().SetValue(false);
    EXPECT_EQ(source.ObjectName(), "Source");
    EXPECT_TRUE(source.EnableStateProperty().Value());
}

TEST(ObjectTree, CopyOfAWorkObjectClonesItsList) {
    TVEKRootPlus work;
    OwnedPropertyList list;
    AppendListedProperties(PageFrom(ThreeEntryPage()), 0, false, list);
    work.SetPropertyList(std::move(list));
    auto copy = CopyObject(work);
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->Properties().size(), 3u);
    EXPECT_NE(copy->Properties()[0].get(), work.Properties()[0].get());
    EXPECT_EQ(copy->Properties()[2]->Name(), "P2 (Unknown)");
}

struct TextCase {
    const char* what;
    Bytes answer;
    uint16_t declared;
    std::vector<TextDescription> expected;
};

TEST(TextDescriptions, EntriesAreReadOnlyWhereTheyArrivedWhole) {
    const TextCase cases[] = {
        {"two entries",
         {0, 0, 2, 0, 7, 0, 0, 0, 0, 0, 2, 'H', 'i', 0x00, 8, 1, 1, 1, 1, 1, 'X'},
         2,
         {{7, "Hi"}, {2048, "X"}}},
        {"count 0", {0, 0, 0, 0}, 0, {}},
        {"answer shorter than the count", {0, 0}, 0, {}},
        {"count larger than the entries", {0, 0, 9, 0, 7, 0, 0, 0, 0, 0, 1, 'A'}, 9, {{7, "A"}}},
        {"text runs past the end", {0, 0, 1, 0, 7, 0, 0, 0, 0, 0, 200, 'A', 'B'}, 1, {}},
        {"entry header cut off", {0, 0, 1, 0, 7, 0, 0}, 1, {}},
    };
    for (const auto& c : cases) {
        auto page = decodeTextDescriptions(c.answer);
        EXPECT_EQ(page.declaredCount, c.declared) << c.what;
        EXPECT_EQ(page.entries, c.expected) << c.what;
    }
}

}  // namespace
}  // namespace objscope
