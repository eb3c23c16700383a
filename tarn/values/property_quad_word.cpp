#include "values/property_quad_word.h"

#include <algorithm>

#include "values/property_number_text.h"
#include "values/property_stream.h"

namespace objscope {

void TU32UQWord::Assign(const TVEKPropertyBase& source) {
    TVEKPropertyBase::Assign(source);
    if (auto* quad = dynamic_cast<const TU32UQWord*>(&source)) {
        data_ = quad->data_;
        min_ = quad->min_;
        max_ = quad->max_;
    }
}

std::unique_ptr<TVEKPropertyBase> TU32UQWord::CreateSame() const {
    return std::make_unique<TU32UQWord>();
}

void TU32UQWord::SetData(int64_t value) {
    if (HasMinMax())
        value = std::clamp(value, std::min(min_, max_), max_);
    if (value != data_) {
        data_ = value;
        SetModified(true);
    }
}

void TU32UQWord::WriteToStream(ByteWriter& out) const {
    TVEKPropertyBase::WriteToStream(out);
    WriteI64(out, min_);
    WriteI64(out, max_);
    WriteI64(out, data_);
}

bool TU32UQWord::ReadFromStream(ByteReader& in) {
    if (!TVEKPropertyBase::ReadFromStream(in))
        return false;
    int64_t min = ReadI64(in);
    int64_t max = ReadI64(in);
    int64_t data = ReadI64(in);
    if (!in.ok())
        return false;
    min_ = min;
    max_ = max;
    SetData(data);
    return true;
}

bool TU32UQWord::PackValue(ByteWriter& out) const {
    WriteI64(out, data_);
    return true;
}

bool TU32UQWord::UnPackValue(std::span<const uint8_t> value) {
    uint64_t bits = 0;
    size_t count = std::min<size_t>(value.size(), 8);
    for (size_t i = 0; i < count; ++i)
        bits |= static_cast<uint64_t>(value[i]) << (8 * i);
    SetData(static_cast<int64_t>(bits));
    return true;
}

std::string TU32UQWord::DisplayText() const {
    std::string text = "$";
    text += HexWithoutLeadingZeros(static_cast<uint64_t>(data_));
    return text;
}

bool TU32UQWord::SameValue(const TVEKPropertyBase& other) const {
    auto* quad = dynamic_cast<const TU32UQWord*>(&other);
    return quad && quad->data_ == data_;
}

}  // namespace objscope
