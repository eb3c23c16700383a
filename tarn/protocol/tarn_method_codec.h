// Method payloads both ways: the device side's decoders of every method
// request objscope sends, the request builders tarn_methods.h lacks (data
// blocks, end-of-branch results, matrix connections), and builders and
// decoders of the method replies. Every function works on the payload alone
// (the bytes after the 14-byte Tarn header) and never reads past it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "protocol/tarn_method_records.h"

namespace objscope {

enum MethodIdMore : uint16_t {
    kMethodReadDataBlock = 3072,   // BLOB, linked list and EOB table objects
    kMethodWriteDataBlock = 3073,  // BLOB, linked list and EOB table objects
    kMethodMatrixCommand = 3073,   // matrix router and combiner objects
    kMethodEobResults = 3082,      // Test Manager
    kMethodEobFlush = 3083,        // Test Manager
};

constexpr uint16_t kDataBlockReadAll = 0xFFFF;   // second word of a data block read
constexpr uint16_t kResultsBySequence = 0x8000;  // selector of 3076 and 3077
constexpr uint16_t kEobTestActive = 0x8000;      // bit of the EOB results status word

// --- requests, decoded on the device side ---

struct AddObjectRequest {
    uint16_t classId = 0;
    uint16_t objectId = 0;
    uint16_t ownerId = 0;
    uint16_t maxBlobEntries = 0;
};
struct ClassTextRequest {
    uint16_t classId = 0;
    uint16_t offset = 0;
    uint8_t flag = 0;
};
struct StartSequenceRequest {
    uint16_t modeWord = 0;
    uint16_t sequence = 0;
};
struct CircuitTestRequest {
    uint16_t modeFlags = 0;
    uint16_t sequence = 0;
    uint16_t point = 0;
    uint16_t settingCode = 0;
};
struct TestListRequest {
    uint16_t selector = 0;
    uint16_t firstRecord = 0;
};
struct TestResultsRequest {
    uint16_t selector = 0;  // kResultsBySequence or 0 (by serial number)
    uint16_t number = 0;    // sequence or serial number
    uint16_t third = 0;
    uint16_t firstRecord = 0;
};
struct FlushResultsRequest {
    uint16_t selector = 0;
    uint16_t number = 0;
};
struct DataBlockReadRequest {
    uint16_t offset = 0;
    uint16_t limit = kDataBlockReadAll;
};
struct DataBlockWriteRequest {
    uint16_t offset = 0;
    std::span<const uint8_t> bytes;  // exactly the announced count
};
struct EobResultsRequest {
    uint16_t startIndex = 0;
    uint16_t channel = 0;
};

enum class MatrixCommandCode : uint8_t {
    List = 0,        // word: start index
    Disconnect = 1,  // crosspoint pressed down
    Connect = 2,     // crosspoint released
    OneToOne = 6,
};
struct MatrixCommand {
    MatrixCommandCode code = MatrixCommandCode::List;
    uint16_t word = 0;
    uint8_t input = 0;   // from 1; Connect and Disconnect only
    uint8_t output = 0;  // from 1
};

// Nothing when the payload is shorter than the fixed layout; a write whose
// bytes fall short of its count, and a matrix command with an unknown code
// or missing crosspoint, are refused too.
std::optional<AddObjectRequest> decodeAddObjectRequest(std::span<const uint8_t> payload);
std::optional<ClassTextRequest> decodeClassTextRequest(std::span<const uint8_t> payload);
std::optional<uint16_t> decodeStopTestRequest(std::span<const uint8_t> payload);
std::optional<StartSequenceRequest> decodeStartSequenceRequest(std::span<const uint8_t> payload);
std::optional<CircuitTestRequest> decodeCircuitTestRequest(std::span<const uint8_t> payload);
std::optional<TestListRequest> decodeTestListRequest(std::span<const uint8_t> payload);
std::optional<TestResultsRequest> decodeTestResultsRequest(std::span<const uint8_t> payload);
std::optional<FlushResultsRequest> decodeFlushResultsRequest(std::span<const uint8_t> payload);
std::optional<DataBlockReadRequest> decodeDataBlockReadRequest(std::span<const uint8_t> payload);
std::optional<DataBlockWriteRequest> decodeDataBlockWriteRequest(std::span<const uint8_t> payload);
std::optional<EobResultsRequest> decodeEobResultsRequest(std::span<const uint8_t> payload);
bool decodeEobFlushRequest(std::span<const uint8_t> payload);
std::optional<MatrixCommand> decodeMatrixCommand(std::span<const uint8_t> payload);

// --- request builders ---

std::vector<uint8_t> dataBlockReadPayload(uint16_t offset);
// Nothing when `bytes` is longer than a 16-bit count.
std::optional<std::vector<uint8_t>> dataBlockWritePayload(uint16_t offset,
                                                          std::span<const uint8_t> bytes);
std::vector<uint8_t> eobResultsPayload(uint16_t startIndex, uint16_t channel);
std::vector<uint8_t> eobFlushPayload();
std::vector<uint8_t> matrixListPayload(uint16_t startIndex);
std::vector<uint8_t> matrixCrosspointPayload(bool connect, uint8_t input, uint8_t output);
std::vector<uint8_t> matrixOneToOnePayload();

// --- replies ---

// The u16 result of 3073 (start sequence) and 3074 (circuit test).
std::vector<uint8_t> methodResultPayload(uint16_t result);

// A data block chunk: u16 offset, u16 byte count n, the n bytes.
std::vector<uint8_t> dataBlockChunkPayload(uint16_t offset, std::span<const uint8_t> bytes);
struct DataBlockChunk {
    uint16_t offset = 0;
    std::span<const uint8_t> bytes;  // the announced count, cut to what arrived
};
std::optional<DataBlockChunk> decodeDataBlockChunk(std::span<const uint8_t> reply);

// A test list page: u16 count, then the records.
std::vector<uint8_t> testListPayload(std::span<const TestRecord> records);
// A test results page: the header (its count set to the records given), then
// the records.
std::vector<uint8_t> testResultsPayload(TestResultHeader header,
                                        std::span<const TestResultRecord> records);

// An EOB results page: u16 status word, 6 unused bytes, u16 count, records.
std::vector<uint8_t> eobResultsPagePayload(uint16_t statusWord,
                                           std::span<const EobResultRecord> records);
struct EobResultsPage {
    uint16_t statusWord = 0;
    std::vector<EobResultRecord> records;  // whole records, at most the count
};
std::optional<EobResultsPage> decodeEobResultsPage(std::span<const uint8_t> reply);

// Matrix connection list: u16 count n, n pairs (input, output) from 1.
struct Crosspoint {
    uint8_t input = 0;
    uint8_t output = 0;
    bool operator==(const Crosspoint&) const = default;
};
std::vector<uint8_t> matrixPairsPayload(std::span<const Crosspoint> pairs);
// The whole pairs that arrived, at most the count.
std::vector<Crosspoint> decodeMatrixPairs(std::span<const uint8_t> reply);

}  // namespace objscope
