// The WIN16 interface in-process: what waits for its thread is bounded when
// the WIN16 client does not take its messages, and such a client never
// keeps the interface from stopping.
#include <gtest/gtest.h>

#include <vector>

#include "private_dirs.h"
#include "test_client.h"
#include "win16_interface.h"
#include "wire/ipc.h"

namespace {

using namespace testing_support;

TEST(Win16QueueTest, BlocksForAClientThatDoesNotReadAreBoundedAndStopDoesNotHang) {
    PrivateDirs dirs;
    // The test thread owns the WIN16 client's window and never pumps it, so
    // every delivery waits for its time-out.
    plat::Hwnd client = plat::createWindow([](plat::Message&) { return int64_t{1}; });
    plat::Hwnd mainWindow = plat::createWindow([](plat::Message&) { return int64_t{0}; });
    ASSERT_EQ(hub::InitWin16Interface(mainWindow), 1);

    std::vector<uint8_t> envelope = envelopeOf(0x7F000001, datagramOf(1, 2, 3));
    int accepted = 0;
    for (int i = 0; i < 1500; ++i) {
        accepted += hub::PostToWin16Interface(client, 9, envelope) ? 1 : 0;
    }
    EXPECT_GE(accepted, 1024);
    EXPECT_LE(accepted, 1025);  // one may already be in the thread's hands

    hub::RemoveWin16Interface();
    EXPECT_FALSE(hub::PostToWin16Interface(client, 9, envelope));
    plat::shutdownThreadLoop();
}

}  // namespace
