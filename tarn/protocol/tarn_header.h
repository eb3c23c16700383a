// The 14-byte Tarn header at the start of every Tarn message's data block.
//
// In a request `Dest_*` is the target (object 0 = the device itself) and
// `Src_*` the requester; replies and notifications carry the requester's
// triple in `Dest_*` and the device's in `Src_*`. `Mode` of a request is the
// request mode; of a reply it is the message status byte (bit 7 = partial
// answer, more follows).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace objscope {

constexpr uint16_t kTarnObjectId = 0xFF00;  // objlink object ID of every Tarn message

#pragma pack(push, 1)
struct TarnHeader {
    uint8_t Status;
    uint8_t Mode;
    uint16_t Dest_Net;
    uint16_t Dest_Dev;
    uint16_t Dest_Obj;
    uint16_t Src_Net;
    uint16_t Src_Dev;
    uint16_t Src_Obj;
};
#pragma pack(pop)

static_assert(sizeof(TarnHeader) == 14);
static_assert(offsetof(TarnHeader, Status) == 0);
static_assert(offsetof(TarnHeader, Mode) == 1);
static_assert(offsetof(TarnHeader, Dest_Net) == 2);
static_assert(offsetof(TarnHeader, Dest_Dev) == 4);
static_assert(offsetof(TarnHeader, Dest_Obj) == 6);
static_assert(offsetof(TarnHeader, Src_Net) == 8);
static_assert(offsetof(TarnHeader, Src_Dev) == 10);
static_assert(offsetof(TarnHeader, Src_Obj) == 12);

constexpr size_t kTarnHeaderSize = sizeof(TarnHeader);
constexpr size_t kTarnSourceOffset = offsetof(TarnHeader, Src_Net);  // Src_Net..Src_Obj
constexpr size_t kTarnAddressSize = 6;                               // net, dev, obj

// Request modes.
enum class RequestMode : uint8_t {
    NoReply = 0,
    Read = 1,
    ReplyWanted = 2,
    MethodNoReply = 3,
};

// Message status bits of a reply's `Mode` byte.
constexpr uint8_t kModePartial = 0x80;           // more follows
constexpr uint8_t kModeRejectionMask = 0x7F;     // rejection code
constexpr uint16_t kBroadcastSourceId = 0xFFFF;  // notification for everybody

// The three 16-bit parts of a Tarn address.
struct TarnAddress {
    uint16_t net = 0;
    uint16_t dev = 0;
    uint16_t obj = 0;
    bool operator==(const TarnAddress&) const = default;
};

// Writes the header little-endian at the end of `out`.
void appendTarnHeader(std::vector<uint8_t>& out, const TarnHeader& header);

// Reads the header from the first 14 bytes; nothing when fewer arrived.
std::optional<TarnHeader> readTarnHeader(std::span<const uint8_t> data);

// A request header: Status 0, the given mode, target and requester.
TarnHeader makeRequestHeader(RequestMode mode, const TarnAddress& target,
                             const TarnAddress& requester);

}  // namespace objscope
