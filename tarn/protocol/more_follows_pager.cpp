#include "protocol/more_follows_pager.h"

#include <algorithm>

#include "protocol/tarn_method_codec.h"

namespace objscope {

PagerOutcome RunPager(const PagerExchange& exchange, const PagerLimits& limits) {
    PagerOutcome outcome;
    size_t repeats = 0;
    while (true) {
        if (outcome.pages >= limits.maxPages) {
            outcome.end = PagerEnd::PageCap;
            return outcome;
        }
        PagerStep step = exchange(static_cast<uint16_t>(outcome.position));
        ++outcome.pages;
        outcome.status = step.status;
        if (step.status < 0) {
            outcome.end = PagerEnd::Failed;
            return outcome;
        }
        if ((step.status & kMoreFollowsStatus) == 0) {
            outcome.position += static_cast<uint32_t>(step.advanced);
            outcome.end = PagerEnd::Complete;
            return outcome;
        }
        if (step.advanced == 0) {
            if (++repeats > limits.maxRepeats) {
                outcome.end = PagerEnd::Stalled;
                return outcome;
            }
            continue;
        }
        repeats = 0;
        uint64_t next = uint64_t{outcome.position} + step.advanced;
        outcome.position = static_cast<uint32_t>(std::min<uint64_t>(next, UINT32_MAX));
        if (next > limits.maxPosition) {
            outcome.end = PagerEnd::OffsetLimit;
            return outcome;
        }
    }
}

PagerOutcome ReadDataBlock(const MethodExchange& exchange, const ChunkSink& chunk, size_t capacity,
                           const PagerLimits& limits) {
    size_t taken = 0;
    bool full = false;
    PagerOutcome outcome = RunPager(
        [&](uint16_t offset) -> PagerStep {
            std::vector<uint8_t> reply;
            int32_t status = exchange(dataBlockReadPayload(offset), reply);
            if (status != 0 && status != kMoreFollowsStatus)
                return {status, 0};
            auto decoded = decodeDataBlockChunk(reply);
            if (!decoded)
                return {status, 0};
            std::span<const uint8_t> bytes = decoded->bytes;
            if (bytes.size() > capacity - taken) {
                bytes = bytes.first(capacity - taken);
                full = true;
            }
            taken += bytes.size();
            chunk(offset, bytes);
            // A full buffer asks nothing more.
            return {full ? 0 : status, bytes.size()};
        },
        limits);
    if (full)
        outcome.end = PagerEnd::SizeCap;
    return outcome;
}

}  // namespace objscope
