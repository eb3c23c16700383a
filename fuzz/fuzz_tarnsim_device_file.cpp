// Device files as users write them: any text either loads or is refused with
// a line-numbered error, and what loads is saved as a text that loads back
// to the same text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "device_file.h"
#include "fuzz_touch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    tarnsim::DeviceContents contents;
    try {
        contents = tarnsim::parseDeviceFile(text);
    } catch (const tarnsim::DeviceFileError& error) {
        fuzz::require(error.line() >= 1);
        return 0;
    }
    std::string saved = tarnsim::formatDeviceFile(contents);
    std::string again;
    try {
        again = tarnsim::formatDeviceFile(tarnsim::parseDeviceFile(saved));
    } catch (const tarnsim::DeviceFileError&) {
        fuzz::require(false);  // a saved file must load
    }
    fuzz::require(again == saved);
    return 0;
}
