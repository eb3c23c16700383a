// The *.BLB reader and the rows it gives: any file becomes a data block (or a
// refusal naming a row) and any data block becomes rows, for both layouts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "objectset/blob_rows.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    size_t entrySize = data[0];
    size_t entries = data[1] * 97u;
    std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
    auto rows = objscope::BlbFileRows(text);
    for (auto layout : {objscope::BlobLayout::FixedEntries, objscope::BlobLayout::LinkedList}) {
        auto buffer = objscope::BlobBufferFromRows(rows, layout, entrySize);
        if (buffer.bytes.size() > objscope::kMaxBlobBytes || (!buffer.ok() && buffer.badRow == 0))
            std::abort();
        auto shown =
            objscope::BlobRowsFromBuffer(std::span(data, size), layout, entrySize, entries);
        if (shown.rows.size() > entries)
            std::abort();
    }
    return 0;
}
