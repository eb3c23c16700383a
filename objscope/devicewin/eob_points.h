// The end-of-branch test points as the EOB window edits them: read from an
// EOB Assignment Table's data block, typed into grid rows, written back in
// chunks of 50 records (the last ending with a record of zeros).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "protocol/tarn_method_records.h"

namespace objscope {

// The records from the block's start while a whole one remains; a point ID
// of 0 ends the table.
std::vector<EobPointRecord> EobPointsFromBlock(std::span<const uint8_t> block);

// One grid row: "Test Point ID", "Branch #", "EOB Dev Address", "Set Value (dB)".
struct EobRowTexts {
    std::string point, branch, address, setValue;
};

struct EobRowsResult {
    std::vector<EobPointRecord> records;  // sorted by point, then branch
    size_t badRow = 0;                    // 1-based grid row; 0: none
    std::string error;
    bool ok() const { return error.empty(); }
};

// Rows whose point ID is 0 are dropped; numbers that do not convert give 0;
// a set value that does not convert or fit 16 bits gives -32768 (-256 dB).
// A branch above 255, an address above 0xFFFFFF or a point ID above 65535 is
// an error naming the row.
EobRowsResult EobRecordsFromRows(std::span<const EobRowTexts> rows);

EobRowTexts EobRowFor(const EobPointRecord& record);

struct EobWriteChunk {
    uint16_t offset = 0;         // 8 x the records before it
    std::vector<uint8_t> bytes;  // its records
    size_t records = 0;
};
constexpr size_t kEobRecordsPerWrite = 50;
// The records and the end mark, in chunks.
std::vector<EobWriteChunk> EobWriteChunks(std::span<const EobPointRecord> records);

// A value in 1/128 dB as dB, shortest decimal.
std::string EobDbText(int16_t raw);

}  // namespace objscope
