// Paging of method replies that carry records: as many whole records as fit
// one reply after its header.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

#include "method_answers.h"

namespace tarnsim {

template <typename Record>
struct RecordPage {
    std::span<const Record> records;
    bool more = false;  // records remain after this page
};

// Records from `first` on that fit after `headerBytes` in one reply.
template <typename Record>
RecordPage<Record> pageOf(const std::vector<Record>& all, size_t first, size_t headerBytes,
                          size_t recordBytes) {
    if (first >= all.size())
        return {};
    size_t room = (kMethodPayloadRoom - headerBytes) / recordBytes;
    size_t count = std::min(room, all.size() - first);
    return {std::span<const Record>(all).subspan(first, count), first + count < all.size()};
}

}  // namespace tarnsim
