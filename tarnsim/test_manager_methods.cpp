// The Test Manager's methods: stop, start a sequence, circuit test, the paged
// test list and results, flushing, and the end-of-branch results.
#include <algorithm>

#include "protocol/tarn_method_codec.h"
#include "protocol/tarn_methods.h"
#include "method_answers.h"
#include "method_pages.h"

namespace tarnsim {

using objscope::MessageRejection;

namespace {

constexpr uint16_t kContinuousTest = 0x20;

// The key by which a selector names runs: sequence (0x8000) or serial number.
uint16_t runKey(const TestRun& run, uint16_t selector) {
    return selector == objscope::kResultsBySequence ? run.record.sequence : run.record.serial;
}

// The latest run the selector and number name.
const TestRun* findRun(const TestManagerState& tests, uint16_t selector, uint16_t number) {
    for (auto it = tests.runs.rbegin(); it != tests.runs.rend(); ++it) {
        if (runKey(*it, selector) == number)
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

MethodAnswer startSequence(TestManagerState& tests, std::span<const uint8_t> payload) {
    auto start = objscope::decodeStartSequenceRequest(payload);
    if (!start)
        return MethodAnswer::reject(MessageRejection::MessageWrongSize);
    if (start->sequence == 0 || (start->modeWord != objscope::kSequenceModeSet &&
                                 start->modeWord != objscope::kSequenceModeStart))
        return MethodAnswer::reject(MessageRejection::FieldInvalid);
    TestRun& run = startRun(tests, start->sequence, start->modeWord);
    return MethodAnswer::data(objscope::methodResultPayload(run.record.serial));
}

MethodAnswer circuitTest(TestManagerState& tests, std::span<const uint8_t> payload) {
    auto test = objscope::decodeCircuitTestRequest(payload);
    if (!test)
        return MethodAnswer::reject(MessageRejection::MessageWrongSize);
    if (test->point == 0)
        return MethodAnswer::reject(MessageRejection::FieldInvalid);
    TestRun& run = startRun(tests, test->sequence, test->modeFlags);
    objscope::TestResultRecord result;
    result.pointId = test->point;
    result.settingCode = test->settingCode;
    result.setLevel = result.testLevel = -448;
    run.results.push_back(result);
    run.record.passCount = 1;
    tests.testActive = (test->modeFlags & kContinuousTest) != 0;
    return MethodAnswer::data(objscope::methodResultPayload(run.record.serial));
}

MethodAnswer testList(const TestManagerState& tests, std::span<const uint8_t> payload) {
    auto ask = objscope::decodeTestListRequest(payload);
    if (!ask)
        return MethodAnswer::reject(MessageRejection::MessageWrongSize);
    std::vector<objscope::TestRecord> records;
    for (const auto& run : tests.runs)
        records.push_back(run.record);
    auto page = pageOf(records, ask->firstRecord, 2, objscope::kTestRecordSize);
    return MethodAnswer::data(objscope::testListPayload(page.records), page.more);
}

MethodAnswer testResults(const TestManagerState& tests, std::span<const uint8_t> payload) {
    auto ask = objscope::decodeTestResultsRequest(payload);
    if (!ask)
        return MethodAnswer::reject(MessageRejection::MessageWrongSize);
    // A run nobody has: an empty header and no records.
    const TestRun* run = findRun(tests, ask->selector, ask->number);
    objscope::TestResultHeader header;
    std::vector<objscope::TestResultRecord> none;
    if (run) {
        header.serial = run->record.serial;
        header.modeFlags = run->record.modeFlags;
        header.dateTime = run->record.dateTime;
    }
    auto page = pageOf(run ? run->results : none, ask->firstRecord, objscope::kTestResultHeaderSize,
                       objscope::kTestResultRecordSize);
    return MethodAnswer::data(objscope::testResultsPayload(header, page.records), page.more);
}

MethodAnswer flushResults(TestManagerState& tests, std::span<const uint8_t> payload) {
    auto flush = objscope::decodeFlushResultsRequest(payload);
    if (!flush)
        return MethodAnswer::reject(MessageRejection::MessageWrongSize);
    std::erase_if(tests.runs, [&](const TestRun& run) {
        return runKey(run, flush->selector) == flush->number;
    });
    return MethodAnswer::ok();
}

MethodAnswer eobResults(const TestManagerState& tests, std::span<const uint8_t> payload) {
    auto ask = objscope::decodeEobResultsRequest(payload);
    if (!ask)
        return MethodAnswer::reject(MessageRejection::MessageWrongSize);
    std::vector<objscope::EobResultRecord> records;
    for (const auto& record : tests.eobResults) {
        if (ask->channel == 0 || record.channel == ask->channel)
            records.push_back(record);
    }
    auto page = pageOf(records, ask->startIndex, 10, objscope::kEobResultRecordSize);
    uint16_t word = tests.testActive ? objscope::kEobTestActive : 0;
    return MethodAnswer::data(objscope::eobResultsPagePayload(word, page.records), page.more);
}

}  // namespace

MethodAnswer answerTestManager(TestManagerState& tests, uint16_t methodId,
                               std::span<const uint8_t> payload) {
    switch (methodId) {
        case objscope::kMethodStopTest:
            if (!objscope::decodeStopTestRequest(payload))
                return MethodAnswer::reject(MessageRejection::MessageWrongSize);
            tests.testActive = false;
            return MethodAnswer::ok();
        case objscope::kMethodStartSequence:
            return startSequence(tests, payload);
        case objscope::kMethodCircuitTest:
            return circuitTest(tests, payload);
        case objscope::kMethodGetTestList:
            return testList(tests, payload);
        case objscope::kMethodGetTestResults:
            return testResults(tests, payload);
        case objscope::kMethodFlushResults:
            return flushResults(tests, payload);
        case objscope::kMethodEobResults:
            return eobResults(tests, payload);
        case objscope::kMethodEobFlush:
            if (!objscope::decodeEobFlushRequest(payload))
                return MethodAnswer::reject(MessageRejection::MessageWrongSize);
            tests.eobResults.clear();
            return MethodAnswer::ok();
        default:
            return MethodAnswer::reject(objscope::TransportRejection::MethodInvalid);
    }
}

}  // namespace tarnsim
