// The hex dump layout shared by the server's debug log and the client
// library's dump functions:
//
//      00 01 ... 0F        0123456789ABCDEF      (column header)
//   --------------------------------------------------------------------------------
//      41 42 ... 50        AB...P                (up to 16 bytes per row)
//
// Bytes 0x00, 0x09, 0x0A, 0x0D and 0xFF show as '.' in the character column,
// every other byte as itself. Every row's character column starts in the same
// column; a short last row is padded with three blanks per missing byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace wire {

// Builds the dump byte by byte into a caller-owned text, so the caller can
// hand the text on (and empty it) between bytes.
class HexDumpBuilder {
  public:
    // Appends the column header, the rule and the opening of the first row.
    explicit HexDumpBuilder(std::string& out);

    // Appends one byte; a row is completed after its 16th byte.
    void add(uint8_t byte);

    // Completes a partly filled row and appends the final "\n".
    void finish();

  private:
    void closeRow();

    std::string& out_;
    uint8_t row_[16] = {};
    size_t inRow_ = 0;
};

// The whole dump as one text.
std::string hexDump(std::span<const uint8_t> data);

// Streams the dump: before each byte, when the pending text holds
// `flushThreshold` characters or more, `flush` receives it and the text starts
// empty again; at the end `flush` receives the rest (never empty: the dump
// ends with "\n").
void streamHexDump(std::span<const uint8_t> data, size_t flushThreshold,
                   const std::function<void(std::string_view)>& flush);

}  // namespace wire
