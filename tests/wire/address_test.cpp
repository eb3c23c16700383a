#include "wire/address.h"

#include <gtest/gtest.h>

#include "wire/msgnumber.h"

namespace {

TEST(Address, ComposedFromOctetsMostSignificantFirst) {
    EXPECT_EQ(wire::composeAddress(10, 1, 2, 3), 0x0A010203u);
    EXPECT_EQ(wire::formatDottedAddress(0x0A010203u), "10.1.2.3");
    EXPECT_EQ(wire::formatDottedAddress(0xFFFFFFFFu), "255.255.255.255");
}

TEST(Address, BroadcastWhenNetworkOrNodeIs255) {
    struct Case {
        uint32_t address;
        bool broadcast;
    };
    const Case cases[] = {
        {wire::composeAddress(10, 1, 2, 255), true},
        {wire::composeAddress(255, 255, 255, 255), true},
        {wire::composeAddress(255, 0, 0, 1), true},
        {wire::composeAddress(10, 255, 2, 3), false},
        {wire::composeAddress(10, 1, 255, 3), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wire::isBroadcast(c.address), c.broadcast)
            << wire::formatDottedAddress(c.address);
    }
}

TEST(Address, ParsesOnlyFourDecimalOctets) {
    EXPECT_EQ(wire::parseDottedAddress("127.0.0.2"), wire::composeAddress(127, 0, 0, 2));
    EXPECT_EQ(wire::parseDottedAddress("0.0.0.0"), 0u);
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "a.b.c.d", "1.2.3.4x"}) {
        EXPECT_FALSE(wire::parseDottedAddress(bad)) << bad;
    }
}

TEST(MessageNumber, StartsAt0x8000AndWrapsAfter0xFFFF) {
    wire::MessageNumberCounter counter;
    EXPECT_EQ(counter.next(), 0x8000);
    EXPECT_EQ(counter.next(), 0x8001);
    for (int i = 0; i < 0x7FFD; ++i) {
        uint16_t n = counter.next();
        ASSERT_GE(n, 0x8000);
    }
    EXPECT_EQ(counter.next(), 0xFFFF);
    EXPECT_EQ(counter.next(), 0x8000);
    counter.next();
    counter.reset();
    EXPECT_EQ(counter.next(), 0x8000);
}

TEST(MessageNumber, BlockStartsAtTheNextNumberAndWrapsLikeSingleNumbers) {
    wire::MessageNumberCounter counter;
    EXPECT_EQ(counter.take(32), 0x8000);
    EXPECT_EQ(counter.next(), 0x8020);
    for (int i = 0; i < 0x7FFD - 32; ++i) {
        counter.next();
    }
    EXPECT_EQ(counter.take(4), 0xFFFE);  // 0xFFFE, 0xFFFF, 0x8000, 0x8001
    EXPECT_EQ(counter.next(), 0x8002);
}

}  // namespace
