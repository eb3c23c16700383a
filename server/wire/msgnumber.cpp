#include "wire/msgnumber.h"

namespace wire {

uint16_t MessageNumberCounter::next() {
    uint16_t issued = current_;
    current_ = issued == 0xFFFF ? kFirstMessageNumber : static_cast<uint16_t>(issued + 1);
    return issued;
}

}  // namespace wire
