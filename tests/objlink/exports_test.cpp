// Results of the exports for bad arguments, and the version texts.
#include "objlink_session.h"

namespace objlink_testing {
namespace {

void ignore(uint32_t, VEKMessageResponse_t*) {}

TEST_F(ObjlinkSession, UnknownRegistrationIsRefusedByEveryExport) {
    const int32_t unknown = registration_ + 100;
    std::vector<uint8_t> data;
    VEKMessage_t m = message(1, 1, data);
    ResponseBuffer<4> response;
    EXPECT_EQ(SendVEKMessage(unknown, 0, &m, nullptr), VEKNET_ERR_NOT_REGISTERED);
    EXPECT_EQ(AsyncSendVEKMessage_CB(unknown, 100, &m, &response.record, &ignore, 0),
              VEKNET_ERR_NOT_REGISTERED);
    EXPECT_EQ(AsyncSendVEKMessage_Window(unknown, 100, &m, &response.record, 1, 1),
              VEKNET_ERR_NOT_REGISTERED);
    EXPECT_EQ(RespondVEKMessage(unknown, &response.record), VEKNET_ERR_NOT_REGISTERED);
    EXPECT_EQ(RegisterVEKObjectMessages_CB(unknown, 1, &ignore, 0), VEKNET_ERR_NOT_REGISTERED);
    EXPECT_EQ(RegisterVEKObjectMessages_Window(unknown, 1, 1, 1), VEKNET_ERR_NOT_REGISTERED);
    EXPECT_EQ(UnRegisterVEKObjectMessages(unknown, 1), VEKNET_ERR_NOT_REGISTERED);
    EXPECT_EQ(GetVEKNetVersion(unknown, 0), nullptr);
    VEKNetCleanup(unknown);  // does nothing
    EXPECT_GE(SendVEKMessage(registration_, 0, &m, nullptr), 0x8000);
}

TEST_F(ObjlinkSession, BadRecordsAndTargetsAreRefused) {
    std::vector<uint8_t> data;
    VEKMessage_t m = message(1, 1, data);
    auto* allBits = reinterpret_cast<VEKMessage_t*>(UINTPTR_MAX);
    ResponseBuffer<4> noBuffer;
    noBuffer.record.DataPtr = nullptr;
    ResponseBuffer<4> noCapacity;
    noCapacity.record.MaxDataLength = 0;
    ResponseBuffer<4> fine;
    VEKMessage_t badType = message(1, 1, data, VEKAddress_t{static_cast<VEKAddressType_t>(5), 1});

    EXPECT_EQ(SendVEKMessage(registration_, 0, nullptr, nullptr), VEKNET_ERR_BAD_RECORD);
    EXPECT_EQ(SendVEKMessage(registration_, 0, allBits, nullptr), VEKNET_ERR_BAD_RECORD);
    EXPECT_EQ(SendVEKMessage(registration_, 100, &m, nullptr), VEKNET_ERR_BAD_RECORD);
    EXPECT_EQ(SendVEKMessage(registration_, 100, &m, &noBuffer.record), VEKNET_ERR_BAD_RECORD);
    EXPECT_EQ(SendVEKMessage(registration_, 100, &m, &noCapacity.record), VEKNET_ERR_BAD_RECORD);
    EXPECT_EQ(SendVEKMessage(registration_, 100, &badType, &fine.record), VEKNET_ERR_NO_ADDRESS);
    EXPECT_EQ(AsyncSendVEKMessage_CB(registration_, 100, &m, &fine.record, nullptr, 0),
              VEKNET_ERR_BAD_RECORD);
    EXPECT_EQ(AsyncSendVEKMessage_Window(registration_, 100, &m, &fine.record, 0, 1),
              VEKNET_ERR_NO_WINDOW);
    EXPECT_EQ(AsyncSendVEKMessage_Window(registration_, 100, &m, &fine.record, 1, 0),
              VEKNET_ERR_NO_WINDOW);
    EXPECT_EQ(RespondVEKMessage(registration_, nullptr), VEKNET_ERR_BAD_RECORD);
    EXPECT_EQ(RegisterVEKObjectMessages_CB(registration_, 1, nullptr, 0), VEKNET_ERR_BAD_RECORD);
    EXPECT_EQ(RegisterVEKObjectMessages_Window(registration_, 1, 0, 1), VEKNET_ERR_NO_WINDOW);
    // None of them sent anything.
    EXPECT_FALSE(device_->next(200ms));
}

TEST_F(ObjlinkSession, VersionTexts) {
    const std::string line = "VEK NET DLL (OBJLINK.DLL) Version 1.1.0";
    ASSERT_NE(GetVEKNetVersion(registration_, 0), nullptr);
    EXPECT_EQ(GetVEKNetVersion(registration_, 0), line);
    // The library made the only hubclient registration of this process: 1.
    const char* base = GetVEKBaseVersion(1, 0xFFFF);
    std::string all = GetVEKNetVersion(registration_, 1);
    EXPECT_EQ(all.substr(0, line.size() + 2), line + "\r\n");
    if (base != nullptr) {
        EXPECT_EQ(all, (line + "\r\n" + base).substr(0, 255));
    }
}

TEST_F(ObjlinkSession, SecondStartupIsARegistrationOfItsOwn) {
    int32_t second = VEKNetStartup();
    ASSERT_GE(second, 1);
    EXPECT_NE(second, registration_);
    std::vector<uint8_t> data;
    VEKMessage_t m = message(1, 1, data);
    VEKNetCleanup(second);
    EXPECT_EQ(SendVEKMessage(second, 0, &m, nullptr), VEKNET_ERR_NOT_REGISTERED);
    EXPECT_GE(SendVEKMessage(registration_, 0, &m, nullptr), 0x8000);
}

}  // namespace
}  // namespace objlink_testing
