#include "wire/msgnumber.h"

namespace wire {

uint16_t MessageNumberCounter::next() {
    uint16_t issued = current_;
    current_ = issued == 0xFFFF ? kFirstMessageNumber : static_cast<uint16_t>(issued + 1);
    return issued;
}

uint16_t MessageNumberCounter::take(uint16_t count) {
    constexpr uint32_t kRange = 0x10000 - kFirstMessageNumber;
    uint16_t issued = current_;
    current_ = static_cast<uint16_t>(kFirstMessageNumber +
                                     (issued - kFirstMessageNumber + count) % kRange);
    return issued;
}

}  // namespace wire
