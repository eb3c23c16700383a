// Device files: line-numbered errors for bad input, a save that loads back
// unchanged, and the shipped default device.
#include "device_file.h"

#include <gtest/gtest.h>

#include <set>

#include "model/class_catalogue.h"
#include "property_values.h"

namespace {

using tarnsim::DeviceFileError;
using tarnsim::parseDeviceFile;

TEST(DeviceFile, ErrorsNameTheLineAndTheFault) {
    struct Case {
        std::string text;
        size_t line;
        const char* message;
    };
    const Case cases[] = {
        {"object 5 class 52\n  prop 4096 dB1 30\n", 2, "does not fit"},
        {"object 5 class 52\n\n  prop 4096 dB1 -3 min -2\n", 3, "outside its limits"},
        {"prop 2 String \"x\"\n", 1, "before the first object"},
        {"object 5 class 52\nobject 5 class 53\n", 2, "defined twice"},
        {"object 5 class 52 owner 9\n", 1, "owner 9"},
        {"object 5 class 52\n  prop 2 String \"open\n", 2, "closing quote"},
        {"object 5 class 52\n  prop 2 String unquoted\n", 2, "must be quoted"},
        {"object 5 class 52\n  prop 7 UWord 3\n", 2, "follows from the object line"},
        {"object 5 class 52\n  prop 9 Frobnicate 3\n", 2, "unknown value type"},
        {"object 5 class 52\n  prop 9 UByte 3 readonly extra\n", 2, "unexpected"},
        {"object 5 class 52\n  prop 9 UByte 3\n  prop 9 UByte 4\n", 3, "given twice"},
        {"object 70000 class 52\n", 1, "above"},
        {"object 5 class 68\n  matrix 2 2 3:1\n", 2, "outside the 2 x 2"},
        {"object 5 class 11\n  data 1G\n", 2, "not a whole number"},
        {"object 5 class 52\n  bogus\n", 2, "unknown keyword"},
        {"object 5 class 52\n  prop 9 String \"\\q\"\n", 2, "bad escape"},
        {"object 5 class 52\n  prop 9 UByte 3 text\n", 2, "needs a quoted text"},
        {"object 5 class 52\n  prop 9 UByte 3 text bare\n", 2, "needs a quoted text"},
        {"object 5 class 52\n  prop 9 UByte 3 text \"" + std::string(256, 'a') + "\"\n", 2,
         "longer than 255"},
    };
    for (const auto& c : cases) {
        try {
            parseDeviceFile(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const DeviceFileError& error) {
            EXPECT_EQ(error.line(), c.line) << c.text;
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
}

TEST(DeviceFile, SavedTextLoadsBackToTheSameText) {
    const char* text = R"(
object 0 class 17
  prop 2068 UByte 8
object 5 class 52 owner none   # comment
  prop 2 String "Tab\x09 \"quoted\" \\"
  prop 4096 dB1 -3.5 min -60 max 20 text "Gain \"main\""
  prop 4097 dB2 -12.25 readonly wiggle
  prop 4098 Coeff 0.1
  prop 4099 ByteArray 00 ff 10
  prop 4100 NumberList 1 65535
  prop 4101 ObjAddr 2130706433 77
  prop 4102 Decade2 3.0969
  prop 4103 UQWord -9000000000
object 6 class 69 owner 5
  matrix 3 2 1:1 3:2
object 7 class 11
  prop 3072 UWord 1
  prop 3073 UWord 3
  data 01 02 03
)";
    auto first = tarnsim::formatDeviceFile(parseDeviceFile(text));
    auto second = tarnsim::formatDeviceFile(parseDeviceFile(first));
    EXPECT_EQ(first, second);
    auto contents = parseDeviceFile(first);
    const auto* object = contents.find(5);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->find(2)->value.size(), std::string("Tab\t \"quoted\" \\").size());
    EXPECT_EQ(object->find(4096)->value, std::vector<uint8_t>{193});
    EXPECT_TRUE(object->find(4097)->readOnly);
    EXPECT_TRUE(object->find(4097)->wiggle);
    EXPECT_EQ(*object->find(4096)->min, -60);
    EXPECT_EQ(object->find(4096)->text, "Gain \"main\"");
    EXPECT_EQ(object->find(4097)->text, "");
    EXPECT_EQ(contents.find(6)->matrix->connected.size(), 2u);
    EXPECT_EQ(*contents.find(7)->dataBlock, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(contents.objects.front().handle, 0);
}

TEST(DeviceFile, EveryObjectGetsTheCommonPropertiesAndMethodState) {
    auto contents = parseDeviceFile("object 5 class 226\nobject 6 class 68\nobject 7 class 254\n");
    EXPECT_EQ(contents.objects.front().handle, 0) << "a device object is added";
    EXPECT_NE(contents.objects.front().find(2068), nullptr);
    for (const auto& object : contents.objects) {
        for (uint16_t id : {2, 6, 8, 11})
            EXPECT_NE(object.find(id), nullptr) << object.handle << " lacks " << id;
    }
    EXPECT_TRUE(contents.find(5)->tests);
    EXPECT_TRUE(contents.find(6)->matrix);
    EXPECT_TRUE(contents.find(7)->dataBlock);
}

TEST(DeviceFile, DataBlockSizesFromHugeNumbersStayBounded) {
    auto contents = parseDeviceFile(
        "object 5 class 11\n  prop 3072 UQWord 9000000000000\n  prop 3073 UDWord 4000000000\n"
        "object 6 class 254\n  prop 3072 SWord -5\n");
    EXPECT_EQ(contents.find(5)->dataBlock->size(), tarnsim::kMaxDataBlockSize);
    EXPECT_TRUE(contents.find(6)->dataBlock->empty());
}

TEST(DeviceFile, DefaultDeviceHoldsEveryEditorClass) {
    auto contents = tarnsim::defaultDevice();
    std::set<uint16_t> classes;
    std::set<std::string> variants;
    for (const auto& object : contents.objects) {
        classes.insert(object.classId);
        if (const auto* user = object.find(8); user && !user->value.empty())
            variants.insert(std::string(1, static_cast<char>(user->value[0])));
    }
    for (uint16_t id : {60, 65, 38, 66,  37,  49,  53,  166, 167, 58,  59,  68,  69,  70,
                        54, 50, 61, 35,  51,  4,   52,  63,  67,  71,  163, 164, 165, 72,
                        73, 74, 78, 144, 145, 147, 150, 151, 11,  254, 226, 235})
        EXPECT_TRUE(classes.count(id)) << "class " << id;
    bool unknown = false;
    for (uint16_t id : classes)
        unknown = unknown || objscope::LookupClass(id).classId == -1;
    EXPECT_TRUE(unknown) << "an object of a class the catalogue does not know";
    // (A matrix combiner, "M", is recognised by its class alone.)
    for (const char* letter : {"E", "Q", "m", "X", "x", "L", "l", "s", "D"}) {
        EXPECT_TRUE(variants.count(letter)) << "variant " << letter;
    }
    // Owners are objects of the device, and every owned object lists after
    // its owner, so a listing can be rebuilt in one pass.
    std::set<uint16_t> seen;
    for (const auto& object : contents.objects) {
        if (object.owner != tarnsim::kNoOwner) {
            EXPECT_TRUE(seen.count(object.owner)) << object.handle;
        }
        seen.insert(object.handle);
    }
}

}  // namespace
