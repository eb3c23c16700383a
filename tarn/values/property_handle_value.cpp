#include "values/property_handle_value.h"

#include <algorithm>

namespace objscope {
namespace {

// The codes whose value is a 16-bit handle or ID on the wire.
bool IsHandleCode(uint8_t code) {
    return (code >= 68 && code <= 71) || (code >= 75 && code <= 80);
}

}  // namespace

TU32UWord_int::TU32UWord_int() {
    InitHasMinMax(true);
}

void TU32UWord_int::Assign(const TVEKPropertyBase& source) {
    TVEKPropertyBase::Assign(source);
    if (auto* handle = dynamic_cast<const TU32UWord_int*>(&source)) {
        data_ = handle->data_;
        min_ = handle->min_;
        max_ = handle->max_;
    }
}

std::unique_ptr<TVEKPropertyBase> TU32UWord_int::CreateSame() const {
    return std::make_unique<TU32UWord_int>();
}

void TU32UWord_int::SetData(uint16_t value) {
    if (HasMinMax())
        value = std::clamp(value, std::min(min_, max_), max_);
    if (value != data_) {
        data_ = value;
        SetModified(true);
    }
}

void TU32UWord_int::WriteToStream(ByteWriter& out) const {
    TVEKPropertyBase::WriteToStream(out);
    out.u16(min_);
    out.u16(max_);
    out.u16(data_);
}

bool TU32UWord_int::ReadFromStream(ByteReader& in) {
    if (!TVEKPropertyBase::ReadFromStream(in))
        return false;
    uint16_t min = in.u16();
    uint16_t max = in.u16();
    uint16_t data = in.u16();
    if (!in.ok())
        return false;
    min_ = min;
    max_ = max;
    SetData(data);
    return true;
}

bool TU32UWord_int::PackValue(ByteWriter& out) const {
    if (!IsHandleCode(VEKtype()))
        return false;
    out.u16(data_);
    return true;
}

bool TU32UWord_int::UnPackValue(std::span<const uint8_t> value) {
    if (!IsHandleCode(VEKtype()))
        return false;
    uint16_t number = 0;
    if (!value.empty())
        number = value[0];
    if (value.size() >= 2)
        number |= static_cast<uint16_t>(value[1] << 8);
    SetData(number);
    return true;
}

bool TU32UWord_int::SameValue(const TVEKPropertyBase& other) const {
    auto* handle = dynamic_cast<const TU32UWord_int*>(&other);
    return handle && handle->data_ == data_;
}

}  // namespace objscope
