// The objping example against the scripted device: a response, and a device
// that stays silent.
#include <cstdio>

#include "objlink_session.h"

namespace objlink_testing {
namespace {

std::string run(const std::string& arguments) {
    std::string command = std::string(VEK_BIN_DIR) + "/objping " + arguments + " 2>&1";
    std::string output;
    FILE* p = ::popen(command.c_str(), "r");
    if (p == nullptr) {
        return output;
    }
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, p) != nullptr) {
        output += buffer;
    }
    ::pclose(p);
    return output;
}

TEST_F(ObjlinkSession, ObjpingPrintsTheResponse) {
    std::thread device([&] {
        auto request = device_->next();
        ASSERT_TRUE(request);
        EXPECT_EQ(request->object, 0xFF00);
        EXPECT_EQ(request->message, 0x12);
        EXPECT_EQ(request->data, (std::vector<uint8_t>{0xAA, 0xBB}));
        device_->respond(*request, {0x01, 0xFE});
    });
    std::string output = run("127.0.0.2 0xFF00 0x12 2000 AABB");
    device.join();
    EXPECT_NE(output.find("Response from 127.0.0.2 object 0xFF00 message 0x0012"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("2 bytes\n01 FE\n"), std::string::npos) << output;
}

TEST_F(ObjlinkSession, ObjpingReportsTimeOut) {
    EXPECT_EQ(run("127.0.0.2 7 1 200"), "Time Out\n");
    EXPECT_NE(run("127.0.0.2 7").find("usage:"), std::string::npos);
}

}  // namespace
}  // namespace objlink_testing
