#include "values/property_stream.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace objscope {
namespace {

constexpr std::array<uint8_t, 4> kTagMagic = {0x55, 0xAA, 0xAA, 0x55};

}  // namespace

void WriteI64(ByteWriter& out, int64_t value) {
    uint64_t bits = static_cast<uint64_t>(value);
    out.u32(static_cast<uint32_t>(bits & 0xFFFFFFFFu));
    out.u32(static_cast<uint32_t>(bits >> 32));
}

int64_t ReadI64(ByteReader& in) {
    uint64_t low = in.u32();
    uint64_t high = in.u32();
    return static_cast<int64_t>(low | (high << 32));
}

void WriteDouble(ByteWriter& out, double value) {
    int64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    WriteI64(out, bits);
}

double ReadDouble(ByteReader& in) {
    int64_t bits = ReadI64(in);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void WriteFixedText(ByteWriter& out, std::string_view text, size_t width) {
    size_t length = std::min(text.size(), width);
    out.u8(static_cast<uint8_t>(length));
    for (size_t i = 0; i < width; ++i)
        out.u8(i < length ? static_cast<uint8_t>(text[i]) : 0);
}

std::string ReadFixedText(ByteReader& in, size_t width) {
    size_t length = std::min<size_t>(in.u8(), width);
    auto chars = in.bytes(width);
    if (!in.ok())
        return {};
    return std::string(chars.begin(), chars.begin() + static_cast<std::ptrdiff_t>(length));
}

void WriteSectionTag(ByteWriter& out, std::string_view fourChars) {
    out.bytes(kTagMagic);
    for (size_t i = 0; i < 4; ++i)
        out.u8(i < fourChars.size() ? static_cast<uint8_t>(fourChars[i]) : 0);
}

bool ReadSectionTag(ByteReader& in, std::string_view fourChars) {
    if (!PeekSectionTag(in, fourChars))
        return false;
    in.skip(8);
    return in.ok();
}

bool PeekSectionTag(const ByteReader& in, std::string_view fourChars) {
    ByteReader copy = in;
    auto bytes = copy.bytes(8);
    if (!copy.ok() || fourChars.size() != 4)
        return false;
    return std::equal(kTagMagic.begin(), kTagMagic.end(), bytes.begin()) &&
           std::equal(fourChars.begin(), fourChars.end(), bytes.begin() + 4,
                      [](char c, uint8_t b) { return static_cast<uint8_t>(c) == b; });
}

}  // namespace objscope
