// The server's receive path fed with arbitrary datagram sequences: the
// validation, the duplicate ring, the reserved messages and both roles of
// the large-message transfer. An input is a list of steps:
//
//   [kind][node][length: 2 bytes LE][bytes]
//
// kind 0: a datagram received from 127.0.0.<node>; kind 1: the server sends
// the bytes to 127.0.0.<node> for client 0 (a long message starts the
// sending role); kind 2: the packet timer <node> of a transfer expires.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_server_env.h"
#include "large_transfer_list.h"
#include "wire/datagram.h"

namespace {

enum Step : uint8_t { Received = 0, Sent = 1, TimerExpired = 2 };

std::vector<uint8_t> envelopeOf(uint32_t address, const uint8_t* bytes, size_t size) {
    std::vector<uint8_t> envelope(12 + size);
    wire::writeLe32(envelope.data(), address);
    wire::writeLe32(envelope.data() + 4, static_cast<uint32_t>(size));
    std::copy(bytes, bytes + size, envelope.begin() + 12);
    return envelope;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ServerServices& server = fuzz::ServerServices::instance();
    server.resetTransfers();
    size_t at = 0;
    while (size - at >= 4) {
        uint8_t kind = data[at] % 3;
        uint32_t address = fuzz::loopbackAddress(data[at + 1]);
        size_t length = std::min<size_t>(wire::readLe16(data + at + 2), size - at - 4);
        const uint8_t* bytes = data + at + 4;
        at += 4 + length;
        std::vector<uint8_t> envelope = envelopeOf(address, bytes, length);
        switch (kind) {
            case Received:
                // Shorter than a header never reaches this far in the server.
                if (length >= wire::kNetMsgHeaderSize) {
                    hub::ProcessNetworkMessage(envelope);
                }
                break;
            case Sent:
                hub::SendVEKNetworkMessage(0, std::span<const uint8_t>(envelope));
                break;
            case TimerExpired:
                hub::TimerFunction(hub::kTransferTimerBase + data[at - length - 3]);
                break;
        }
    }
    return 0;
}
