// The object set file reader: any text is read without a fault, and every
// record it accepts encodes into a payload of the length its items say.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "device_file.h"
#include "object_set_device.h"
#include "objectset/object_set_encoder.h"
#include "objectset/object_set_file.h"
#include "objectset/object_set_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    objscope::ObjectSetProblem problem;
    objscope::ObjectSetFile file = objscope::ReadObjectSet(text, problem);
    for (const auto& object : file.objects) {
        auto payload = objscope::ConfirmObjectPayload(object);
        if (payload.size() != 8 + objscope::EncodedItemsSize(object.properties))
            std::abort();
    }
    for (const auto& blob : file.blobs) {
        if (blob.start + blob.bytes.size() > 0x10000)
            std::abort();
        (void)objscope::BlobWritePayload(blob);
    }
    // tarnsim serving the file: loaded, or refused with its line.
    try {
        tarnsim::DeviceContents contents = tarnsim::parseObjectSetText(text);
        (void)tarnsim::formatObjectSetText(contents);
    } catch (const tarnsim::DeviceFileError&) {
    }
    return 0;
}
