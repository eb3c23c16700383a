// The "more follows" loop: it ends on every kind of answer.
#include "protocol/more_follows_pager.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "protocol/tarn_method_codec.h"

namespace objscope {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(MoreFollowsPager, EndsOnEveryAnswer) {
    struct Case {
        const char* what;
        PagerStep answer;  // every page answers this
        PagerEnd end;
        size_t pages;
    };
    const Case cases[] = {
        {"complete", {0, 10}, PagerEnd::Complete, 1},
        {"failed", {-2, 0}, PagerEnd::Failed, 1},
        {"more but nothing", {kMoreFollowsStatus, 0}, PagerEnd::Stalled, 3},
        {"error with more", {kMoreFollowsStatus | 0x20, 0}, PagerEnd::Stalled, 3},
        {"more forever", {kMoreFollowsStatus, 1}, PagerEnd::PageCap, 1024},
        {"past 65535", {kMoreFollowsStatus, 1000}, PagerEnd::OffsetLimit, 66},
    };
    for (const auto& c : cases) {
        PagerOutcome outcome = RunPager([&](uint16_t) { return c.answer; });
        EXPECT_EQ(outcome.end, c.end) << c.what;
        EXPECT_EQ(outcome.pages, c.pages) << c.what;
    }
}

TEST(MoreFollowsPager, RepeatsTheSamePositionAfterAnEmptyAnswer) {
    std::deque<PagerStep> script = {
        {kMoreFollowsStatus, 4}, {kMoreFollowsStatus | 1, 0}, {kMoreFollowsStatus, 4}, {0, 2}};
    std::vector<uint16_t> asked;
    PagerOutcome outcome = RunPager([&](uint16_t position) {
        asked.push_back(position);
        PagerStep step = script.front();
        script.pop_front();
        return step;
    });
    EXPECT_EQ(outcome.end, PagerEnd::Complete);
    EXPECT_EQ(asked, (std::vector<uint16_t>{0, 4, 4, 8}));
    EXPECT_EQ(outcome.position, 10u);
}

// A device whose block is `block`, answering in chunks of `chunk` bytes.
struct BlockDevice {
    Bytes block;
    size_t chunk;
    int32_t operator()(std::span<const uint8_t> payload, Bytes& reply) const {
        auto read = decodeDataBlockReadRequest(payload);
        if (!read || read->offset > block.size())
            return 0x2000;
        size_t count = std::min(chunk, block.size() - read->offset);
        reply = dataBlockChunkPayload(read->offset, std::span(block).subspan(read->offset, count));
        return read->offset + count < block.size() ? kMoreFollowsStatus : 0;
    }
};

TEST(MoreFollowsPager, ReadsADataBlockWithinItsCapacity) {
    Bytes block(1000);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i);
    Bytes got;
    std::vector<uint16_t> offsets;
    auto sink = [&](uint16_t offset, std::span<const uint8_t> bytes) {
        offsets.push_back(offset);
        got.insert(got.end(), bytes.begin(), bytes.end());
    };
    PagerOutcome outcome = ReadDataBlock(BlockDevice{block, 400}, sink);
    EXPECT_EQ(outcome.end, PagerEnd::Complete);
    EXPECT_EQ(got, block);
    EXPECT_EQ(offsets, (std::vector<uint16_t>{0, 400, 800}));

    got.clear();
    outcome = ReadDataBlock(BlockDevice{block, 400}, sink, 500);
    EXPECT_EQ(outcome.end, PagerEnd::SizeCap);
    EXPECT_EQ(got.size(), 500u);
    EXPECT_EQ(outcome.pages, 2u);

    // A refusal carries no chunk: nothing is taken and the loop ends.
    got.clear();
    outcome = ReadDataBlock([](std::span<const uint8_t>, Bytes&) { return 0x0800; }, sink);
    EXPECT_EQ(outcome.end, PagerEnd::Complete);
    EXPECT_TRUE(got.empty());
}

}  // namespace
}  // namespace objscope
