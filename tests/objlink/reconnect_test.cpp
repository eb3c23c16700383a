// Cleaning the only registration up and starting again at once: the next
// registration is served, by the server that was ending or by a new one.
#include "objlink_session.h"

namespace objlink_testing {
namespace {

TEST(Reconnect, StartupRightAfterCleanupIsServedEveryTime) {
    ServerPorts ports = writeServerSettings();
    Device device(2, ports.receive);
    ASSERT_TRUE(device.bound());
    for (int round = 0; round < 20; ++round) {
        int32_t registration = VEKNetStartup();
        ASSERT_GE(registration, 1) << "round " << round;
        std::vector<uint8_t> data{static_cast<uint8_t>(round)};
        VEKMessage_t m{};
        m.ObjectID = 7;
        m.MessageID = 1;
        m.DataLength = 1;
        m.DataPtr = data.data();
        m.Address = VEKAddress_t{FullAddress, kDevice};
        VEKMessageResponse_t response{};
        ASSERT_GT(SendVEKMessage(registration, 0, &m, &response), 0) << "round " << round;
        auto sent = device.next();
        ASSERT_TRUE(sent) << "round " << round;
        EXPECT_EQ(sent->data, data);
        VEKNetCleanup(registration);
    }
    EXPECT_TRUE(waitUntil(serverWindowGone));
}

}  // namespace
}  // namespace objlink_testing
