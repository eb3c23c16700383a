// The test methods of the Test Manager, built on ActivateMethod.
#include "comm/tarn_monitor.h"
#include "protocol/more_follows_pager.h"

namespace objscope {

int32_t TTarn_Monitor::StopTest(const TarnAddress& address, uint16_t sequence) {
    std::vector<uint8_t> unused;
    return ActivateMethod(address, kMethodStopTest, stopTestPayload(sequence), unused, false);
}

int32_t TTarn_Monitor::StartSequence(const TarnAddress& address, uint16_t modeWord,
                                     uint16_t sequence, uint16_t& result) {
    std::vector<uint8_t> reply;
    int32_t status = ActivateMethod(address, kMethodStartSequence,
                                    startSequencePayload(modeWord, sequence), reply, true);
    result = methodResult(reply).value_or(0);
    return status;
}

int32_t TTarn_Monitor::RunCircuitTest(const TarnAddress& address, uint16_t modeFlags,
                                      uint16_t sequence, uint16_t settingCode, uint16_t point,
                                      uint16_t& result) {
    std::vector<uint8_t> reply;
    int32_t status =
        ActivateMethod(address, kMethodCircuitTest,
                       circuitTestPayload(modeFlags, sequence, point, settingCode), reply, true);
    result = methodResult(reply).value_or(0);
    return status;
}

int32_t TTarn_Monitor::PagedMethod(const TarnAddress& address, uint16_t messageId,
                                   std::vector<uint8_t> payload, size_t startOffset,
                                   const RecordPageLayout& layout, TTestRecords& records) {
    RecordPager pager(layout);
    PagerLimits limits;
    limits.maxPages = kMaxListingPages;
    // Asked again only while the device says more follows and a page brings
    // records: a device that always says "more" cannot hang us.
    limits.maxRepeats = 0;
    PagerOutcome outcome = RunPager(
        [&](uint16_t start) -> PagerStep {
            setPayloadStartIndex(payload, startOffset, start);
            std::vector<uint8_t> reply;
            int32_t status = ActivateMethod(address, messageId, payload, reply, true);
            if (status != kStatusOk && status != kStatusPartialResponse)
                return {status, 0};
            return {status, pager.addPage(reply)};
        },
        limits);
    records.header = pager.firstHeader();
    records.records.clear();
    for (size_t i = 0; i < pager.recordCount(); ++i) {
        auto record = pager.record(i);
        records.records.emplace_back(record.begin(), record.end());
    }
    return outcome.status;
}

int32_t TTarn_Monitor::GetTestList(const TarnAddress& address, uint16_t selector,
                                   TTestRecords& records) {
    return PagedMethod(address, kMethodGetTestList, testListPayload(selector, 0),
                       kTestListStartOffset, kTestListLayout, records);
}

int32_t TTarn_Monitor::GetTestResults(const TarnAddress& address, uint16_t selector1,
                                      uint16_t selector2, uint16_t selector3,
                                      TTestRecords& records) {
    return PagedMethod(address, kMethodGetTestResults,
                       testResultsPayload(selector1, selector2, selector3, 0),
                       kTestResultsStartOffset, kTestResultsLayout, records);
}

int32_t TTarn_Monitor::FlushResults(const TarnAddress& address, uint16_t value1, uint16_t value2) {
    std::vector<uint8_t> unused;
    return ActivateMethod(address, kMethodFlushResults, flushResultsPayload(value1, value2), unused,
                          false);
}

}  // namespace objscope
