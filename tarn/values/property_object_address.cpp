#include "values/property_object_address.h"

#include <cstdio>

namespace objscope {

void TVEKObject_Address::Assign(const TVEKPropertyBase& source) {
    TVEKPropertyBase::Assign(source);
    if (auto* address = dynamic_cast<const TVEKObject_Address*>(&source)) {
        part32_ = address->part32_;
        part16_ = address->part16_;
    }
}

std::unique_ptr<TVEKPropertyBase> TVEKObject_Address::CreateSame() const {
    return std::make_unique<TVEKObject_Address>();
}

void TVEKObject_Address::SetParts(uint32_t part32, uint16_t part16) {
    if (part32 != part32_ || part16 != part16_) {
        part32_ = part32;
        part16_ = part16;
        SetModified(true);
    }
}

void TVEKObject_Address::WriteToStream(ByteWriter& out) const {
    TVEKPropertyBase::WriteToStream(out);
    PackValue(out);
}

bool TVEKObject_Address::ReadFromStream(ByteReader& in) {
    if (!TVEKPropertyBase::ReadFromStream(in))
        return false;
    uint32_t part32 = in.u32();
    uint16_t part16 = in.u16();
    if (!in.ok())
        return false;
    SetParts(part32, part16);
    return true;
}

bool TVEKObject_Address::PackValue(ByteWriter& out) const {
    out.u32(part32_);
    out.u16(part16_);
    return true;
}

bool TVEKObject_Address::UnPackValue(std::span<const uint8_t> value) {
    // Bytes that did not arrive read as zero.
    uint8_t bytes[6] = {};
    for (size_t i = 0; i < value.size() && i < 6; ++i)
        bytes[i] = value[i];
    uint32_t part32 = static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
                      (static_cast<uint32_t>(bytes[2]) << 16) |
                      (static_cast<uint32_t>(bytes[3]) << 24);
    uint16_t part16 = static_cast<uint16_t>(bytes[4] | (bytes[5] << 8));
    SetParts(part32, part16);
    return true;
}

std::string TVEKObject_Address::DisplayText() const {
    char text[40];
    std::snprintf(text, sizeof text, "%u:%u:%u", part32_ & 0xFFFFu, part32_ >> 16,
                  static_cast<unsigned>(part16_));
    return text;
}

bool TVEKObject_Address::SameValue(const TVEKPropertyBase& other) const {
    auto* address = dynamic_cast<const TVEKObject_Address*>(&other);
    return address && address->part32_ == part32_ && address->part16_ == part16_;
}

}  // namespace objscope
