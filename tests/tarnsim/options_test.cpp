// The command line: defaults, several devices, and a clear error for every
// bad argument.
#include "options.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using tarnsim::parseOptions;

TEST(Options, DefaultsServeOneDeviceAt127002) {
    auto options = parseOptions({});
    ASSERT_EQ(options.listen.size(), 1u);
    EXPECT_EQ(options.listen[0].address, 0x7F000002u);
    EXPECT_EQ(options.listen[0].port, 3048);
    EXPECT_EQ(options.firstDeviceNumber, 1);
    EXPECT_EQ(options.dropEvery, 0u);
    EXPECT_EQ(options.delayMs, 0u);
}

TEST(Options, ReadsEveryOption) {
    auto options =
        parseOptions({"--listen", "127.0.0.3:4000", "--listen", "127.0.0.4", "--device-number", "5",
                      "--load", "in.tdev", "--save", "out.tdev", "--trace", "--wiggle",
                      "--drop-every", "3", "--delay-ms", "250", "--page-bytes", "200"});
    ASSERT_EQ(options.listen.size(), 2u);
    EXPECT_EQ(options.listen[0].port, 4000);
    EXPECT_EQ(options.listen[1].address, 0x7F000004u);
    EXPECT_EQ(options.listen[1].port, 3048);
    EXPECT_EQ(options.firstDeviceNumber, 5);
    EXPECT_EQ(*options.loadFile, "in.tdev");
    EXPECT_EQ(*options.saveFile, "out.tdev");
    EXPECT_TRUE(options.trace);
    EXPECT_TRUE(options.wiggle);
    EXPECT_EQ(options.dropEvery, 3u);
    EXPECT_EQ(options.delayMs, 250u);
    EXPECT_EQ(options.pageBytes, 200u);
}

TEST(Options, RefusesBadArgumentsWithAMessage) {
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"--listen"}, "needs a value"},
        {{"--listen", "localhost"}, "not an IPv4"},
        {{"--listen", "127.0.0.2:0"}, "not an IPv4"},
        {{"--listen", "127.0.0.2:70000"}, "not an IPv4"},
        {{"--listen", "192.168.1.20"}, "loopback"},
        {{"--listen", "127.0.0.1"}, "own address"},
        {{"--listen", "127.0.0.255"}, "broadcast"},
        {{"--listen", "127.0.0.2", "--listen", "127.0.0.2:3048"}, "given twice"},
        {{"--drop-every", "-1"}, "not a number"},
        {{"--delay-ms", "soon"}, "not a number"},
        {{"--page-bytes", "10"}, "at least 64"},
        {{"--page-bytes", "5000"}, "not a number"},
        {{"--device-number", "65534", "--listen", "127.0.0.2", "--listen", "127.0.0.3"},
         "too high"},
        {{"--frobnicate"}, "unknown argument"},
    };
    for (const auto& c : cases) {
        try {
            parseOptions(c.args);
            ADD_FAILURE() << "accepted " << c.args[0];
        } catch (const std::invalid_argument& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
}

}  // namespace
