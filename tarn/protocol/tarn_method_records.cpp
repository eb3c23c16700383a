#include "protocol/tarn_method_records.h"

#include "protocol/tarn_bytes.h"

namespace objscope {
namespace {

uint16_t asWord(int16_t value) {
    return static_cast<uint16_t>(value);
}
int16_t asSigned(uint16_t value) {
    return static_cast<int16_t>(value);
}

template <typename Record, typename Read>
std::optional<Record> readWith(std::span<const uint8_t> bytes, Read read) {
    ByteReader in(bytes);
    Record record = read(in);
    if (!in.ok())
        return std::nullopt;
    return record;
}

}  // namespace

void appendRecord(std::vector<uint8_t>& out, const TestRecord& r) {
    ByteWriter w(out);
    w.u16(r.serial);
    w.u16(r.sequence);
    w.u16(r.modeFlags);
    w.u32(r.dateTime);
    w.u16(r.passCount);
    w.u16(r.failCount);
}

void appendRecord(std::vector<uint8_t>& out, const TestResultHeader& h) {
    ByteWriter w(out);
    w.u16(h.serial);
    w.u16(h.reserved);
    w.u16(h.modeFlags);
    w.u32(h.dateTime);
    w.u16(h.recordCount);
}

void appendRecord(std::vector<uint8_t>& out, const TestResultRecord& r) {
    ByteWriter w(out);
    w.u16(r.elapsed);
    w.u16(r.pointId);
    w.u16(r.settingCode);
    w.u16(asWord(r.setLevel));
    w.u16(asWord(r.testLevel));
    w.u8(r.resultBits);
}

void appendRecord(std::vector<uint8_t>& out, const EobPointRecord& r) {
    ByteWriter w(out);
    w.u8(static_cast<uint8_t>(r.deviceAddress & 0xFF));
    w.u8(static_cast<uint8_t>((r.deviceAddress >> 8) & 0xFF));
    w.u8(static_cast<uint8_t>((r.deviceAddress >> 16) & 0xFF));
    w.u8(r.branch);
    w.u16(r.pointId);
    w.u16(asWord(r.setValue));
}

void appendRecord(std::vector<uint8_t>& out, const EobResultRecord& r) {
    ByteWriter w(out);
    w.u16(r.reserved);
    w.u8(r.channel);
    w.u8(r.branch);
    w.u16(asWord(r.setValue));
    w.u16(asWord(r.lastReading));
    w.u8(r.lastResult);
    w.u8(r.filteredResult);
    w.u16(r.faultCount);
    w.u16(r.successiveFaults);
}

std::optional<TestRecord> readTestRecord(std::span<const uint8_t> bytes) {
    return readWith<TestRecord>(bytes, [](ByteReader& in) {
        TestRecord r;
        r.serial = in.u16();
        r.sequence = in.u16();
        r.modeFlags = in.u16();
        r.dateTime = in.u32();
        r.passCount = in.u16();
        r.failCount = in.u16();
        return r;
    });
}

std::optional<TestResultHeader> readTestResultHeader(std::span<const uint8_t> bytes) {
    return readWith<TestResultHeader>(bytes, [](ByteReader& in) {
        TestResultHeader h;
        h.serial = in.u16();
        h.reserved = in.u16();
        h.modeFlags = in.u16();
        h.dateTime = in.u32();
        h.recordCount = in.u16();
        return h;
    });
}

std::optional<TestResultRecord> readTestResultRecord(std::span<const uint8_t> bytes) {
    return readWith<TestResultRecord>(bytes, [](ByteReader& in) {
        TestResultRecord r;
        r.elapsed = in.u16();
        r.pointId = in.u16();
        r.settingCode = in.u16();
        r.setLevel = asSigned(in.u16());
        r.testLevel = asSigned(in.u16());
        r.resultBits = in.u8();
        return r;
    });
}

std::optional<EobPointRecord> readEobPointRecord(std::span<const uint8_t> bytes) {
    return readWith<EobPointRecord>(bytes, [](ByteReader& in) {
        EobPointRecord r;
        uint32_t low = in.u8();
        uint32_t mid = in.u8();
        uint32_t high = in.u8();
        r.deviceAddress = low | (mid << 8) | (high << 16);
        r.branch = in.u8();
        r.pointId = in.u16();
        r.setValue = asSigned(in.u16());
        return r;
    });
}

std::optional<EobResultRecord> readEobResultRecord(std::span<const uint8_t> bytes) {
    return readWith<EobResultRecord>(bytes, [](ByteReader& in) {
        EobResultRecord r;
        r.reserved = in.u16();
        r.channel = in.u8();
        r.branch = in.u8();
        r.setValue = asSigned(in.u16());
        r.lastReading = asSigned(in.u16());
        r.lastResult = in.u8();
        r.filteredResult = in.u8();
        r.faultCount = in.u16();
        r.successiveFaults = in.u16();
        return r;
    });
}

uint32_t packDateTime(int year, int month, int day, int hour, int minute, int second) {
    uint32_t date = (static_cast<uint32_t>(year - 1980) & 0x7F) << 9 |
                    (static_cast<uint32_t>(month) & 0x0F) << 5 |
                    (static_cast<uint32_t>(day) & 0x1F);
    uint32_t time = (static_cast<uint32_t>(hour) & 0x1F) << 11 |
                    (static_cast<uint32_t>(minute) & 0x3F) << 5 |
                    ((static_cast<uint32_t>(second) / 2) & 0x1F);
    return date << 16 | time;
}

}  // namespace objscope
