// Helpers for the network tests: datagram and envelope builders and pumping
// the calling thread's message loop; free UDP ports and UDP peers on loopback
// addresses (standing in for devices) come from tests/support.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/window.h"
#include "udp_peer.h"
#include "wire/address.h"
#include "wire/datagram.h"
#include "wire/own_address.h"

namespace testing_support {

// The line the network start writes when no own address is set and the host
// name gives only loopback, so an interface's address is taken; empty when
// the host name will do on this machine.
inline std::string hostNameLogLine() {
    std::optional<wire::OwnAddress> own = wire::lookupOwnAddress();
    if (!own || own->interfaceName.empty()) {
        return "";
    }
    return "   ** HUBSERVER (EXE) Host name gives loopback address " +
           wire::formatDottedAddress(own->hostNameAddress) + ", using " +
           wire::formatDottedAddress(own->address) + " (" + own->interfaceName + ").\n";
}

inline std::vector<uint8_t> datagram(uint16_t objectId, uint16_t messageId, uint16_t number,
                                     std::vector<uint8_t> data = {}) {
    return wire::buildDatagram({objectId, messageId, number}, data);
}

// Dispatches the calling thread's messages until `done` holds or the
// time-out passes; returns `done()`.
inline bool pumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        plat::waitForMessage(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now));
        plat::Message m;
        while (plat::peekMessage(m)) {
            plat::dispatchMessage(m);
        }
    }
    return true;
}

// Dispatches whatever arrives during `span` (to prove that nothing more comes).
inline void pumpFor(std::chrono::milliseconds span) {
    pumpUntil([] { return false; }, span);
}

}  // namespace testing_support
