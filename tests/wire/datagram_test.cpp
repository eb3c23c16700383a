#include "wire/datagram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes magicThen(const Bytes& rest) {
    Bytes bytes(3 + rest.size());
    bytes[0] = 'V';
    bytes[1] = 'E';
    bytes[2] = 'K';
    std::copy(rest.begin(), rest.end(), bytes.begin() + 3);
    return bytes;
}

struct DatagramCase {
    const char* name;
    wire::DatagramHeader header;
    Bytes data;
    Bytes expected;
};

TEST(Datagram, BuildsAndReadsTheDocumentedBytes) {
    const DatagramCase cases[] = {
        {"request to 0x0102",
         {0x0102, 5, 0x8001},
         {0xAA, 0xBB},
         magicThen({0x02, 0x01, 0x05, 0x00, 0x01, 0x80, 0xAA, 0xBB})},
        {"its response",
         {0x0102, 5 | wire::kResponseFlag, 0x8001},
         {0x00},
         magicThen({0x02, 0x01, 0x05, 0x80, 0x01, 0x80, 0x00})},
        {"object 0x1234, no data",
         {0x1234, 0, 0},
         {},
         magicThen({0x34, 0x12, 0x00, 0x00, 0x00, 0x00})},
    };
    for (const DatagramCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes built = wire::buildDatagram(c.header, c.data);
        EXPECT_EQ(built, c.expected);
        std::optional<wire::DatagramHeader> read = wire::readHeader(built);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->objectId, c.header.objectId);
        EXPECT_EQ(read->messageId, c.header.messageId);
        EXPECT_EQ(read->messageNumber, c.header.messageNumber);
        auto data = wire::datagramData(built);
        EXPECT_EQ(Bytes(data.begin(), data.end()), c.data);
    }
}

TEST(Datagram, ValidityNeedsNineBytesAndExactMagic) {
    struct Case {
        Bytes bytes;
        bool valid;
    };
    const Case cases[] = {
        {magicThen({1, 2, 3, 4, 5, 6}), true},
        {magicThen({1, 2, 3, 4, 5}), false},
        {{'v', 'e', 'k', 1, 2, 3, 4, 5, 6}, false},
        {{'V', 'E', 'X', 1, 2, 3, 4, 5, 6}, false},
        {{}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wire::isValidDatagram(c.bytes), c.valid) << c.bytes.size();
        EXPECT_EQ(wire::readHeader(c.bytes).has_value(), c.valid);
        if (!c.valid) {
            EXPECT_TRUE(wire::datagramData(c.bytes).empty());
        }
    }
}

TEST(Envelope, RoundTripsAndRefusesLengthsBeyondTheBytes) {
    Bytes datagram = magicThen({2, 1, 5, 0, 1, 0x80, 0xAA});
    Bytes envelope = wire::buildEnvelope(0x0A010203, wire::kDirectionReceived, datagram);
    ASSERT_EQ(envelope.size(), datagram.size() + 12);
    EXPECT_EQ(Bytes(envelope.begin(), envelope.begin() + 12),
              (Bytes{0x03, 0x02, 0x01, 0x0A, 10, 0, 0, 0, 1, 0, 0, 0}));

    auto view = wire::readEnvelope(envelope);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->address, 0x0A010203u);
    EXPECT_EQ(view->parameter, wire::kDirectionReceived);
    EXPECT_EQ(Bytes(view->datagram.begin(), view->datagram.end()), datagram);

    Bytes cut(envelope.begin(), envelope.end() - 1);
    EXPECT_FALSE(wire::readEnvelope(cut));
    Bytes lying = envelope;
    lying[7] = 0xFF;  // Length near 4 GiB
    EXPECT_FALSE(wire::readEnvelope(lying));
    EXPECT_FALSE(wire::readEnvelope(Bytes(11, 0)));
    // Extra bytes after the datagram are not part of it.
    Bytes longer = envelope;
    longer.push_back(0x99);
    EXPECT_EQ(wire::readEnvelope(longer)->datagram.size(), datagram.size());
}

}  // namespace
