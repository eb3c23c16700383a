// busprobe's pcapng import on arbitrary bytes: it never reads outside the
// file, and every message it returns is a whole message ("VEK" and a
// header) with a direction.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_touch.h"
#include "pcapng_reader.h"
#include "wire/datagram.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const busprobe::CaptureEndpoints endpoints{0x7F000001, 3048, 3049};
    busprobe::PcapngImport read =
        busprobe::readPcapng(std::span<const uint8_t>(data, size), endpoints, 4096);
    fuzz::require(read.messages.size() + read.skipped <= read.packets);
    for (const auto& m : read.messages) {
        fuzz::require(wire::isValidDatagram(m.bytes));
        fuzz::require(m.direction == busprobe::Direction::Sent ||
                      m.direction == busprobe::Direction::Received);
        fuzz::touch(m.bytes);
    }
    return 0;
}
