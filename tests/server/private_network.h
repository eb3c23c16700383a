// Tests that need a network of their own (broadcasts, the default UDP ports
// another server on this machine may hold) run this test program again
// inside a new network namespace: loopback up and a veth pair with
// 10.77.0.1/24 on vek0, so broadcasts to 10.77.0.255 loop back inside and go
// nowhere else. The outer test selects only the inner test; the inner test
// does nothing outside the namespace.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace testing_support {

constexpr const char* kInsidePrivateNetwork = "VEK_TEST_INSIDE_NETNS";
constexpr const char* kPrivateNetworkAddress = "10.77.0.1";

inline bool insidePrivateNetwork() {
    return std::getenv(kInsidePrivateNetwork) != nullptr;
}

// The command that makes the namespace and its interfaces, then runs the
// rest of the command line inside it.
inline std::string privateNetworkSetup(const char* unshareFlags) {
    return std::string("unshare ") + unshareFlags +
           " sh -c 'ip link set lo up && ip link add vek0 type veth peer name vek1 && "
           "ip addr add 10.77.0.1/24 dev vek0 && ip link set vek1 up && ip link set vek0 up && "
           "exec \"$0\" \"$@\"'";
}

// Which way of making a namespace works here ("-rn" without root, "-n" as
// root without user namespaces); empty when none.
inline std::string workingUnshare() {
    for (const char* flags : {"-rn", "-n"}) {
        std::string probe = privateNetworkSetup(flags) + " true >/dev/null 2>&1";
        if (std::system(probe.c_str()) == 0) {
            return flags;
        }
    }
    return {};
}

inline std::string runCapturing(const std::string& command, int& status) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return output;
    }
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, n);
    }
    status = ::pclose(pipe);
    return output;
}

// Runs the tests `filter` of this program inside a private network and
// expects `count` of them to pass there, none skipped. Skips the calling
// test inside the namespace already, or where no namespace can be made.
inline void runInsidePrivateNetwork(const std::string& filter, int count) {
    if (insidePrivateNetwork()) {
        GTEST_SKIP() << "already inside the private network";
    }
    std::string flags = workingUnshare();
    if (flags.empty()) {
        GTEST_SKIP() << "neither 'unshare -rn' nor 'unshare -n' with a veth pair works here: "
                        "no private network namespace";
    }
    char self[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", self, sizeof self - 1), 0);
    std::string command = std::string(kInsidePrivateNetwork) + "=1 " +
                          privateNetworkSetup(flags.c_str()) + " " + self +
                          " --gtest_filter=" + filter + " 2>&1";
    int status = 0;
    std::string output = runCapturing(command, status);
    std::string passed = "[  PASSED  ] " + std::to_string(count) + " test";
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find(passed), std::string::npos) << output;
    EXPECT_EQ(output.find("SKIPPED"), std::string::npos) << output;
}

}  // namespace testing_support
