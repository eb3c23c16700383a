// Flags (Modified, SendLast, ReadOnly), Assign, bounded unpacking, unknown
// type codes and stream records of the property values.
#include <gtest/gtest.h>

#include <memory>

#include "values/property_arrays.h"
#include "values/property_factory.h"
#include "values/property_handle_value.h"
#include "protocol/property_id.h"
#include "values/property_messages.h"
#include "values/property_object_address.h"
#include "values/property_quad_word.h"
#include "values/property_string_value.h"
#include "values/property_typed_values.h"
#include "property_test_support.h"

namespace objscope {
namespace {

using test::Bytes;
using test::Hex;
using test::Packed;

// Captures the texts shown while it lives.
class MessageCapture {
  public:
    MessageCapture() {
        previous_ = SetPropertyMessageSink([this](const std::string& t) { texts.push_back(t); });
    }
    ~MessageCapture() { SetPropertyMessageSink(previous_); }
    std::vector<std::string> texts;

  private:
    PropertyMessageSink previous_;
};

TEST(PropertyID, MakePropertyIDCombinesSizeCodeGroupAndIndex) {
    EXPECT_EQ(MakePropertyID(0, 2, 3), 0xC002);
    EXPECT_EQ(MakePropertyID(4, 1, 1), 0x4000 + 4 * 1024 + 1);
    EXPECT_EQ(MakePropertyID(17, 65, 5), MakePropertyID(1, 1, 1));  // taken modulo
    EXPECT_TRUE(SamePropertyID(0x4002, 0xC002));
    EXPECT_FALSE(SamePropertyID(0x4002, 0x4003));
}

TEST(ModifiedFlag, StartValuesFollowTheConstructors) {
    EXPECT_TRUE(TU32MultiValue().Modified());  // limits switched on through the setter
    EXPECT_TRUE(TU32VEKDB2().Modified());
    EXPECT_FALSE(TU32StringValue().Modified());
    EXPECT_FALSE(TU32aesClass_ID().Modified());
    EXPECT_TRUE(TU32aesClass_ID().HasMinMax());
    EXPECT_FALSE(TU32UQWord().Modified());
    EXPECT_FALSE(TU32UQWord().HasMinMax());
    TU32StringValue fresh;
    EXPECT_FALSE(fresh.SendLast());
    EXPECT_FALSE(fresh.ReadOnly());
    EXPECT_EQ(fresh.Name(), "");
}

TEST(ModifiedFlag, SetOnlyByRealChanges) {
    TU32VEKDB2 gain;
    gain.SetPropertyID(0x1000);
    gain.SetModified(false);

    gain.SetPropertyID(0x1000);
    gain.SetHasMinMax(true);
    gain.SetData(0);
    EXPECT_FALSE(gain.Modified()) << "nothing changed";

    gain.SetMin(-10);  // limits are not changes of the value
    EXPECT_FALSE(gain.Modified());

    gain.SetData(300);  // clamped to 255.9: still a change
    EXPECT_TRUE(gain.Modified());
    EXPECT_EQ(gain.GetData(), 255.9);

    gain.SetModified(false);
    gain.SetData(400);  // clamps to the same value
    EXPECT_FALSE(gain.Modified());

    gain.SetHasMinMax(false);
    EXPECT_TRUE(gain.Modified());
}

TEST(ModifiedFlag, TextComparisonIsCaseSensitive) {
    TU32StringValue text;
    text.SetData("abc");
    text.SetModified(false);
    text.SetData("abc");
    EXPECT_FALSE(text.Modified());
    text.SetData("ABC");
    EXPECT_TRUE(text.Modified());
}

TEST(ModifiedFlag, DecodedValuesSetItOnlyWhenTheyChangeTheValue) {
    TU32VEKDB2 gain;
    gain.SetData(-3.5);
    gain.SetModified(false);
    UnPackData(Bytes("00 40 40 FE"), gain);
    EXPECT_FALSE(gain.Modified());
    UnPackData(Bytes("00 40 00 00"), gain);
    EXPECT_TRUE(gain.Modified());
}

TEST(ModifiedFlag, NewLimitsDoNotReclampTheValue) {
    TU32MultiValue value;
    value.SetData(100);
    value.SetMax(50);
    EXPECT_EQ(value.GetData(), 100);
    value.SetData(100);
    EXPECT_EQ(value.GetData(), 50);
}

TEST(Assign, CopiesIdentityFlagsAndValueAndSetsModified) {
    TU32VEKDB2 source;
    source.SetPropertyID(0x1001);
    source.SetName("Current Gain");
    source.SetReadOnly(true);
    source.SetSendLast(true);
    source.SetData(-6);
    source.SetMin(-20);

    TU32VEKDB2 target;
    target.SetModified(false);
    target.Assign(source);
    EXPECT_EQ(target.PropertyID(), 0x1001);
    EXPECT_EQ(target.Name(), "Current Gain");
    EXPECT_TRUE(target.ReadOnly());
    EXPECT_TRUE(target.SendLast());
    EXPECT_TRUE(target.Modified());
    EXPECT_EQ(target.GetData(), -6);
    EXPECT_EQ(target.Min(), -20);

    auto copy = source.Clone();
    ASSERT_NE(dynamic_cast<TU32VEKDB2*>(copy.get()), nullptr);
    EXPECT_TRUE(copy->SameValue(source));
}

TEST(Assign, TypedClassesKeepTheirTypeCode) {
    TU32VEKDB2 source;
    source.SetData(100);
    TU32VEKDB1 typed;
    typed.Assign(source);
    EXPECT_EQ(typed.VEKtype(), 131);
    EXPECT_EQ(typed.GetData(), 27.5) << "clamped to the dB1 limits";
    EXPECT_EQ(typed.Max(), 27.5);

    TU32MultiValue generic;
    generic.Assign(source);
    EXPECT_EQ(generic.VEKtype(), 132);
    EXPECT_EQ(generic.GetData(), 100);
    EXPECT_EQ(generic.Size(), 2u);
}

TEST(Assign, AcrossFamiliesCopiesOnlyTheCommonPart) {
    TU32StringValue text;
    text.SetData("keep");
    TU32VEKDB2 number;
    number.SetPropertyID(9);
    text.Assign(number);
    EXPECT_EQ(text.PropertyID(), 9);
    EXPECT_EQ(text.Data(), "keep");
}

TEST(UnPackData, EightByteCodesTakeOnlyTheBytesThatFitAndArrived) {
    for (uint8_t code : {uint8_t{10}, uint8_t{12}}) {
        auto property = CreatePropertyForType(code, false);
        auto& value = dynamic_cast<TU32MultiValue&>(*property);
        EXPECT_EQ(UnPackData(Bytes("00 80 78 56 34 12"), value), 6u);
        EXPECT_EQ(value.GetData(), 0x12345678);
        EXPECT_EQ(UnPackData(Bytes("00 00 2A"), value), 3u);
        EXPECT_EQ(value.GetData(), 42);
        // Of an 8-byte item the low four bytes are the value.
        EXPECT_EQ(UnPackData(Bytes("00 C0 08 FE FF FF FF 00 00 00 01"), value), 11u);
        EXPECT_EQ(value.GetData(), code == 10 ? -2 : 2147483647) << int(code);
        // Other wire sizes change nothing.
        EXPECT_EQ(UnPackData(Bytes("00 C0 05 01 00 00 00 00"), value), 8u);
        EXPECT_EQ(value.GetData(), code == 10 ? -2 : 2147483647) << int(code);
    }
}

TEST(UnPackData, ShorterWireSizesReadOnlyWhatArrived) {
    TU32UDWord word;
    word.SetData(0xFFFFFFFF);
    EXPECT_EQ(UnPackData(Bytes("00 00 07"), word), 3u);
    EXPECT_EQ(word.GetData(), 7);

    TU32VEKRatio3 ratio;  // 3 bytes, signed
    EXPECT_EQ(UnPackData(Bytes("00 C0 03 00 00 80"), ratio), 6u);
    EXPECT_EQ(ratio.GetData(), -128);

    TVEKObject_Address address;
    address.SetParts(0xFFFFFFFF, 0xFFFF);
    EXPECT_EQ(UnPackData(Bytes("00 C0 02 01 02"), address), 5u);
    EXPECT_EQ(address.Part32(), 0x0201u);
    EXPECT_EQ(address.Part16(), 0);

    TU32VEKNumberList list;
    EXPECT_EQ(UnPackData(Bytes("00 C0 03 01 00 02"), list), 6u);
    EXPECT_EQ(list.Numbers(), std::vector<uint16_t>{1});
}

TEST(UnPackData, CutOffItemsDecodeNothing) {
    TU32VEKDB2 gain;
    gain.SetData(1);
    const char* cutOff[] = {"00", "00 40 40", "00 C0", "00 C0 05 01 02"};
    for (const char* item : cutOff) {
        EXPECT_EQ(UnPackData(Bytes(item), gain), 0u) << item;
        EXPECT_EQ(gain.GetData(), 1) << item;
    }
}

TEST(UnknownTypeCodes, ShowAMessageAndLeaveTheValue) {
    MessageCapture capture;
    TU32MultiValue value;
    value.SetVEKType(50);
    value.SetData(5);

    std::vector<uint8_t> out;
    EXPECT_EQ(PackData(out, value), 0u);
    EXPECT_TRUE(out.empty()) << "no item without a value";

    EXPECT_EQ(UnPackData(Bytes("00 80 01 02 03 04"), value), 6u);
    EXPECT_EQ(value.GetData(), 5);
    ASSERT_EQ(capture.texts.size(), 2u);
    EXPECT_EQ(capture.texts[0], ">>> PackData:  Unknown Property_Type >>>50");
    EXPECT_EQ(capture.texts[1], ">>> UnPackData:  Unknown Property_Type >>>50");
}

TEST(UnknownTypeCodes, EmptyTableRowsCarryNoValue) {
    MessageCapture capture;
    TU32MultiValue value;
    value.SetVEKType(133);
    EXPECT_EQ(Hex(Packed(value)), "00 C0 00");
    EXPECT_EQ(UnPackData(Bytes("00 40 10 00"), value), 4u);
    EXPECT_EQ(value.GetData(), 0);
    EXPECT_TRUE(capture.texts.empty());
}

TEST(PackData, ValuesTooLongForTheLengthByteAreNotFramed) {
    MessageCapture capture;
    TU32VEKNumberList list;
    list.SetNumbers(std::vector<uint16_t>(128, 1));  // 256 bytes
    std::vector<uint8_t> out;
    EXPECT_EQ(PackData(out, list), 0u);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(capture.texts,
              std::vector<std::string>{">>> PackData:  Value Too Long For An Item >>>256"});
}

TEST(PackData, SizeCodeFollowsTheWireSizeNotTheStoredID) {
    TU32VEKDB2 gain;
    gain.SetPropertyID(MakePropertyID(1, 3, 3));  // stored size code 3
    EXPECT_EQ(Hex(Packed(gain)), "03 44 00 00");
}

// Stream records: write, read back into a fresh object of the same class.
std::vector<std::unique_ptr<TVEKPropertyBase>> StreamSamples() {
    std::vector<std::unique_ptr<TVEKPropertyBase>> samples;
    auto gain = std::make_unique<TU32VEKDB2>();
    gain->SetData(-12.5);
    samples.push_back(std::move(gain));
    auto text = std::make_unique<TU32UserData>();
    text->SetData("m  xy");
    samples.push_back(std::move(text));
    auto handle = std::make_unique<TU32aesDEV_Handle>();
    handle->SetData(300);
    samples.push_back(std::move(handle));
    auto quad = std::make_unique<TU32UQWord>();
    quad->SetData(-9000000000LL);
    samples.push_back(std::move(quad));
    auto address = std::make_unique<TVEKObject_Address>();
    address->SetParts(0x10002, 3);
    samples.push_back(std::move(address));
    auto list = std::make_unique<TU32VEKNumberList>();
    list->SetNumbers({4, 5, 6});
    samples.push_back(std::move(list));
    auto bytes = std::make_unique<TU32VEKByteArray>();
    bytes->SetBytes({9, 8});
    samples.push_back(std::move(bytes));
    for (auto& sample : samples) {
        sample->SetPropertyID(0x4007);
        sample->SetName("Sample");
    }
    return samples;
}

TEST(StreamRecords, RoundTripEveryValueClass) {
    for (const auto& sample : StreamSamples()) {
        std::vector<uint8_t> stream;
        ByteWriter writer(stream);
        sample->WriteToStream(writer);

        auto read = sample->CreateSame();
        ByteReader reader(stream);
        ASSERT_TRUE(read->ReadFromStream(reader)) << sample->DisplayText();
        EXPECT_EQ(reader.remaining(), 0u);
        EXPECT_EQ(read->PropertyID(), 0x4007);
        EXPECT_EQ(read->Name(), "Sample");
        EXPECT_EQ(read->HasMinMax(), sample->HasMinMax());
        EXPECT_TRUE(read->SameValue(*sample)) << read->DisplayText();

        // Every shorter stream is refused.
        for (size_t cut = 0; cut < stream.size(); cut += 7) {
            ByteReader shortReader(std::span<const uint8_t>(stream).first(cut));
            EXPECT_FALSE(sample->CreateSame()->ReadFromStream(shortReader)) << cut;
        }
    }
}

TEST(StreamRecords, LayoutOfANumericRecord) {
    TU32VEKDB2 gain;
    gain.SetPropertyID(0x0102);
    gain.SetName("G");
    std::vector<uint8_t> stream;
    ByteWriter writer(stream);
    gain.WriteToStream(writer);
    ASSERT_EQ(stream.size(), 2u + 1 + 129 + 3 * 8);
    EXPECT_EQ(Hex({stream.begin(), stream.begin() + 5}), "02 01 01 01 47");
}

TEST(StreamRecords, ReadingAppliesTheStoredLimits) {
    TU32MultiValue wide;
    wide.SetHasMinMax(false);
    wide.SetData(1000);
    wide.SetMax(10);
    wide.SetHasMinMax(true);
    std::vector<uint8_t> stream;
    ByteWriter writer(stream);
    wide.WriteToStream(writer);

    TU32MultiValue read;
    ByteReader reader(stream);
    ASSERT_TRUE(read.ReadFromStream(reader));
    EXPECT_EQ(read.Max(), 10);
    EXPECT_EQ(read.GetData(), 10);
}

TEST(TypeLabels, NamesOfGeneratedProperties) {
    EXPECT_EQ(PropertyTypeLabel(132, false), "(dB2)");
    EXPECT_EQ(PropertyTypeLabel(13, false), "(Boolean)");
    EXPECT_EQ(PropertyTypeLabel(13, true), "(Raw Boolean)");
    EXPECT_EQ(PropertyTypeLabel(200, false), "(RelPtr)");
    EXPECT_EQ(PropertyTypeLabel(8, false), "");
    EXPECT_EQ(PropertyTypeLabel(99, false), "");
    EXPECT_NE(dynamic_cast<TU32BooleanRaw*>(CreatePropertyForType(13, true).get()), nullptr);
    EXPECT_EQ(CreatePropertyForType(99, false), nullptr);
    EXPECT_EQ(CreatePropertyForType(200, false)->VEKtype(), 4);
}

// The properties of a device's listing: a text listed as type 67 keeps 67
// (also in its copies); a type without a class is an "(Unknown)" byte array
// that carries the item's bytes back unchanged.
TEST(ListedProperties, KeepTheirTextTypeOrBecomeUnknownByteArrays) {
    auto text = CreateListedProperty(67, false);
    ASSERT_NE(dynamic_cast<TU32StringValue*>(text.get()), nullptr);
    EXPECT_EQ(text->VEKtype(), 67);
    EXPECT_EQ(text->CreateSame()->VEKtype(), 67);
    EXPECT_EQ(CreatePropertyForType(67, false)->VEKtype(), 67);
    EXPECT_EQ(CreateListedProperty(14, false)->VEKtype(), 14);
    EXPECT_EQ(ListedPropertyTypeLabel(67, false), "(String)");

    for (uint8_t code : {uint8_t{0}, uint8_t{99}, uint8_t{156}, uint8_t{250}}) {
        auto unknown = CreateListedProperty(code, false);
        ASSERT_NE(dynamic_cast<TU32VEKByteArray*>(unknown.get()), nullptr) << int(code);
        EXPECT_EQ(ListedPropertyTypeLabel(code, false), "(Unknown)") << int(code);
        unknown->SetPropertyID(0x12);
        std::vector<uint8_t> item = Bytes("12 C0 03 01 02 03");
        EXPECT_EQ(UnPackData(item, *unknown), item.size());
        EXPECT_EQ(Packed(*unknown), item) << int(code);
    }
    // Codes the table gives the plain number class keep it, without a label.
    EXPECT_EQ(CreateListedProperty(141, false)->VEKtype(), 141);
    EXPECT_EQ(ListedPropertyTypeLabel(141, false), "");
    EXPECT_EQ(ListedPropertyTypeLabel(13, true), "(Raw Boolean)");
    EXPECT_NE(dynamic_cast<TU32BooleanRaw*>(CreateListedProperty(13, true).get()), nullptr);
}

// Arbitrary received bytes into every property class: the decoder stays
// within the buffer (checked by the sanitizer build) and reports a length
// no longer than what it was given.
TEST(UnPackData, ArbitraryBytesStayWithinTheBuffer) {
    MessageCapture quiet;
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<uint8_t>(seed >> 16);
    };
    for (int code = 0; code < 256; ++code) {
        std::vector<std::unique_ptr<TVEKPropertyBase>> receivers;
        receivers.push_back(CreatePropertyForType(static_cast<uint8_t>(code), false));
        auto generic = std::make_unique<TU32MultiValue>();
        generic->SetVEKType(static_cast<uint8_t>(code));
        receivers.push_back(std::move(generic));
        for (auto& property : receivers) {
            for (int round = 0; property && round < 100; ++round) {
                std::vector<uint8_t> bytes(next() % 24);
                for (auto& b : bytes)
                    b = next();
                EXPECT_LE(UnPackData(bytes, *property), bytes.size()) << code;
            }
        }
    }
}

}  // namespace
}  // namespace objscope
