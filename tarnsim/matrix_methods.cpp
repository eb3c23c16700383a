// Method 3073 of matrix routers and combiners: the connection list and the
// crosspoint commands, applied by the rules of the object's mode.
#include <algorithm>

#include "protocol/tarn_method_codec.h"
#include "method_answers.h"
#include "method_pages.h"

namespace tarnsim {

using objscope::MatrixCommandCode;
using objscope::MessageRejection;

namespace {

bool inside(const MatrixState& matrix, uint8_t input, uint8_t output) {
    return input >= 1 && input <= matrix.inputs && output >= 1 && output <= matrix.outputs;
}

void setPoint(MatrixState& matrix, uint8_t input, uint8_t output, bool on) {
    if (!inside(matrix, input, output))
        return;
    if (on)
        matrix.connected.insert({input, output});
    else
        matrix.connected.erase({input, output});
}

MethodAnswer listFrom(const MatrixState& matrix, uint16_t start) {
    std::vector<objscope::Crosspoint> pairs;
    for (const auto& [input, output] : matrix.connected)
        pairs.push_back({input, output});
    auto page = pageOf(pairs, start, 2, 2);
    return MethodAnswer::data(objscope::matrixPairsPayload(page.records), page.more);
}

// Crosspoints are named by bytes: input and output 256 of the largest
// matrix cannot be held (nor listed) and stay unconnected.
constexpr uint16_t kLargestNumber = 255;

void connectOneToOne(MatrixState& matrix) {
    matrix.connected.clear();
    const uint16_t last = std::min({matrix.inputs, matrix.outputs, kLargestNumber});
    for (uint16_t n = 1; n <= last; ++n)
        matrix.connected.insert({static_cast<uint8_t>(n), static_cast<uint8_t>(n)});
}

// A crosspoint released (connect) or pressed down (disconnect).
void pressCrosspoint(MatrixState& matrix, const MatrixRules& rules, uint8_t in, uint8_t out,
                     bool connect) {
    switch (rules.mode) {
        case CombiningMode::SwitchRouter:
            // One input per output; "force one" keeps the last one connected.
            if (connect) {
                std::erase_if(matrix.connected, [&](const auto& p) { return p.second == out; });
                setPoint(matrix, in, out, true);
            } else if (!rules.forceOne) {
                setPoint(matrix, in, out, false);
            }
            break;
        case CombiningMode::MixingRouter:
            setPoint(matrix, in, out, connect);
            break;
        case CombiningMode::CrossCombine:
        case CombiningMode::GroupCombine:
            // Input k and output k form room k, so a connection is mirrored.
            if (!connect && in == out && rules.selfRouting)
                break;
            setPoint(matrix, in, out, connect);
            setPoint(matrix, out, in, connect);
            break;
    }
}

}  // namespace

MethodAnswer answerMatrix(MatrixState& matrix, const MatrixRules& rules, uint16_t methodId,
                          std::span<const uint8_t> payload) {
    if (methodId != objscope::kMethodMatrixCommand)
        return MethodAnswer::reject(objscope::TransportRejection::MethodInvalid);
    auto command = objscope::decodeMatrixCommand(payload);
    if (!command)
        return MethodAnswer::reject(MessageRejection::MessageWrongSize);
    switch (command->code) {
        case MatrixCommandCode::List:
            return listFrom(matrix, command->word);
        case MatrixCommandCode::OneToOne:
            connectOneToOne(matrix);
            return listFrom(matrix, 0);
        case MatrixCommandCode::Connect:
        case MatrixCommandCode::Disconnect:
            if (!inside(matrix, command->input, command->output))
                return MethodAnswer::reject(MessageRejection::FieldInvalid);
            pressCrosspoint(matrix, rules, command->input, command->output,
                            command->code == MatrixCommandCode::Connect);
            return listFrom(matrix, 0);
    }
    return MethodAnswer::reject(MessageRejection::FieldInvalid);
}

}  // namespace tarnsim
