// The requester's side of the "repeat while more data follows" exchanges
// (data blocks read by offset, result lists read by record index): ask from
// a position, take what the answer brings, ask again from the advanced
// position while the answer's status says more follows. The loop always
// ends: when an answer advances nothing (after a few repeats of the same
// position), when the position would pass 65535, and after a page cap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace objscope {

constexpr int32_t kMoreFollowsStatus = 0x8000;

enum class PagerEnd {
    Complete,     // the last answer said nothing more follows
    Failed,       // a negative status (the request failed)
    Stalled,      // more was announced but nothing came
    OffsetLimit,  // the next position would pass 65535
    PageCap,      // the cap of pages was reached
    SizeCap,      // the reader's buffer is full (see ReadDataBlock)
};

struct PagerOutcome {
    PagerEnd end = PagerEnd::Complete;
    int32_t status = 0;  // of the last answer
    size_t pages = 0;
    uint32_t position = 0;  // where the next page would start
    bool Ended() const { return end == PagerEnd::Complete; }
};

struct PagerLimits {
    size_t maxPages = 1024;
    // An answer that advances nothing while its status keeps the "more"
    // bit is asked again this many times.
    size_t maxRepeats = 2;
    uint32_t maxPosition = 0xFFFF;
};

// One exchange from `position`: the status and how far the answer advances.
struct PagerStep {
    int32_t status = 0;
    size_t advanced = 0;
};
using PagerExchange = std::function<PagerStep(uint16_t position)>;

PagerOutcome RunPager(const PagerExchange& exchange, const PagerLimits& limits = {});

// Reads an object's data block with method 3072 from offset 0. `exchange`
// sends the payload and returns the status; the reply bytes (after the Tarn
// header) go into `reply`. Each chunk an answer carries is handed to `chunk`
// (offset, bytes) as it comes, an empty one too; at most `capacity` bytes are taken in all (what
// the device had beyond is cut: SizeCap).
using MethodExchange =
    std::function<int32_t(std::span<const uint8_t> payload, std::vector<uint8_t>& reply)>;
using ChunkSink = std::function<void(uint16_t offset, std::span<const uint8_t> bytes)>;

PagerOutcome ReadDataBlock(const MethodExchange& exchange, const ChunkSink& chunk,
                           size_t capacity = 0x10000, const PagerLimits& limits = {});

}  // namespace objscope
