// The client registry driven directly: IDs, lookups, the WIN16 rule, the
// unregistration order and the automatic shutdown posted to the main window.
#include <gtest/gtest.h>

#include <vector>

#include "client_registry.h"
#include "message_codes.h"
#include "private_dirs.h"
#include "wire/ipc.h"

namespace {

using namespace testing_support;

std::vector<int32_t> gClosedPorts;

void recordPortsClosed(int32_t clientID) {
    gClosedPorts.push_back(clientID);
}

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mainWindow_ = plat::createWindow([this](plat::Message& m) -> int64_t {
            closeRequests_ += m.msg == hub::kMsgAutoShutdown ? 1 : 0;
            return 0;
        });
        ASSERT_NE(mainWindow_, plat::kNoWindow);
        gClosedPorts.clear();
    }

    void TearDown() override {
        hub::SetClientPortsCloser(nullptr);
        hub::RemoveClientInterface();
        plat::shutdownThreadLoop();
    }

    // Delivers what was posted to the main window.
    int closeRequestsAfterPump() {
        plat::Message m;
        while (plat::peekMessage(m)) {
            plat::dispatchMessage(m);
        }
        return closeRequests_;
    }

    PrivateDirs dirs_;
    plat::Hwnd mainWindow_ = plat::kNoWindow;
    int closeRequests_ = 0;
};

TEST_F(RegistryTest, IdsCountFromOneInRegistrationOrderAndLookupsFindTheRecords) {
    hub::InitClientInterface(mainWindow_, 0);
    EXPECT_EQ(hub::RegisterWin32Client(0x1111, 501), 1);
    EXPECT_EQ(hub::RegisterWin16Client(0x2222), 2);
    EXPECT_EQ(hub::RegisterWin32Client(0x3333, 503), 3);

    EXPECT_EQ(hub::GetClientProcessID(1), 501u);
    EXPECT_EQ(hub::GetClientWindowHandle(1), 0x1111u);
    EXPECT_EQ(hub::GetClientType(1), hub::win32_client);
    EXPECT_EQ(hub::GetClientProcessID(2), 0u);
    EXPECT_EQ(hub::GetClientType(2), hub::win16_client);
    EXPECT_EQ(hub::FindClientByWindow(0x3333)->ClientID, 3);

    // An unknown ID gives the neutral values.
    EXPECT_EQ(hub::GetClientProcessID(9), 0u);
    EXPECT_EQ(hub::GetClientType(9), hub::win32_client);
    EXPECT_EQ(hub::GetClientWindowHandle(9), plat::kNoWindow);
    EXPECT_FALSE(hub::FindClient(9));
}

TEST(ClientNumberTest, WrapsAfterSevenHexDigits) {
    EXPECT_EQ(hub::ClientNumberAfter(1), 2);
    EXPECT_EQ(hub::ClientNumberAfter(0x7FFFFFE), 0x7FFFFFF);
    EXPECT_EQ(hub::ClientNumberAfter(0x7FFFFFF), 1);
}

TEST_F(RegistryTest, RefusesNoWindowAndAnswersZeroWhenNotRunning) {
    EXPECT_EQ(hub::RegisterWin32Client(0x1111, 1), 0);
    hub::InitClientInterface(mainWindow_, 0);
    EXPECT_EQ(hub::RegisterWin32Client(plat::kNoWindow, 1), wire::kResultBadRequest);
    EXPECT_EQ(hub::RegisterWin16Client(plat::kNoWindow), wire::kResultBadRequest);
    EXPECT_EQ(hub::ClientCount(), 0u);
    // A refused registration takes no ID.
    EXPECT_EQ(hub::RegisterWin32Client(0x1111, 1), 1);
    hub::RemoveClientInterface();
    EXPECT_EQ(hub::ClientCount(), 0u);
    EXPECT_EQ(hub::RegisterWin32Client(0x1111, 1), 0);
}

TEST_F(RegistryTest, ANewWin16ClientReplacesTheEarlierOneOnly) {
    hub::InitClientInterface(mainWindow_, 0);
    int32_t win32 = hub::RegisterWin32Client(0x1111, 7);
    int32_t first = hub::RegisterWin16Client(0x2222);
    int32_t second = hub::RegisterWin16Client(0x3333);
    EXPECT_GT(second, first);
    EXPECT_FALSE(hub::FindClient(first));
    EXPECT_TRUE(hub::FindClient(second));
    EXPECT_TRUE(hub::FindClient(win32));
    // Even a refused WIN16 registration removes the earlier WIN16 client.
    EXPECT_EQ(hub::RegisterWin16Client(plat::kNoWindow), wire::kResultBadRequest);
    EXPECT_FALSE(hub::FindClient(second));
    EXPECT_EQ(hub::ClientCount(), 1u);
}

TEST_F(RegistryTest, UnregistrationClosesPortsAndRemovesOnlyThatClient) {
    hub::InitClientInterface(mainWindow_, 1);
    hub::SetClientPortsCloser(recordPortsClosed);
    int32_t a = hub::RegisterWin32Client(0x1111, 7);
    int32_t b = hub::RegisterWin32Client(0x2222, 8);
    EXPECT_EQ(hub::UnRegisterClient(a), 0);
    EXPECT_EQ(gClosedPorts, std::vector<int32_t>{a});
    EXPECT_FALSE(hub::FindClient(a));
    EXPECT_TRUE(hub::FindClient(b));
    EXPECT_EQ(closeRequestsAfterPump(), 0);
}

struct ShutdownCase {
    const char* name;
    int32_t autoShutdown;
    bool unregisterKnownClient;
    int expectedCloseRequests;
};

class AutoShutdownTest : public RegistryTest, public ::testing::WithParamInterface<ShutdownCase> {};

TEST_P(AutoShutdownTest, LastClientLeavingClosesTheServerOnlyWhenSwitchedOn) {
    const ShutdownCase& c = GetParam();
    hub::InitClientInterface(mainWindow_, c.autoShutdown);
    int32_t id = hub::RegisterWin32Client(0x1111, 7);
    hub::UnRegisterClient(c.unregisterKnownClient ? id : id + 100);
    EXPECT_EQ(closeRequestsAfterPump(), c.expectedCloseRequests);
    // Once empty, a further unregistration posts nothing more.
    hub::UnRegisterClient(id);
    EXPECT_EQ(closeRequestsAfterPump(), c.autoShutdown != 0 ? 1 : 0);
}

TEST_F(RegistryTest, ShutdownIsDueOnlyWhileTheListStaysEmpty) {
    hub::InitClientInterface(mainWindow_, 1);
    EXPECT_TRUE(hub::AutomaticShutdownDue());
    int32_t id = hub::RegisterWin32Client(0x1111, 7);
    EXPECT_FALSE(hub::AutomaticShutdownDue());
    hub::UnRegisterClient(id);
    EXPECT_TRUE(hub::AutomaticShutdownDue());
    // A registration between the request and its handling keeps the server.
    hub::RegisterWin32Client(0x2222, 8);
    EXPECT_EQ(closeRequestsAfterPump(), 1);
    EXPECT_FALSE(hub::AutomaticShutdownDue());
    hub::RemoveClientInterface();
    EXPECT_FALSE(hub::AutomaticShutdownDue());
}

INSTANTIATE_TEST_SUITE_P(Cases, AutoShutdownTest,
                         ::testing::Values(ShutdownCase{"On", 1, true, 1},
                                           ShutdownCase{"Off", 0, true, 0},
                                           ShutdownCase{"UnknownIdChangesNothing", 1, false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
