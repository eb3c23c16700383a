// The datagram that carries one message between message loops, and the
// replies to sent messages. Byte-packed: it crosses process boundaries.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/payload.h"

namespace plat::detail {

constexpr uint32_t kDatagramMagic = 0x4D4B5756;  // "VWKM" in memory order
constexpr uint16_t kDatagramVersion = 1;

enum class DatagramKind : uint16_t {
    Post = 1,   // a posted message for window `target`
    Send = 2,   // a sent message: the sender waits for a Reply with `seq` until
                // `result` (its deadline, steady clock nanoseconds; 0 none)
    Reply = 3,  // the result of Send `seq`; kFlagDelivered when it ran
    Probe = 4,  // does window `target` exist? Reply result 1 or 0
};

constexpr uint32_t kFlagSection = 1;    // the payload is the attached memfd
constexpr uint32_t kFlagDelivered = 2;  // Reply: the procedure ran, `result` is valid

#pragma pack(push, 1)
struct DatagramHeader {
    uint32_t magic;
    uint16_t version;
    uint16_t kind;
    uint64_t target;
    uint32_t msg;
    uint32_t flags;
    uint64_t wParam;
    int64_t lParam;
    uint64_t seq;
    int64_t result;
};
#pragma pack(pop)

static_assert(sizeof(DatagramHeader) == 56);
static_assert(offsetof(DatagramHeader, magic) == 0);
static_assert(offsetof(DatagramHeader, version) == 4);
static_assert(offsetof(DatagramHeader, kind) == 6);
static_assert(offsetof(DatagramHeader, target) == 8);
static_assert(offsetof(DatagramHeader, msg) == 16);
static_assert(offsetof(DatagramHeader, flags) == 20);
static_assert(offsetof(DatagramHeader, wParam) == 24);
static_assert(offsetof(DatagramHeader, lParam) == 32);
static_assert(offsetof(DatagramHeader, seq) == 40);
static_assert(offsetof(DatagramHeader, result) == 48);

constexpr size_t kMaxDatagram = sizeof(DatagramHeader) + kInlinePayloadMax;

inline DatagramHeader makeHeader(DatagramKind kind, uint64_t target) {
    DatagramHeader h{};
    h.magic = kDatagramMagic;
    h.version = kDatagramVersion;
    h.kind = static_cast<uint16_t>(kind);
    h.target = target;
    return h;
}

}  // namespace plat::detail
