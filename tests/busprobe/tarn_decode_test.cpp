#include "tarn_decode.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>

#include "temp_folder.h"
#include "wire/datagram.h"

namespace busprobe {
namespace {

std::vector<uint8_t> tarn(uint16_t messageId, std::vector<uint8_t> data) {
    return wire::buildDatagram({0xFF00, messageId, 0x8001}, data);
}

TEST(TarnDecode, NamesTheKindTheAddressesThePropertyAndTheStatus) {
    // Get of property 0x4012 (bits 0..13: 18) from device 1, object 100.
    std::vector<uint8_t> get{0, 1, 0, 0, 1, 0, 100, 0, 0, 0, 9, 0, 2, 0, 0x12, 0x40, 4};
    auto request = decodeTarn(tarn(0x0001, get));
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->kind, "TarnGet");
    EXPECT_EQ(request->propertyId, 18);
    EXPECT_EQ(tarnSummary(*request), "TarnGet dev 1 obj 100 prop 18");

    struct Case {
        uint8_t status;
        uint8_t mode;
        const char* text;
    };
    const Case replies[] = {{0, 0, "OK"},
                            {4, 0, "Device Invalid (4)"},
                            {0, 8, "Property Invalid (8)"},
                            {0, 0x80, "Partial Response (128)"}};
    for (const auto& c : replies) {
        std::vector<uint8_t> data{c.status, c.mode, 0, 0, 9, 0, 2, 0, 0, 0, 1, 0, 0, 0};
        auto reply = decodeTarn(tarn(0x8400, data));
        ASSERT_TRUE(reply.has_value());
        EXPECT_EQ(reply->kind, "TarnGetAllObjs");
        EXPECT_EQ(reply->statusText, c.text);
        EXPECT_FALSE(reply->propertyId.has_value());
        EXPECT_EQ(tarnSummary(*reply), std::string("TarnGetAllObjs dev 1 obj 0: ") + c.text);
    }
    EXPECT_FALSE(decodeTarn(tarn(0x0001, {0, 1, 0})).has_value());  // shorter than the header
    EXPECT_FALSE(decodeTarn(wire::buildDatagram({0x0102, 1, 1}, get)).has_value());
    EXPECT_EQ(decodeTarn(tarn(0x0777, get))->kind, "");
}

TEST(TarnDecode, DissectorTablesAreWhatTheProtocolCodePrints) {
    std::string command = std::string(VEK_BIN_DIR) + "/tarn_tables";
    std::string printed;
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        printed.append(buffer.data(), n);
    }
    ASSERT_EQ(::pclose(pipe), 0);
    EXPECT_NE(printed.find("[1024] = \"TarnGetAllObjs\","), std::string::npos);
    EXPECT_EQ(printed, testing::readFile(std::string(VEK_SOURCE_DIR) + "/tools/tarn_tables.lua"))
        << "tools/tarn_tables.lua is out of date: regenerate it with bin/tarn_tables";
}

}  // namespace
}  // namespace busprobe
