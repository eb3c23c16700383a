// Class methods (message IDs from 3072): chosen by the state the object
// carries (test runs, a data block, a matrix) and answered as one reply.
#include <algorithm>

#include "protocol/tarn_method_codec.h"
#include "method_answers.h"
#include "property_values.h"
#include "simulated_device.h"

namespace tarnsim {

using objscope::DeviceVerdict;
using objscope::MessageRejection;
using objscope::TransportRejection;

namespace {

constexpr uint16_t kPropForceOne = 3073;
constexpr uint16_t kPropSelfRouting = 4096;
constexpr uint16_t kPropCombiningMode = 4097;
constexpr uint16_t kPropBlockSize = 3072;   // linked lists
constexpr uint16_t kPropEntryCount = 3073;  // linked lists

std::optional<double> numberOf(const DeviceObject& object, uint16_t id) {
    const DeviceProperty* property = object.find(id);
    return property ? engineeringValue(property->typeCode, property->value) : std::nullopt;
}

MatrixRules matrixRules(const DeviceObject& object) {
    MatrixRules rules;
    rules.forceOne = numberOf(object, kPropForceOne).value_or(0) != 0;
    rules.selfRouting = numberOf(object, kPropSelfRouting).value_or(0) != 0;
    if (object.classId == kClassMatrixCombiner) {
        double mode = numberOf(object, kPropCombiningMode).value_or(0);
        if (mode >= 0 && mode <= 3)
            rules.mode = static_cast<CombiningMode>(static_cast<int>(mode));
    }
    return rules;
}

MethodAnswer readDataBlock(const std::vector<uint8_t>& block, std::span<const uint8_t> payload) {
    auto read = objscope::decodeDataBlockReadRequest(payload);
    if (!read)
        return MethodAnswer::reject(MessageRejection::MessageWrongSize);
    if (read->offset > block.size())
        return MethodAnswer::reject(MessageRejection::FieldInvalid);
    size_t count =
        std::min({block.size() - read->offset, kDataBlockChunk, static_cast<size_t>(read->limit)});
    auto chunk = std::span<const uint8_t>(block).subspan(read->offset, count);
    bool more = count > 0 && read->offset + count < block.size();
    return MethodAnswer::data(objscope::dataBlockChunkPayload(read->offset, chunk), more);
}

MethodAnswer writeDataBlock(std::vector<uint8_t>& block, std::span<const uint8_t> payload) {
    auto write = objscope::decodeDataBlockWriteRequest(payload);
    if (!write)
        return MethodAnswer::reject(MessageRejection::MessageWrongSize);
    // A write continues the block or overwrites it; it leaves no gap.
    size_t end = static_cast<size_t>(write->offset) + write->bytes.size();
    if (write->offset > block.size() || end > kMaxDataBlockSize)
        return MethodAnswer::reject(MessageRejection::FieldInvalid);
    if (end > block.size())
        block.resize(end, 0);
    std::copy(write->bytes.begin(), write->bytes.end(), block.begin() + write->offset);
    return MethodAnswer::ok();
}

// Entries of a linked list: a u16 length (counting itself) and data; a
// length below 2 or past the block ends the walk.
size_t linkedListEntries(const std::vector<uint8_t>& block) {
    size_t entries = 0;
    for (size_t at = 0; at + 2 <= block.size();) {
        size_t length = block[at] | (block[at + 1] << 8);
        if (length < 2 || at + length > block.size())
            break;
        at += length;
        ++entries;
    }
    return entries;
}

}  // namespace

SimulatedDevice::Reply SimulatedDevice::handleClassMethod(const Request& request,
                                                          DeviceObject& object) {
    const uint16_t id = request.datagram.messageId;
    MethodAnswer answer = MethodAnswer::reject(TransportRejection::MethodInvalid);
    if (object.tests) {
        answer = answerTestManager(*object.tests, id, request.payload);
    } else if (object.matrix) {
        answer = answerMatrix(*object.matrix, matrixRules(object), id, request.payload);
    } else if (object.dataBlock && id == objscope::kMethodReadDataBlock) {
        answer = readDataBlock(*object.dataBlock, request.payload);
    } else if (object.dataBlock && id == objscope::kMethodWriteDataBlock) {
        answer = writeDataBlock(*object.dataBlock, request.payload);
        if (answer.verdict.isOk() && isLinkedListClass(object.classId))
            updateLinkedListSizes(object);
    }
    if (!answer.verdict.isOk() || !answer.payload)
        return status(request, answer.verdict);
    return payloadReply(request, *answer.payload, answer.more);
}

// A linked list reports its block size (3072) and entry count (3073); both
// follow what was written.
void SimulatedDevice::updateLinkedListSizes(DeviceObject& object) {
    const std::vector<uint8_t>& block = *object.dataBlock;
    const std::pair<uint16_t, size_t> sizes[] = {{kPropBlockSize, block.size()},
                                                 {kPropEntryCount, linkedListEntries(block)}};
    for (const auto& [id, value] : sizes) {
        DeviceProperty* property = object.find(id);
        if (!property)
            continue;
        auto wire = wireBytesFor(property->typeCode, static_cast<double>(value));
        if (wire && *wire != property->value) {
            property->value = std::move(*wire);
            notifyChange(object, *property);
        }
    }
}

}  // namespace tarnsim
