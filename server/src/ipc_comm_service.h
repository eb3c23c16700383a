// The seam between the serial-port requests (1724, 1824, 1924) and the COM
// interface. The COM interface installs its operations while it runs; the
// request handlers check the client and the payload first and then call
// them. Without an installed service the requests are answered as for a
// service that is not running: 1724 -9, 1824 1, 1924 0.
#pragma once

#include <cstdint>
#include <span>

#include "wire/ipc.h"

namespace hub {

struct CommService {
    // Port ID; -9 refused; -5 out of memory; -12 fault.
    int32_t (*open)(int32_t clientID, const _CommRegInfo& request);
    // 0 closed; 1 not found.
    int32_t (*close)(uint32_t portID);
    // Bytes written; 0 on any failure.
    int32_t (*write)(int32_t clientID, uint32_t commID, std::span<const uint8_t> data);
};

// `service` must stay valid until it is replaced; nullptr removes it.
void SetCommService(const CommService* service);

}  // namespace hub
