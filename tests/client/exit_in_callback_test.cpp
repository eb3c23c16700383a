// A process that ends with exit() inside a callback on the library thread
// ends normally, and its registration goes with it.
#include "session_fixture.h"

namespace client_testing {
namespace {

[[noreturn]] void exitFromTimer(uint32_t code, int32_t) {
    std::exit(static_cast<int>(code));
}

TEST(ExitInCallback, ProcessEndsWithTheCallersCodeAndUnregisters) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    writeServerSettings();
    EXPECT_EXIT(
        {
            int32_t registration = VEKBaseStartup();
            if (registration < 1 || InstallTimer_CB(registration, 10, exitFromTimer, 3) < 1) {
                std::exit(1);
            }
            std::this_thread::sleep_for(kLiveness);
            std::exit(2);
        },
        ::testing::ExitedWithCode(3), "");
    // The unload posted the unregistration: the server ends by itself.
    EXPECT_TRUE(waitUntil([] { return !serverTitleExists(); }));
}

}  // namespace
}  // namespace client_testing
