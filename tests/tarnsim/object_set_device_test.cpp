// tarnsim and object set files: a device written as one reads back to the
// same file, a malformed file is refused with its line, object 0 takes a
// confirm, and a listing can ignore its class filter.
#include "object_set_device.h"

#include <gtest/gtest.h>

#include "device_file.h"
#include "objectset/object_set_format.h"
#include "protocol/tarn_device_properties.h"
#include "protocol/tarn_items.h"
#include "protocol/tarn_rejections.h"
#include "protocol/tarn_replies.h"
#include "protocol/tarn_requests.h"
#include "simulated_device.h"
#include "tarn_exchange.h"

namespace {

using tarnsim_test::datagramOf;
using tarnsim_test::kRequester;
using tarnsim_test::Parsed;

constexpr uint32_t kFrom = 0x7F000001;

Parsed Ask(tarnsim::SimulatedDevice& device, const objscope::TarnRequest& request) {
    static uint16_t number = 0x8200;
    auto out = device.handleDatagram(kFrom, datagramOf(request, number++));
    EXPECT_FALSE(out.empty());
    return out.empty() ? Parsed{} : tarnsim_test::parse(out.front().datagram).value_or(Parsed{});
}

TEST(ObjectSetDevice, TheDefaultDeviceReadsBackToTheSameFile) {
    std::string text = tarnsim::formatObjectSetText(tarnsim::defaultDevice());
    ASSERT_NE(text.find(objscope::kObjectSetMarkerLine), std::string::npos);
    tarnsim::DeviceContents loaded = tarnsim::parseObjectSetText(text);
    EXPECT_EQ(loaded.objects.size(), tarnsim::defaultDevice().objects.size());
    EXPECT_EQ(tarnsim::formatObjectSetText(loaded), text);
    // The data block of the BLOB object and of the linked list came back.
    ASSERT_NE(loaded.find(1000), nullptr);
    EXPECT_EQ(loaded.find(1000)->dataBlock, tarnsim::defaultDevice().find(1000)->dataBlock);
    EXPECT_EQ(loaded.find(1010)->dataBlock, tarnsim::defaultDevice().find(1010)->dataBlock);
}

TEST(ObjectSetDevice, AFileWithoutObjectZeroGetsTheDeviceAndRefusesFaults) {
    auto contents = tarnsim::parseObjectSetText("52,10,65535,0,(14,2,\"Lobby\"),(131,4096,-6)\r\n");
    ASSERT_EQ(contents.objects.size(), 2u);
    EXPECT_EQ(contents.objects.front().handle, 0);
    // The class's properties the file leaves out come from the class.
    EXPECT_NE(contents.find(10)->find(4098), nullptr);

    struct Case {
        const char* text;
        size_t line;
    };
    const Case bad[] = {
        {"52,10,65535,0,(131,4096,x)\r\n", 1},
        {"52,10,65535,0,(1,5,1)\r\n52,10,65535,0,(1,5,1)\r\n", 2},
        {"52,10,99,0,(1,5,1)\r\n", 0},
        {"52,10,65535,0,(1,5,1)\r\n####\r\n11,0,1,(1)\r\n", 3},
    };
    for (const auto& c : bad) {
        try {
            tarnsim::parseObjectSetText(c.text);
            ADD_FAILURE() << c.text;
        } catch (const tarnsim::DeviceFileError& error) {
            EXPECT_EQ(error.line(), c.line) << c.text << error.what();
        }
    }
    EXPECT_TRUE(tarnsim::isObjectSetPath("/x/Rack.TOB"));
    EXPECT_FALSE(tarnsim::isObjectSetPath("/x/rack.tdev"));
}

TEST(ObjectSetDevice, ObjectZeroTakesAConfirmOfItsOwnClass) {
    tarnsim::SimulatedDevice device({1, 0}, tarnsim::defaultDevice());
    std::vector<std::vector<uint8_t>> items{objscope::encodeItem(2, std::vector<uint8_t>{'R'})};
    auto reply = Ask(device, *objscope::buildConfirmObject(kRequester, 0, 1, 17, 0, 65535, items));
    EXPECT_EQ(reply.status(), 0);
    EXPECT_EQ(device.contents().find(0)->find(2)->value, std::vector<uint8_t>{'R'});
    reply = Ask(device, *objscope::buildConfirmObject(kRequester, 0, 1, 52, 0, 65535, items));
    EXPECT_EQ(reply.status(), objscope::statusValueOf(objscope::MessageRejection::FieldInvalid));
}

TEST(ObjectSetDevice, AListingCanIgnoreItsClassFilter) {
    for (bool ignore : {false, true}) {
        tarnsim::DeviceOptions options;
        options.deviceNumber = 1;
        options.ignoreClassFilter = ignore;
        tarnsim::SimulatedDevice device(options, tarnsim::defaultDevice());
        auto reply = Ask(device, objscope::buildGetAllObjs(kRequester, 0, 1, 0, 11));
        auto page = objscope::decodeObjectListing(reply.data);
        ASSERT_FALSE(page.entries.empty());
        EXPECT_EQ(page.entries.front().objectHandle == 0, ignore);
    }
}

}  // namespace
