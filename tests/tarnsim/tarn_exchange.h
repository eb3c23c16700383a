// Building request datagrams with the core encoders and reading replies
// field by field, for the tarnsim tests.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "protocol/tarn_header.h"
#include "protocol/tarn_requests.h"
#include "protocol/tarn_status.h"
#include "wire/datagram.h"

namespace tarnsim_test {

constexpr objscope::TarnRequester kRequester{0, 0x8001};

inline std::vector<uint8_t> datagramOf(const objscope::TarnRequest& request, uint16_t number) {
    return wire::buildDatagram({objscope::kTarnObjectId, request.messageId, number}, request.data);
}

// A received datagram taken apart.
struct Parsed {
    wire::DatagramHeader datagram;
    objscope::TarnHeader tarn{};
    std::vector<uint8_t> data;  // Tarn header and payload
    std::span<const uint8_t> payload() const {
        return std::span<const uint8_t>(data).subspan(objscope::kTarnHeaderSize);
    }
    int32_t status() const { return objscope::statusValue(tarn.Status, tarn.Mode); }
};

inline std::optional<Parsed> parse(std::span<const uint8_t> datagram) {
    auto header = wire::readHeader(datagram);
    if (!header)
        return std::nullopt;
    Parsed parsed;
    parsed.datagram = *header;
    auto data = wire::datagramData(datagram);
    parsed.data.assign(data.begin(), data.end());
    auto tarn = objscope::readTarnHeader(data);
    if (!tarn)
        return std::nullopt;
    parsed.tarn = *tarn;
    return parsed;
}

}  // namespace tarnsim_test
