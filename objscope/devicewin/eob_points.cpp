#include "devicewin/eob_points.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "values/integer_literal.h"
#include "values/property_number_text.h"
#include "values/text_blanks.h"

namespace objscope {
namespace {

constexpr int16_t kNoSetValue = -32768;
// The end mark's offset stays within the 16-bit offsets of a data block.
constexpr size_t kMaxEobPoints = 0xFFFF / kEobPointRecordSize - 1;

int16_t SetValueFrom(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double db = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), db);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(db))
        return kNoSetValue;
    int64_t raw = RoundToInt64(db * 128);
    if (raw < INT16_MIN || raw > INT16_MAX)
        return kNoSetValue;
    return static_cast<int16_t>(raw);
}

}  // namespace

std::vector<EobPointRecord> EobPointsFromBlock(std::span<const uint8_t> block) {
    std::vector<EobPointRecord> points;
    for (size_t at = 0; block.size() - at >= kEobPointRecordSize; at += kEobPointRecordSize) {
        auto record = readEobPointRecord(block.subspan(at));
        if (!record || record->pointId == 0)
            break;
        points.push_back(*record);
    }
    return points;
}

EobRowsResult EobRecordsFromRows(std::span<const EobRowTexts> rows) {
    EobRowsResult result;
    for (size_t i = 0; i < rows.size(); ++i) {
        const auto& row = rows[i];
        int64_t point = IntegerLiteral(TrimBlanks(row.point)).value_or(0);
        int64_t branch = IntegerLiteral(TrimBlanks(row.branch)).value_or(0);
        int64_t address = IntegerLiteral(TrimBlanks(row.address)).value_or(0);
        std::string problem;
        if (point < 0 || point > 0xFFFF)
            problem = "Test Point ID " + std::to_string(point) + " is not 0 to 65535";
        else if (branch < 0 || branch > 255)
            problem = "Branch # " + std::to_string(branch) + " is not 0 to 255";
        else if (address < 0 || address > 0xFFFFFF)
            problem = "EOB Dev Address " + std::to_string(address) + " is not 0 to 16777215";
        if (!problem.empty()) {
            result.records.clear();
            result.badRow = i + 1;
            result.error = "Row " + std::to_string(i + 1) + ": " + problem;
            return result;
        }
        if (point == 0)
            continue;
        EobPointRecord record;
        record.pointId = static_cast<uint16_t>(point);
        record.branch = static_cast<uint8_t>(branch);
        record.deviceAddress = static_cast<uint32_t>(address);
        record.setValue = SetValueFrom(row.setValue);
        result.records.push_back(record);
    }
    if (result.records.size() > kMaxEobPoints) {
        result.badRow = rows.size();
        result.error = std::to_string(result.records.size()) + " points are more than the " +
                       std::to_string(kMaxEobPoints) + " a table holds";
        result.records.clear();
        return result;
    }
    std::stable_sort(result.records.begin(), result.records.end(),
                     [](const EobPointRecord& a, const EobPointRecord& b) {
                         return a.pointId != b.pointId ? a.pointId < b.pointId
                                                       : a.branch < b.branch;
                     });
    return result;
}

EobRowTexts EobRowFor(const EobPointRecord& record) {
    return {std::to_string(record.pointId), std::to_string(record.branch),
            std::to_string(record.deviceAddress), EobDbText(record.setValue)};
}

std::vector<EobWriteChunk> EobWriteChunks(std::span<const EobPointRecord> records) {
    std::vector<EobPointRecord> all(records.begin(), records.end());
    all.push_back({});  // the end mark
    std::vector<EobWriteChunk> chunks;
    for (size_t first = 0; first < all.size(); first += kEobRecordsPerWrite) {
        EobWriteChunk chunk;
        chunk.offset = static_cast<uint16_t>(first * kEobPointRecordSize);
        chunk.records = std::min(kEobRecordsPerWrite, all.size() - first);
        for (size_t i = 0; i < chunk.records; ++i)
            appendRecord(chunk.bytes, all[first + i]);
        chunks.push_back(std::move(chunk));
    }
    return chunks;
}

std::string EobDbText(int16_t raw) {
    return ShortestDecimal(raw / 128.0);
}

}  // namespace objscope
