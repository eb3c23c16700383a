// Settings file values: comma text, device mappings, dotted addresses and
// the number rule.
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/settings_comma_text.h"
#include "settings/settings_device_mapping.h"
#include "settings/settings_number_text.h"
#include "fuzz_touch.h"

using namespace objscope;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    settingNumber(text);
    auto items = splitCommaText(text);
    auto result = parseDeviceMapping(items);
    fuzz::require(result.mapping.has_value() == result.error.empty());
    if (auto address = TextToAddress(text)) {
        auto again = TextToAddress(AddressToText(address->address));
        fuzz::require(again && *again == *address);
    }
    return 0;
}
