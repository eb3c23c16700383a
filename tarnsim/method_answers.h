// Class methods as pure functions of an object's method state: the Test
// Manager's tests and end-of-branch results, and the connections of matrix
// routers and combiners. The device turns an answer into its reply.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "protocol/tarn_header.h"
#include "protocol/tarn_rejections.h"
#include "device_model.h"

namespace tarnsim {

// What a method answers: a rejection, a status-only success, or a payload
// (with `more` while further pages follow, status 0x8000).
struct MethodAnswer {
    objscope::DeviceVerdict verdict;
    std::optional<std::vector<uint8_t>> payload;
    bool more = false;

    static MethodAnswer ok() { return {}; }
    static MethodAnswer reject(objscope::MessageRejection code) {
        return {objscope::DeviceVerdict::reject(code), std::nullopt, false};
    }
    static MethodAnswer reject(objscope::TransportRejection code) {
        return {objscope::DeviceVerdict::reject(code), std::nullopt, false};
    }
    static MethodAnswer data(std::vector<uint8_t> bytes, bool more = false) {
        return {objscope::DeviceVerdict::ok(), std::move(bytes), more};
    }
};

// A method reply stays within what a requester's default reply buffer takes
// (1024 bytes with the Tarn header).
constexpr size_t kMaxMethodReplyBytes = 1024;
constexpr size_t kMethodPayloadRoom = kMaxMethodReplyBytes - objscope::kTarnHeaderSize;

// Methods 3072..3077, 3082 and 3083 of a Test Manager.
MethodAnswer answerTestManager(TestManagerState& tests, uint16_t methodId,
                               std::span<const uint8_t> payload);

enum class CombiningMode { SwitchRouter = 0, MixingRouter = 1, CrossCombine = 2, GroupCombine = 3 };

// The settings of a matrix object that decide how a crosspoint press acts.
struct MatrixRules {
    CombiningMode mode = CombiningMode::SwitchRouter;  // a router switches
    bool forceOne = false;                             // an output keeps one input
    bool selfRouting = false;                          // a room always hears itself
};

// Method 3073 of a matrix router or combiner: list, connect, disconnect,
// one-to-one. Every command but the list answers with the first page of the
// connections after it.
MethodAnswer answerMatrix(MatrixState& matrix, const MatrixRules& rules, uint16_t methodId,
                          std::span<const uint8_t> payload);

}  // namespace tarnsim
