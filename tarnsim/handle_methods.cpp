// Class methods (message IDs from 3072): the Test Manager's tests and
// end-of-branch results, data blocks of BLOB-like objects and the
// connections of matrix routers and combiners.
#include <algorithm>

#include "core/tarn_method_codec.h"
#include "core/tarn_methods.h"
#include "property_values.h"
#include "simulated_device.h"

namespace tarnsim {

using objscope::DeviceVerdict;
using objscope::MessageRejection;
using objscope::TransportRejection;

namespace {

constexpr size_t kMethodRoom = kMaxMethodReplyBytes - objscope::kTarnHeaderSize;
constexpr uint16_t kContinuousTest = 0x20;
constexpr uint16_t kPropForceOne = 3073;
constexpr uint16_t kPropSelfRouting = 4096;
constexpr uint16_t kPropCombiningMode = 4097;

enum class CombiningMode { SwitchRouter = 0, MixingRouter = 1, CrossCombine = 2, GroupCombine = 3 };

// Records [first, first + what fits) of `all`; `more` tells whether any remain.
template <typename Record>
std::span<const Record> pageOf(const std::vector<Record>& all, size_t first, size_t headerBytes,
                               size_t recordBytes, bool& more) {
    size_t room = (kMethodRoom - headerBytes) / recordBytes;
    if (first >= all.size()) {
        more = false;
        return {};
    }
    size_t count = std::min(room, all.size() - first);
    more = first + count < all.size();
    return std::span<const Record>(all).subspan(first, count);
}

bool flagOn(const DeviceObject& object, uint16_t id) {
    const DeviceProperty* property = object.find(id);
    auto value = property ? engineeringValue(property->typeCode, property->value) : std::nullopt;
    return value && *value != 0;
}

CombiningMode combiningMode(const DeviceObject& object) {
    if (object.classId == kClassMatrixRouter)
        return CombiningMode::SwitchRouter;
    const DeviceProperty* property = object.find(kPropCombiningMode);
    auto value = property ? engineeringValue(property->typeCode, property->value) : std::nullopt;
    int mode = value ? static_cast<int>(*value) : 0;
    return mode >= 0 && mode <= 3 ? static_cast<CombiningMode>(mode) : CombiningMode::SwitchRouter;
}

const TestRun* findRun(const TestManagerState& tests, uint16_t selector, uint16_t number) {
    // By sequence: the latest run of that sequence; otherwise by serial number.
    for (auto it = tests.runs.rbegin(); it != tests.runs.rend(); ++it) {
        uint16_t key =
            selector == objscope::kResultsBySequence ? it->record.sequence : it->record.serial;
        if (key == number)
            return &*it;
    }
    return nullptr;
}

TestRun& startRun(TestManagerState& tests, uint16_t sequence, uint16_t modeFlags) {
    TestRun run;
    run.record.serial = tests.nextSerial;
    tests.nextSerial = tests.nextSerial == 0xFFFF ? 1 : static_cast<uint16_t>(tests.nextSerial + 1);
    run.record.sequence = sequence;
    run.record.modeFlags = modeFlags;
    run.record.dateTime = objscope::packDateTime(2026, 12, 10, 12, 0, 0);
    tests.runs.push_back(run);
    return tests.runs.back();
}

}  // namespace

SimulatedDevice::Reply SimulatedDevice::handleClassMethod(const Request& request,
                                                          DeviceObject& object) {
    if (object.tests)
        return handleTestManager(request, object);
    if (object.dataBlock)
        return handleDataBlock(request, object);
    if (object.matrix)
        return handleMatrix(request, object);
    return status(request, DeviceVerdict::reject(TransportRejection::MethodInvalid));
}

SimulatedDevice::Reply SimulatedDevice::handleTestManager(const Request& request,
                                                          DeviceObject& object) {
    TestManagerState& tests = *object.tests;
    const auto wrongSize = DeviceVerdict::reject(MessageRejection::MessageWrongSize);
    const auto invalid = DeviceVerdict::reject(MessageRejection::FieldInvalid);
    switch (request.datagram.messageId) {
        case objscope::kMethodStopTest: {
            if (!objscope::decodeStopTestRequest(request.payload))
                return status(request, wrongSize);
            tests.testActive = false;
            return status(request, DeviceVerdict::ok());
        }
        case objscope::kMethodStartSequence: {
            auto start = objscope::decodeStartSequenceRequest(request.payload);
            if (!start)
                return status(request, wrongSize);
            if (start->sequence == 0 || (start->modeWord != objscope::kSequenceModeSet &&
                                         start->modeWord != objscope::kSequenceModeStart))
                return status(request, invalid);
            TestRun& run = startRun(tests, start->sequence, start->modeWord);
            return payloadReply(request, objscope::methodResultPayload(run.record.serial));
        }
        case objscope::kMethodCircuitTest: {
            auto test = objscope::decodeCircuitTestRequest(request.payload);
            if (!test)
                return status(request, wrongSize);
            if (test->point == 0)
                return status(request, invalid);
            TestRun& run = startRun(tests, test->sequence, test->modeFlags);
            objscope::TestResultRecord result;
            result.pointId = test->point;
            result.settingCode = test->settingCode;
            result.setLevel = result.testLevel = -448;
            run.results.push_back(result);
            run.record.passCount = 1;
            tests.testActive = (test->modeFlags & kContinuousTest) != 0;
            return payloadReply(request, objscope::methodResultPayload(run.record.serial));
        }
        case objscope::kMethodGetTestList: {
            auto ask = objscope::decodeTestListRequest(request.payload);
            if (!ask)
                return status(request, wrongSize);
            std::vector<objscope::TestRecord> records;
            for (const auto& run : tests.runs)
                records.push_back(run.record);
            bool more = false;
            auto page = pageOf(records, ask->firstRecord, 2, objscope::kTestRecordSize, more);
            return payloadReply(request, objscope::testListPayload(page), more);
        }
        case objscope::kMethodGetTestResults: {
            auto ask = objscope::decodeTestResultsRequest(request.payload);
            if (!ask)
                return status(request, wrongSize);
            const TestRun* run = findRun(tests, ask->selector, ask->number);
            objscope::TestResultHeader header;
            std::vector<objscope::TestResultRecord> none;
            const auto& results = run ? run->results : none;
            if (run) {
                header.serial = run->record.serial;
                header.modeFlags = run->record.modeFlags;
                header.dateTime = run->record.dateTime;
            }
            bool more = false;
            auto page = pageOf(results, ask->firstRecord, objscope::kTestResultHeaderSize,
                               objscope::kTestResultRecordSize, more);
            return payloadReply(request, objscope::testResultsPayload(header, page), more);
        }
        case objscope::kMethodFlushResults: {
            auto flush = objscope::decodeFlushResultsRequest(request.payload);
            if (!flush)
                return status(request, wrongSize);
            std::erase_if(tests.runs, [&](const TestRun& run) {
                uint16_t key = flush->selector == objscope::kResultsBySequence ? run.record.sequence
                                                                               : run.record.serial;
                return key == flush->number;
            });
            return status(request, DeviceVerdict::ok());
        }
        case objscope::kMethodEobResults: {
            auto ask = objscope::decodeEobResultsRequest(request.payload);
            if (!ask)
                return status(request, wrongSize);
            std::vector<objscope::EobResultRecord> records;
            for (const auto& record : tests.eobResults) {
                if (ask->channel == 0 || record.channel == ask->channel)
                    records.push_back(record);
            }
            bool more = false;
            auto page = pageOf(records, ask->startIndex, 10, objscope::kEobResultRecordSize, more);
            uint16_t word = tests.testActive ? objscope::kEobTestActive : 0;
            return payloadReply(request, objscope::eobResultsPagePayload(word, page), more);
        }
        case objscope::kMethodEobFlush: {
            if (!objscope::decodeEobFlushRequest(request.payload))
                return status(request, wrongSize);
            tests.eobResults.clear();
            return status(request, DeviceVerdict::ok());
        }
        default:
            return status(request, DeviceVerdict::reject(TransportRejection::MethodInvalid));
    }
}

SimulatedDevice::Reply SimulatedDevice::handleDataBlock(const Request& request,
                                                        DeviceObject& object) {
    std::vector<uint8_t>& block = *object.dataBlock;
    switch (request.datagram.messageId) {
        case objscope::kMethodReadDataBlock: {
            auto read = objscope::decodeDataBlockReadRequest(request.payload);
            if (!read)
                return status(request, DeviceVerdict::reject(MessageRejection::MessageWrongSize));
            if (read->offset > block.size())
                return status(request, DeviceVerdict::reject(MessageRejection::FieldInvalid));
            size_t count = std::min(
                {block.size() - read->offset, kDataBlockChunk, static_cast<size_t>(read->limit)});
            bool more = read->offset + count < block.size();
            auto chunk = std::span<const uint8_t>(block).subspan(read->offset, count);
            return payloadReply(request, objscope::dataBlockChunkPayload(read->offset, chunk),
                                more && count > 0);
        }
        case objscope::kMethodWriteDataBlock: {
            auto write = objscope::decodeDataBlockWriteRequest(request.payload);
            if (!write)
                return status(request, DeviceVerdict::reject(MessageRejection::MessageWrongSize));
            size_t end = static_cast<size_t>(write->offset) + write->bytes.size();
            if (write->offset > block.size() || end > kMaxDataBlockSize)
                return status(request, DeviceVerdict::reject(MessageRejection::FieldInvalid));
            if (end > block.size())
                block.resize(end, 0);
            std::copy(write->bytes.begin(), write->bytes.end(), block.begin() + write->offset);
            if (isLinkedListClass(object.classId))
                updateLinkedListSizes(object);
            return status(request, DeviceVerdict::ok());
        }
        default:
            return status(request, DeviceVerdict::reject(TransportRejection::MethodInvalid));
    }
}

// A linked list reports its block size (3072) and entry count (3073); both
// follow what was written. Entries are a u16 length (counting itself) and
// data; a length below 2 or past the block ends the walk.
void SimulatedDevice::updateLinkedListSizes(DeviceObject& object) {
    const std::vector<uint8_t>& block = *object.dataBlock;
    size_t entries = 0;
    for (size_t at = 0; at + 2 <= block.size();) {
        size_t length = block[at] | (block[at + 1] << 8);
        if (length < 2 || at + length > block.size())
            break;
        at += length;
        ++entries;
    }
    for (auto [id, value] : {std::pair<uint16_t, size_t>{3072, block.size()}, {3073, entries}}) {
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

SimulatedDevice::Reply SimulatedDevice::matrixList(const Request& request,
                                                   const MatrixState& matrix, uint16_t start) {
    std::vector<objscope::Crosspoint> pairs;
    for (const auto& [input, output] : matrix.connected)
        pairs.push_back({input, output});
    bool more = false;
    auto page = pageOf(pairs, start, 2, 2, more);
    return payloadReply(request, objscope::matrixPairsPayload(page), more);
}

SimulatedDevice::Reply SimulatedDevice::handleMatrix(const Request& request, DeviceObject& object) {
    if (request.datagram.messageId != objscope::kMethodMatrixCommand)
        return status(request, DeviceVerdict::reject(TransportRejection::MethodInvalid));
    auto command = objscope::decodeMatrixCommand(request.payload);
    if (!command)
        return status(request, DeviceVerdict::reject(MessageRejection::MessageWrongSize));
    MatrixState& matrix = *object.matrix;
    using Code = objscope::MatrixCommandCode;
    if (command->code == Code::List)
        return matrixList(request, matrix, command->word);
    if (command->code == Code::OneToOne) {
        matrix.connected.clear();
        for (uint16_t n = 1; n <= std::min(matrix.inputs, matrix.outputs); ++n)
            matrix.connected.insert({static_cast<uint8_t>(n), static_cast<uint8_t>(n)});
        return matrixList(request, matrix, 0);
    }
    const uint8_t in = command->input;
    const uint8_t out = command->output;
    if (in < 1 || in > matrix.inputs || out < 1 || out > matrix.outputs)
        return status(request, DeviceVerdict::reject(MessageRejection::FieldInvalid));
    const bool connect = command->code == Code::Connect;
    const CombiningMode mode = combiningMode(object);
    const bool combining =
        mode == CombiningMode::CrossCombine || mode == CombiningMode::GroupCombine;
    auto setPoint = [&](uint8_t input, uint8_t output, bool on) {
        if (input < 1 || input > matrix.inputs || output < 1 || output > matrix.outputs)
            return;
        if (on)
            matrix.connected.insert({input, output});
        else
            matrix.connected.erase({input, output});
    };
    if (mode == CombiningMode::SwitchRouter) {
        // One input per output; a router with "Force One Sel All?" keeps it.
        if (connect) {
            std::erase_if(matrix.connected, [&](const auto& p) { return p.second == out; });
            setPoint(in, out, true);
        } else if (!flagOn(object, kPropForceOne)) {
            setPoint(in, out, false);
        }
    } else if (combining) {
        // Rooms: input k and output k belong together, so a connection is
        // mirrored; with self-routing a room always hears itself.
        if (!connect && in == out && flagOn(object, kPropSelfRouting))
            return matrixList(request, matrix, 0);
        setPoint(in, out, connect);
        setPoint(out, in, connect);
    } else {
        setPoint(in, out, connect);
    }
    return matrixList(request, matrix, 0);
}

}  // namespace tarnsim
