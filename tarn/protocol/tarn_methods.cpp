#include "protocol/tarn_methods.h"

#include <algorithm>
#include <initializer_list>

#include "protocol/tarn_bytes.h"

namespace objscope {
namespace {

std::vector<uint8_t> words(std::initializer_list<uint16_t> values, size_t zeroBytes = 0) {
    std::vector<uint8_t> out;
    ByteWriter writer(out);
    for (uint16_t v : values)
        writer.u16(v);
    out.resize(out.size() + zeroBytes, 0);
    return out;
}

}  // namespace

std::vector<uint8_t> addObjectPayload(uint16_t classId, uint16_t objectId, uint16_t ownerId,
                                      uint16_t maxBlobEntries) {
    return words({classId, objectId, ownerId, maxBlobEntries});
}

std::vector<uint8_t> classTextPayload(uint16_t classId, uint16_t offset) {
    auto out = words({classId, offset});
    out.push_back(1);
    return out;
}

std::vector<uint8_t> stopTestPayload(uint16_t sequence) {
    return words({sequence});
}

std::vector<uint8_t> startSequencePayload(uint16_t modeWord, uint16_t sequence) {
    return words({modeWord, sequence}, 4);
}

std::vector<uint8_t> circuitTestPayload(uint16_t modeFlags, uint16_t sequence, uint16_t point,
                                        uint16_t settingCode) {
    return words({modeFlags, sequence, point, settingCode}, 4);
}

std::vector<uint8_t> testListPayload(uint16_t selector, uint16_t firstRecord) {
    return words({selector, firstRecord});
}

std::vector<uint8_t> testResultsPayload(uint16_t selector1, uint16_t selector2, uint16_t selector3,
                                        uint16_t firstRecord) {
    return words({selector1, selector2, selector3, firstRecord});
}

std::vector<uint8_t> flushResultsPayload(uint16_t value1, uint16_t value2) {
    return words({value1, value2});
}

std::optional<uint16_t> methodResult(std::span<const uint8_t> replyBytes) {
    ByteReader reader(replyBytes);
    uint16_t result = reader.u16();
    if (!reader.ok())
        return std::nullopt;
    return result;
}

size_t RecordPager::addPage(std::span<const uint8_t> replyBytes) {
    ByteReader reader(replyBytes);
    auto header = reader.bytes(layout_.headerSize);
    if (!reader.ok())
        return 0;
    ByteReader countReader(header.subspan(layout_.countOffset));
    size_t announced = countReader.u16();
    announced_ += announced;
    if (!seenHeader_) {
        firstHeader_.assign(header.begin(), header.end());
        seenHeader_ = true;
    }
    size_t taken = std::min(announced, reader.remaining() / layout_.recordSize);
    auto records = reader.bytes(taken * layout_.recordSize);
    records_.insert(records_.end(), records.begin(), records.end());
    return taken;
}

std::span<const uint8_t> RecordPager::record(size_t index) const {
    if (index >= recordCount())
        return {};
    return std::span<const uint8_t>(records_).subspan(index * layout_.recordSize,
                                                      layout_.recordSize);
}

bool setPayloadStartIndex(std::vector<uint8_t>& payload, size_t offset, uint16_t startIndex) {
    if (offset > payload.size() || payload.size() - offset < 2)
        return false;
    payload[offset] = static_cast<uint8_t>(startIndex & 0xFF);
    payload[offset + 1] = static_cast<uint8_t>(startIndex >> 8);
    return true;
}

}  // namespace objscope
