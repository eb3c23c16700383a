// The numbers of the pcapng format that the writer and the reader share:
// block types, the byte-order magic, option codes and link types.
#pragma once

#include <cstdint>

namespace busprobe::pcapng {

inline constexpr uint32_t kSectionHeader = 0x0A0D0D0A;
inline constexpr uint32_t kInterfaceDescription = 1;
inline constexpr uint32_t kSimplePacket = 3;
inline constexpr uint32_t kEnhancedPacket = 6;
inline constexpr uint32_t kByteOrderMagic = 0x1A2B3C4D;
inline constexpr uint32_t kSwappedMagic = 0x4D3C2B1A;

inline constexpr uint16_t kOptComment = 1;
inline constexpr uint16_t kOptShbUserAppl = 4;
inline constexpr uint16_t kOptIfName = 2;
inline constexpr uint16_t kOptIfDescription = 3;
inline constexpr uint16_t kOptIfTsresol = 9;
inline constexpr uint16_t kOptEpbFlags = 2;
// epb_flags bits 0-1: the direction.
inline constexpr uint32_t kFlagsInbound = 1;
inline constexpr uint32_t kFlagsOutbound = 2;

inline constexpr uint16_t kLinkTypeRawIpv4 = 101;

}  // namespace busprobe::pcapng
