// The Tarn fields of a datagram that carries the Tarn protocol (object ID
// 0xFF00 and at least the 14-byte Tarn header as data): the message kind by
// name, the destination and source (net, device, object), the property of a
// get or set, and for a response its status. Names and status texts come
// from the Tarn protocol code itself, as do the tables of the dissector.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace busprobe {

struct TarnFields {
    uint16_t messageCode = 0;  // MessageID without the response flag
    std::string kind;          // "TarnGetAllObjs"; empty for IDs without a name
    bool response = false;
    uint16_t destNet = 0, destDev = 0, destObj = 0;
    uint16_t srcNet = 0, srcDev = 0, srcObj = 0;
    std::optional<uint16_t> propertyId;  // gets and sets
    int32_t status = 0;                  // responses
    std::string statusText;              // responses: "OK", "Device Invalid (4)"
};

std::optional<TarnFields> decodeTarn(std::span<const uint8_t> datagram);

// One line naming the device side (the target of a request, the answering
// device of a response): "TarnGet dev 1 obj 100 prop 18",
// "TarnGetAllObjs dev 1 obj 0: Partial Response (128)".
std::string tarnSummary(const TarnFields& fields);

}  // namespace busprobe
