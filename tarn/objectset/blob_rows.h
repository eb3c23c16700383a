// The rows of the BLOB/LLB window and its *.BLB files: one row per entry of
// an object's data block, its bytes as two hexadecimal digits separated by
// " | ". Fixed-entry blocks (BLOB) hold entries of one size one after the
// other; linked lists hold entries that each start with a 16-bit length
// counting those two bytes, which a row does not show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace objscope {

enum class BlobLayout { FixedEntries, LinkedList };

// Linked lists: "Linked List Object" (254) and "Generic Text Table" (255).
BlobLayout BlobLayoutForClass(uint16_t classId);

// Data block offsets are 16-bit: a block holds at most this many bytes.
constexpr size_t kMaxBlobBytes = 65535;

std::string BlobRowText(std::span<const uint8_t> bytes);

struct BlobGridRows {
    std::vector<std::string> rows;
    bool ranPastEnd = false;  // the buffer ended before a row's last byte
};

// The rows of `entries` entries of the buffer (entrySize: fixed layout only).
BlobGridRows BlobRowsFromBuffer(std::span<const uint8_t> buffer, BlobLayout layout,
                                size_t entrySize, size_t entries);

struct BlobBuffer {
    std::vector<uint8_t> bytes;
    size_t badRow = 0;  // 1-based grid row of the first fault; 0: none
    std::string error;
    bool ok() const { return error.empty(); }
};

// The data block the rows describe: blank rows are skipped; a fixed entry is
// padded with 00 or cut to the entry size; a linked-list entry gets its
// length word. An item that is not a hexadecimal byte, or a block beyond
// kMaxBlobBytes, is an error naming the row.
BlobBuffer BlobBufferFromRows(std::span<const std::string> rows, BlobLayout layout,
                              size_t entrySize);

// A *.BLB file: one row per line, CR LF after each.
std::string BlbFileText(std::span<const std::string> rows);
std::vector<std::string> BlbFileRows(std::string_view text);

}  // namespace objscope
