// Message 2024 on the library thread: the data one port received, handed to
// the port's window or callback. The list lock is released before the
// receiver runs.
#include <algorithm>
#include <chrono>
#include <vector>

#include "serial_ports.h"
#include "wire/datagram.h"
#include "wire/ipc.h"

namespace hubclient {
namespace {

constexpr size_t kLargestBlock = 16384;  // the server's read block
constexpr std::chrono::milliseconds kWindowDeliveryTimeout{2000};

}  // namespace

void deliverCommData(const plat::Payload& payload) {
    std::span<const uint8_t> bytes = payload.bytes();
    if (bytes.size() < sizeof(_CommDataInternal_t)) {
        return;
    }
    uint32_t commId = wire::readLe32(bytes.data() + offsetof(_CommDataInternal_t, CommID));
    size_t length = wire::readLe32(bytes.data() + offsetof(_CommDataInternal_t, Length));
    std::span<const uint8_t> data = bytes.subspan(offsetof(_CommDataInternal_t, Data));
    length = std::min({length, data.size(), kLargestBlock});
    std::optional<CommPort> port = findCommPort(static_cast<int32_t>(commId));
    if (!port) {
        return;  // a port this process no longer has
    }
    std::vector<uint8_t> copy(data.begin(), data.begin() + static_cast<ptrdiff_t>(length));
    COMM_DATA record{commId, static_cast<uint32_t>(length), copy.data()};
    if (port->window != plat::kNoWindow) {
        plat::sendMessageTimeout(port->window, port->parameter, commId,
                                 reinterpret_cast<int64_t>(&record), {}, kWindowDeliveryTimeout);
    } else if (port->callback != nullptr) {
        port->callback(port->parameter, &record);
    }
}

}  // namespace hubclient
