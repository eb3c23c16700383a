// The own address when none is configured: the host name's, unless it is
// only loopback, then an interface's.
#include "wire/own_address.h"

#include <gtest/gtest.h>

#include "wire/address.h"

namespace {

using wire::InterfaceAddress;

const uint32_t kDebianHostName = wire::composeAddress(127, 0, 1, 1);
const uint32_t kLan = wire::composeAddress(10, 0, 0, 5);
const uint32_t kSecondLan = wire::composeAddress(192, 168, 7, 9);

const InterfaceAddress kLo{"lo", wire::composeAddress(127, 0, 0, 1), true, true};
const InterfaceAddress kEthDown{"eth0", kSecondLan, false, false};
const InterfaceAddress kEth{"eth1", kLan, true, false};

TEST(OwnAddress, LoopbackHostNameGivesTheFirstUpInterface) {
    struct Case {
        const char* name;
        std::vector<uint32_t> hostName;
        std::vector<InterfaceAddress> interfaces;
        uint32_t address;
        const char* interfaceName;
    };
    const Case cases[] = {
        {"host name on the LAN", {kSecondLan, kLan}, {kLo, kEth}, kSecondLan, ""},
        {"a LAN address after loopback", {kDebianHostName, kLan}, {kLo}, kLan, ""},
        {"loopback only", {kDebianHostName}, {kLo, kEthDown, kEth}, kLan, "eth1"},
        {"no usable interface", {kDebianHostName}, {kLo, kEthDown}, kDebianHostName, ""},
    };
    for (const Case& c : cases) {
        auto own = wire::chooseOwnAddress(c.hostName, c.interfaces);
        ASSERT_TRUE(own) << c.name;
        EXPECT_EQ(own->address, c.address) << c.name;
        EXPECT_EQ(own->interfaceName, c.interfaceName) << c.name;
        EXPECT_EQ(own->hostNameAddress, c.hostName.front()) << c.name;
    }
    // A host name that does not resolve stays without address.
    EXPECT_FALSE(wire::chooseOwnAddress({}, {kEth}));
}

// On this machine: whenever an interface other than loopback is up and the
// host name resolves, the own address is not a loopback address.
TEST(OwnAddress, ThisMachinesAddressIsNotLoopbackWhenALanInterfaceIsUp) {
    bool lanUp = false;
    for (const InterfaceAddress& i : wire::interfaceAddresses()) {
        lanUp = lanUp || (i.up && !i.loopback && !wire::isLoopback(i.address));
    }
    auto own = wire::lookupOwnAddress();
    if (!lanUp || !own) {
        GTEST_SKIP() << "no interface besides loopback, or the host name does not resolve";
    }
    EXPECT_FALSE(wire::isLoopback(own->address)) << wire::formatDottedAddress(own->address);
}

}  // namespace
