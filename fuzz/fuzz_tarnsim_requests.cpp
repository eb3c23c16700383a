// Any datagram sent to a simulated device: the default device must survive
// it, answer within one datagram, and keep its objects consistent.
#include <cstddef>
#include <cstdint>
#include <span>

#include "device_file.h"
#include "fuzz_touch.h"
#include "simulated_device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const tarnsim::DeviceContents contents = tarnsim::defaultDevice();
    // A fresh device per input, so that one input's changes (deleted
    // objects, resets) cannot hide another's fault.
    tarnsim::SimulatedDevice device({1, 0}, contents);
    std::span<const uint8_t> datagram(data, size);
    for (const auto& out : device.handleDatagram(0x7F000001, datagram))
        fuzz::require(out.datagram.size() <= 1480);
    // The same bytes as the Tarn data block of each request the device
    // knows, so that the fuzzer need not find the datagram header first.
    static const uint16_t kMessageIds[] = {1,    2,    14,   17,   18,   19,   1024, 1025,
                                           1027, 1028, 1029, 1030, 1031, 1035, 2054, 2055,
                                           3072, 3073, 3074, 3075, 3076, 3077, 3082, 3083};
    for (uint16_t id : kMessageIds) {
        std::vector<uint8_t> framed{'V', 'E', 'K', 0x00, 0xFF, static_cast<uint8_t>(id),
                                    static_cast<uint8_t>(id >> 8), 0x01, 0x80};
        framed.insert(framed.end(), data, data + size);
        for (const auto& out : device.handleDatagram(0x7F000001, framed))
            fuzz::require(out.datagram.size() <= 1480);
    }
    return 0;
}
