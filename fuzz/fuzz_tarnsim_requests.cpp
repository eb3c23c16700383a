// Any datagram sent to a simulated device: the device must survive it and
// answer within one datagram. A small device with one object of each kind
// of method keeps every input fast; the seeds address its objects.
#include <cstddef>
#include <cstdint>
#include <span>

#include "device_file.h"
#include "fuzz_touch.h"
#include "simulated_device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const tarnsim::DeviceContents contents = tarnsim::parseDeviceFile(R"(
object 10 class 52
  prop 2 String "Gain"
  prop 4096 dB1 0 min -60 max 20
  prop 4098 Coeff 1 readonly
  prop 4100 NumberList 1 2
  prop 4101 ByteArray 01
  prop 4102 ObjAddr 1 2
object 11 class 67 owner 10
  prop 4096 dB2 -30 readonly wiggle min -138 max 0
object 20 class 11
  prop 3072 UWord 4
  prop 3073 UWord 8
object 21 class 254
  prop 3072 UWord 4
  prop 3073 UWord 1
  data 04 00 AA BB
object 30 class 226
  tests 20 3 5
object 40 class 68
object 41 class 69
  prop 4096 Boolean 1
  prop 4097 UByte 3
)");
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
        std::vector<uint8_t> framed{
            'V',  'E', 'K', 0x00, 0xFF, static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8),
            0x01, 0x80};
        framed.insert(framed.end(), data, data + size);
        for (const auto& out : device.handleDatagram(0x7F000001, framed))
            fuzz::require(out.datagram.size() <= 1480);
    }
    return 0;
}
