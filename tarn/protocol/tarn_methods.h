// Payloads of the method messages objscope sends (raw exchanges, kind 31) and
// the paging of the test record readers (3075, 3076).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace objscope {

enum MethodId : uint16_t {
    kMethodAddObject = 1027,
    kMethodReadClassText = 1031,
    kMethodStopTest = 3072,
    kMethodStartSequence = 3073,
    kMethodCircuitTest = 3074,
    kMethodGetTestList = 3075,
    kMethodGetTestResults = 3076,
    kMethodFlushResults = 3077,
};

constexpr uint16_t kNoOwner = 65535;
constexpr uint16_t kSequenceModeSet = 0x9000;
constexpr uint16_t kSequenceModeStart = 0x8010;

std::vector<uint8_t> addObjectPayload(uint16_t classId, uint16_t objectId, uint16_t ownerId,
                                      uint16_t maxBlobEntries);
std::vector<uint8_t> classTextPayload(uint16_t classId, uint16_t offset);
std::vector<uint8_t> stopTestPayload(uint16_t sequence);
std::vector<uint8_t> startSequencePayload(uint16_t modeWord, uint16_t sequence);
std::vector<uint8_t> circuitTestPayload(uint16_t modeFlags, uint16_t sequence, uint16_t point,
                                        uint16_t settingCode);
std::vector<uint8_t> testListPayload(uint16_t selector, uint16_t firstRecord);
std::vector<uint8_t> testResultsPayload(uint16_t selector1, uint16_t selector2, uint16_t selector3,
                                        uint16_t firstRecord);
std::vector<uint8_t> flushResultsPayload(uint16_t value1, uint16_t value2);

// The u16 result in reply bytes 0..1 (3073, 3074); nothing when fewer came.
std::optional<uint16_t> methodResult(std::span<const uint8_t> replyBytes);

// Shape of a paged record reply: where the page's record count lies and
// where, and how large, its records are.
struct RecordPageLayout {
    size_t headerSize;   // bytes before the first record
    size_t countOffset;  // u16 record count inside that header
    size_t recordSize;
};
constexpr RecordPageLayout kTestListLayout{2, 0, 14};
constexpr RecordPageLayout kTestResultsLayout{12, 10, 11};

// Offset of the start index inside the request payloads of 3075 and 3076.
constexpr size_t kTestListStartOffset = 2;
constexpr size_t kTestResultsStartOffset = 6;

// Collects the records of a paged method exchange. Each page contributes only
// whole records, at most as many as its count announces; the caller asks for
// the next page (while the status is "Partial Response") from the start index
// advanced by what the page contributed.
class RecordPager {
  public:
    explicit RecordPager(RecordPageLayout layout) : layout_(layout) {}

    // Adds one reply's bytes (everything after the Tarn header). Returns the
    // number of records taken; 0 also when the page is too short for its
    // header. The first page's header is kept.
    size_t addPage(std::span<const uint8_t> replyBytes);

    const std::vector<uint8_t>& firstHeader() const { return firstHeader_; }
    size_t recordCount() const { return records_.size() / layout_.recordSize; }
    std::span<const uint8_t> record(size_t index) const;
    // The sum of the counts the pages announced.
    size_t announcedCount() const { return announced_; }

  private:
    RecordPageLayout layout_;
    std::vector<uint8_t> firstHeader_;
    std::vector<uint8_t> records_;
    size_t announced_ = 0;
    bool seenHeader_ = false;
};

// The first header and the records of a paged test method exchange.
struct TTestRecords {
    std::vector<uint8_t> header;
    std::vector<std::vector<uint8_t>> records;
};

// Rewrites the u16 start index at `offset` of a method payload; false when the
// payload is too short.
bool setPayloadStartIndex(std::vector<uint8_t>& payload, size_t offset, uint16_t startIndex);

}  // namespace objscope
