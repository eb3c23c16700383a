// Exports called with registrations that do not exist and with malformed
// arguments.
#include <functional>

#include "session_fixture.h"

namespace client_testing {
namespace {

constexpr int32_t kUnknown = 4711;

void ignoreMonitor(_Message*, NetMonCBReason_t) {}
void ignoreReceive(_Message*, uint32_t) {}
void ignoreTimer(uint32_t, int32_t) {}

struct UnregisteredCase {
    const char* name;
    std::function<int64_t()> call;
    int64_t expected;
};

// No server is needed to refuse an unknown registration.
TEST(UnknownRegistration, EveryExportRefusesIt) {
    uint8_t bytes[9] = {'V', 'E', 'K'};
    _Message message{0x7F000002, sizeof bytes, bytes, nullptr};
    const UnregisteredCase cases[] = {
        {"SendVEKNetMessage", [&] { return SendVEKNetMessage(kUnknown, &message); },
         VEK_ERR_NOT_REGISTERED},
        {"RegisterReceiveCallback_CB",
         [] { return RegisterReceiveCallback_CB(kUnknown, ignoreReceive, 0); },
         VEK_ERR_NOT_REGISTERED},
        {"RegisterReceiveCallback_Window",
         [] { return RegisterReceiveCallback_Window(kUnknown, 1, 1); }, VEK_ERR_NOT_REGISTERED},
        {"RegisterNetMonCallback_CB",
         [] { return RegisterNetMonCallback_CB(kUnknown, ignoreMonitor); }, VEK_ERR_NOT_REGISTERED},
        {"RegisterNetMonCallback_Window",
         [] { return RegisterNetMonCallback_Window(kUnknown, 1, 1); }, VEK_ERR_NOT_REGISTERED},
        {"UnRegisterReceiveCallback", [] { return UnRegisterReceiveCallback(kUnknown, 1); },
         VEK_ERR_NOT_REGISTERED},
        {"UnRegisterNetMonCallback", [] { return UnRegisterNetMonCallback(kUnknown, 1); },
         VEK_ERR_NOT_REGISTERED},
        {"InstallTimer_Window", [] { return InstallTimer_Window(kUnknown, 100, 1, 1); },
         VEK_ERR_NOT_REGISTERED},
        {"InstallTimer_CB", [] { return InstallTimer_CB(kUnknown, 100, ignoreTimer, 0); },
         VEK_ERR_NOT_REGISTERED},
        {"RemoveTimer", [] { return RemoveTimer(kUnknown, 1); }, VEK_ERR_NOT_REGISTERED},
        {"GetMessageNumber", [] { return GetMessageNumber(kUnknown); }, 0},
        {"GetNetworkAddress", [] { return GetNetworkAddress(kUnknown); }, 0},
        {"GetVEKBaseVersion",
         [] { return reinterpret_cast<intptr_t>(GetVEKBaseVersion(kUnknown, 3)); }, 0},
        {"the internal registration",
         [] { return reinterpret_cast<intptr_t>(GetVEKBaseVersion(-223, 3)); }, 0},
    };
    for (const UnregisteredCase& c : cases) {
        EXPECT_EQ(c.call(), c.expected) << c.name;
    }
    VEKBaseCleanup(kUnknown);  // does nothing
}

struct BadMessageCase {
    const char* name;
    uint8_t* data;
    uint32_t length;
};

TEST_F(ServerSession, MalformedMessagesAreRefusedBeforeAnythingIsSent) {
    uint8_t header[9] = {'V', 'E', 'K'};
    const BadMessageCase cases[] = {
        {"no data but a length", nullptr, 12},
        {"no data and no length", nullptr, 0},
        {"shorter than the header", header, 8},
    };
    for (const BadMessageCase& c : cases) {
        _Message m{0x7F000002, c.length, c.data, nullptr};
        EXPECT_EQ(SendVEKNetMessage(registration_, &m), VEK_ERR_BAD_ARG) << c.name;
    }
    EXPECT_EQ(SendVEKNetMessage(registration_, nullptr), VEK_ERR_BAD_ARG);
}

TEST_F(ServerSession, MissingTargetsAndUnknownIdsAreBadArguments) {
    EXPECT_EQ(InstallTimer_CB(registration_, 100, nullptr, 0), VEK_ERR_BAD_ARG);
    EXPECT_EQ(InstallTimer_Window(registration_, 100, 0, 0x400), VEK_ERR_BAD_ARG);
    EXPECT_EQ(InstallTimer_Window(registration_, 100, 1, 0), VEK_ERR_BAD_ARG);
    EXPECT_EQ(RegisterReceiveCallback_CB(registration_, nullptr, 0), VEK_ERR_BAD_ARG);
    EXPECT_EQ(RegisterNetMonCallback_Window(registration_, 0, 0x400), VEK_ERR_BAD_ARG);
    EXPECT_EQ(RemoveTimer(registration_, 999), VEK_ERR_BAD_ARG);
    EXPECT_EQ(UnRegisterReceiveCallback(registration_, 999), VEK_ERR_BAD_ARG);
}

}  // namespace
}  // namespace client_testing
