#include "captured_message.h"

#include <chrono>

namespace busprobe {

CapturedMessage stampedMessage(Direction direction, uint32_t address, const uint8_t* data,
                               size_t length) {
    using namespace std::chrono;
    CapturedMessage m;
    m.direction = direction;
    m.address = address;
    if (data != nullptr && length > 0) {
        m.bytes.assign(data, data + length);
    }
    auto wall = system_clock::now().time_since_epoch();
    m.wallUs = duration_cast<microseconds>(wall).count();
    m.wallMs = m.wallUs / 1000;
    m.steadyNs = duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
    return m;
}

}  // namespace busprobe
