// Property items back to back, and the encoder against the decoder.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "protocol/tarn_items.h"
#include "fuzz_touch.h"

using namespace objscope;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> rest(data, size);
    while (auto item = readItem(rest)) {
        fuzz::require(item->totalLength() > 0 && item->totalLength() <= rest.size());
        fuzz::requireInside(item->value, data, size);
        rest = rest.subspan(item->totalLength());
    }

    // The input after two bytes of property ID is a value: it must frame and
    // read back unchanged (or be refused when too long for a length byte).
    if (size >= 2) {
        uint16_t id = static_cast<uint16_t>(data[0] | data[1] << 8);
        std::span<const uint8_t> value(data + 2, size - 2);
        std::vector<uint8_t> encoded = encodeItem(id, value);
        fuzz::require(encoded.empty() == !itemValueSizeFits(value.size()));
        if (!encoded.empty()) {
            auto back = readItem(encoded);
            fuzz::require(back && back->propertyId() == (id & kPropertyIdMask));
            fuzz::require(back->totalLength() == encoded.size());
            fuzz::require(
                std::equal(value.begin(), value.end(), back->value.begin(), back->value.end()));
        }
    }
    return 0;
}
