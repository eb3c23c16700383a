#include "values/property_base.h"

#include "values/property_stream.h"

namespace objscope {

void TVEKPropertyBase::SetPropertyID(uint16_t id) {
    if (id != propertyId_) {
        propertyId_ = id;
        modified_ = true;
    }
}

void TVEKPropertyBase::SetHasMinMax(bool on) {
    if (on != hasMinMax_) {
        hasMinMax_ = on;
        modified_ = true;
    }
}

void TVEKPropertyBase::SetName(std::string_view name) {
    name_ = std::string(name.substr(0, kPropertyNameMax));
}

void TVEKPropertyBase::Assign(const TVEKPropertyBase& source) {
    propertyId_ = source.propertyId_;
    hasMinMax_ = source.hasMinMax_;
    name_ = source.name_;
    readOnly_ = source.readOnly_;
    sendLast_ = source.sendLast_;
    modified_ = true;
}

std::unique_ptr<TVEKPropertyBase> TVEKPropertyBase::CreateSame() const {
    // The base holds no value; a plain base is never created on its own.
    return nullptr;
}

std::unique_ptr<TVEKPropertyBase> TVEKPropertyBase::Clone() const {
    auto copy = CreateSame();
    if (copy)
        copy->Assign(*this);
    return copy;
}

void TVEKPropertyBase::WriteToStream(ByteWriter& out) const {
    out.u16(propertyId_);
    out.u8(hasMinMax_ ? 1 : 0);
    WriteFixedText(out, name_, kPropertyNameMax);
}

bool TVEKPropertyBase::ReadFromStream(ByteReader& in) {
    uint16_t id = in.u16();
    bool hasMinMax = in.u8() != 0;
    std::string name = ReadFixedText(in, kPropertyNameMax);
    if (!in.ok())
        return false;
    SetPropertyID(id);
    SetHasMinMax(hasMinMax);
    SetName(name);
    return true;
}

bool TVEKPropertyBase::PackValue(ByteWriter&) const {
    return false;
}

bool TVEKPropertyBase::UnPackValue(std::span<const uint8_t>) {
    return false;
}

bool TVEKPropertyBase::SameValue(const TVEKPropertyBase&) const {
    return false;
}

}  // namespace objscope
