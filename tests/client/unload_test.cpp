// Loading and unloading libhubclient with dlopen/dlclose: the library's
// thread and hidden window come and go with it, and registrations made
// before the unload are ended at the server.
#include <dirent.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <thread>

#include "client_test_support.h"

namespace client_testing {
namespace {

int threadCount() {
    int n = 0;
    DIR* d = ::opendir("/proc/self/task");
    while (dirent* e = d != nullptr ? ::readdir(d) : nullptr) {
        n += e->d_name[0] != '.' ? 1 : 0;
    }
    if (d != nullptr) {
        ::closedir(d);
    }
    return n;
}

// Files in the runtime folder whose name begins with `prefix`.
int runtimeEntries(const std::string& prefix) {
    int n = 0;
    DIR* d = ::opendir(runtimeDir().c_str());
    while (dirent* e = d != nullptr ? ::readdir(d) : nullptr) {
        n += std::string(e->d_name).rfind(prefix, 0) == 0 ? 1 : 0;
    }
    if (d != nullptr) {
        ::closedir(d);
    }
    return n;
}

std::string libraryPath() {
    return binDir() + "/libhubclient.so";
}

std::string hiddenWindowTitle() {
    char title[64];
    std::snprintf(title, sizeof title, "HUBCLIENT App 0x%X", static_cast<unsigned>(::getpid()));
    return title;
}

bool isLoaded() {
    void* h = ::dlopen(libraryPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (h != nullptr) {
        ::dlclose(h);
    }
    return h != nullptr;
}

TEST(Unload, DlcloseEndsTheLibraryThreadAndItsWindow) {
    int before = threadCount();
    for (int round = 0; round < 3; ++round) {
        void* library = ::dlopen(libraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << ::dlerror();
        EXPECT_EQ(threadCount(), before + 1);
        EXPECT_TRUE(waitUntil([] { return runtimeEntries(hiddenWindowTitle()) > 0; }));
        ASSERT_EQ(::dlclose(library), 0);
        EXPECT_FALSE(isLoaded());
        EXPECT_EQ(threadCount(), before);
        // The title socket of the hidden window is released (its lock file may stay).
        EXPECT_EQ(
            runtimeEntries(hiddenWindowTitle()) - runtimeEntries(hiddenWindowTitle() + ".lock"), 0);
    }
}

using StartupFn = int32_t (*)();
using MonitorFn = int32_t (*)(int32_t, VEKNetMonCallback_t);
using TimerFn = int32_t (*)(int32_t, uint32_t, VEKTimerCallback_t, uint32_t);

// A registration with a subscriber and a timer, made on a thread that has
// ended, is unregistered by the unload: the server then ends by itself.
TEST(Unload, UnloadUnregistersAtTheServer) {
    writeServerSettings();
    int before = threadCount();
    void* library = ::dlopen(libraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    auto startup = reinterpret_cast<StartupFn>(::dlsym(library, "VEKBaseStartup"));
    auto monitor = reinterpret_cast<MonitorFn>(::dlsym(library, "RegisterNetMonCallback_CB"));
    auto timer = reinterpret_cast<TimerFn>(::dlsym(library, "InstallTimer_CB"));
    ASSERT_TRUE(startup != nullptr && monitor != nullptr && timer != nullptr);
    int32_t registration = 0;
    int32_t subscriber = 0;
    int32_t timerId = 0;
    std::thread([&] {
        registration = startup();
        subscriber = monitor(registration, [](_Message*, NetMonCBReason_t) {});
        timerId = timer(
            registration, 50, [](uint32_t, int32_t) {}, 0);
    }).join();
    EXPECT_GE(registration, 1);
    EXPECT_GE(subscriber, 1);
    EXPECT_GE(timerId, 1);
    EXPECT_TRUE(serverTitleExists());
    ASSERT_EQ(::dlclose(library), 0);
    EXPECT_FALSE(isLoaded());
    EXPECT_EQ(threadCount(), before);
    EXPECT_TRUE(waitUntil([] { return !serverTitleExists(); }));
}

}  // namespace
}  // namespace client_testing
