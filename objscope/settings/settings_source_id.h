// The source ID of this PC on the Tarn network, written into `Src_Dev` of
// every request and compared with `Dest_Dev` of notifications.
//
// A machine number n of 0..254 gives 0x8001 + 16 * n. Any larger number gives
// 0xF001 + 16 * h, where h is the last octet of the first IPv4 address of this
// host's name, or a random 0..255 when the name cannot be resolved. A host
// name that resolves only to loopback (127.0.1.1 on Debian and Ubuntu) would
// give every such PC the same ID; the first non-loopback address of an
// interface that is up is used instead.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace objscope {

constexpr uint64_t kMaxMachineNumber = 254;

// The first IPv4 address of this host's name (host order), or nothing.
using HostAddressLookup = std::function<std::optional<uint32_t>()>;
// A random number 0..255.
using RandomByte = std::function<uint8_t()>;

uint16_t deriveSourceId(uint64_t machineNumber, const HostAddressLookup& lookupHostAddress,
                        const RandomByte& randomByte);

// The real lookup: the host name's address, or an interface's when the host
// name gives only loopback (see wire::lookupOwnAddress).
std::optional<uint32_t> lookupOwnHostAddress();
// The real random source.
uint8_t systemRandomByte();

}  // namespace objscope
