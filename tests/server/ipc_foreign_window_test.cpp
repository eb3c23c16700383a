// A client names windows in its requests. It may name only its own: the
// server's window registered as a WIN16 client made every datagram come
// back to the server as a new send request, forever.
#include <gtest/gtest.h>

#include "ipc_test_support.h"
#include "wire/ipc.h"

namespace {

using namespace testing_support;
using std::chrono::milliseconds;

constexpr uint32_t kDevice = 0x7F000002;  // 127.0.0.2

class IpcForeignWindowTest : public IpcServerTest {};

TEST_F(IpcForeignWindowTest, RegistrationOfAnotherProcesssWindowIsRefused) {
    startServer();
    TestClient& client = newClient();
    EXPECT_EQ(client.request(wire::kReqRegisterWin16, client.server(), 0), wire::kResultBadRequest);
    EXPECT_EQ(client.request(wire::kReqRegisterWin32, client.server(), ::getpid()),
              wire::kResultBadRequest);
    // Its own window is welcome.
    EXPECT_GT(client.registerWin32(), 0);
}

TEST_F(IpcForeignWindowTest, ServerWindowAsWin16ClientCausesNoSendLoop) {
    startServer();
    UdpPeer device(kDevice, recvPort_);
    ASSERT_TRUE(device.bound());
    TestClient& client = newClient();
    auto hijacked = client.request(wire::kReqRegisterWin16, client.server(), 0);
    ASSERT_TRUE(hijacked);
    if (*hijacked > 0) {
        client.subscribe(static_cast<int32_t>(*hijacked), wire::kNetReceive);
    }
    int32_t senderID = 0;
    TestClient& sender = registeredClient(senderID);
    ASSERT_EQ(sender.sendDatagram(senderID, kDevice, datagramOf(0xFF00, 1, 0x8000)), 9);
    // A loop would never stop sending: count for a bounded time only.
    int arrived = 0;
    auto until = std::chrono::steady_clock::now() + milliseconds(600);
    while (std::chrono::steady_clock::now() < until && device.receive(milliseconds(300))) {
        ++arrived;
    }
    EXPECT_EQ(arrived, 1);
}

}  // namespace
