// Requests as a device (the simulator) receives them.
#include <cstddef>
#include <cstdint>
#include <span>

#include "protocol/tarn_request_decoders.h"
#include "fuzz_touch.h"

using namespace objscope;

namespace {

void checkItems(const ItemList& list, const uint8_t* data, size_t size) {
    fuzz::require(list.items.size() <= list.declaredCount);
    for (const auto& item : list.items)
        fuzz::requireInside(item.value, data, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> block(data, size);
    if (auto registration = decodeRegistrationRequest(block)) {
        fuzz::require(registration->propertyId <= kPropertyIdMask);
    }
    decodeUnregisterRequest(block);
    if (auto confirm = decodeConfirmObjectRequest(block))
        checkItems(confirm->properties, data, size);
    if (auto multi = decodeSetMultiplePropsRequest(block))
        checkItems(*multi, data, size);
    decodeGetRequest(block);
    if (auto item = decodeSetRequest(block))
        fuzz::requireInside(item->value, data, size);
    decodeObjectListingRequest(block);
    decodeCommandWord(block);
    return 0;
}
