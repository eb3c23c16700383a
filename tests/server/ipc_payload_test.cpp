// The checks on request payloads: every length field is held against the
// bytes that are really there.
#include "ipc_payload.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wire/datagram.h"

namespace {

std::vector<uint8_t> envelopeWithLength(uint32_t length, size_t bytesPresent) {
    std::vector<uint8_t> e(12 + bytesPresent, 0);
    wire::writeLe32(e.data() + 4, length);
    for (size_t i = 0; i < bytesPresent; ++i) {
        e[12 + i] = static_cast<uint8_t>(i + 1);
    }
    return e;
}

struct EnvelopeCase {
    const char* name;
    std::vector<uint8_t> payload;
    bool accepted;
    size_t acceptedSize;
};

class EnvelopeCheckTest : public ::testing::TestWithParam<EnvelopeCase> {};

TEST_P(EnvelopeCheckTest, AcceptsOnlyCompleteDatagrams) {
    const EnvelopeCase& c = GetParam();
    auto envelope = hub::checkedEnvelope(c.payload);
    ASSERT_EQ(envelope.has_value(), c.accepted);
    if (c.accepted) {
        EXPECT_EQ(envelope->size(), c.acceptedSize);
        EXPECT_EQ(envelope->data(), c.payload.data());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EnvelopeCheckTest,
    ::testing::Values(EnvelopeCase{"Empty", {}, false, 0},
                      EnvelopeCase{"ShorterThanFixedPart", std::vector<uint8_t>(11, 0), false, 0},
                      EnvelopeCase{"LengthBelowHeader", envelopeWithLength(8, 8), false, 0},
                      EnvelopeCase{"LengthBeyondPayload", envelopeWithLength(10, 9), false, 0},
                      EnvelopeCase{"HugeLength", envelopeWithLength(0xFFFFFFFF, 9), false, 0},
                      EnvelopeCase{"Exact", envelopeWithLength(9, 9), true, 21},
                      EnvelopeCase{"TrailingBytesCutOff", envelopeWithLength(9, 30), true, 21}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DebugTextCheckTest, NeedsTheTerminatorWithinTheFirst8192Bytes) {
    std::vector<uint8_t> text(8192, 'a');
    EXPECT_FALSE(hub::checkedDebugText(text));
    text[8191] = 0;
    EXPECT_EQ(hub::checkedDebugText(text)->size(), 8191u);
    text[3] = 0;
    EXPECT_EQ(hub::checkedDebugText(text)->size(), 3u);

    // A zero past the 8192 bytes does not count.
    std::vector<uint8_t> longer(9000, 'b');
    longer[8500] = 0;
    EXPECT_FALSE(hub::checkedDebugText(longer));
    EXPECT_FALSE(hub::checkedDebugText({}));
}

TEST(CommRecordCheckTest, OpenRequestNeedsAll28BytesAndReadsLittleEndian) {
    std::vector<uint8_t> request(28, 0);
    for (size_t field = 0; field < 7; ++field) {
        wire::writeLe32(request.data() + 4 * field, static_cast<uint32_t>(0x01020300 + field));
    }
    auto info = hub::checkedCommRegInfo(request);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->CommPortNumber, 0x01020300u);
    EXPECT_EQ(info->Info.BaudRate, 0x01020301u);
    EXPECT_EQ(info->Info.XonXoff, 0x01020306u);
    request.pop_back();
    EXPECT_FALSE(hub::checkedCommRegInfo(request));
}

TEST(CommRecordCheckTest, DataRecordLengthMustFitThePayload) {
    std::vector<uint8_t> record(8 + 5, 0x55);
    wire::writeLe32(record.data(), 42);
    wire::writeLe32(record.data() + 4, 5);
    auto view = hub::checkedCommData(record);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->commID, 42u);
    EXPECT_EQ(view->data.size(), 5u);

    wire::writeLe32(record.data() + 4, 6);
    EXPECT_FALSE(hub::checkedCommData(record));
    wire::writeLe32(record.data() + 4, 0xFFFFFFF9);
    EXPECT_FALSE(hub::checkedCommData(record));
    EXPECT_FALSE(hub::checkedCommData(std::vector<uint8_t>(7, 0)));
}

}  // namespace
