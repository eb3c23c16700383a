#include "values/property_string_value.h"

#include <algorithm>
#include <cstdio>

#include "values/property_stream.h"

namespace objscope {

void TU32StringValue::Assign(const TVEKPropertyBase& source) {
    TVEKPropertyBase::Assign(source);
    if (auto* text = dynamic_cast<const TU32StringValue*>(&source))
        data_ = text->data_;
}

std::unique_ptr<TVEKPropertyBase> TU32StringValue::CreateSame() const {
    auto same = std::make_unique<TU32StringValue>();
    same->SetVEKType(vekType_);
    return same;
}

void TU32StringValue::SetData(std::string_view text) {
    text = text.substr(0, kPropertyTextMax);
    if (text != data_) {
        data_ = std::string(text);
        SetModified(true);
    }
}

void TU32StringValue::WriteToStream(ByteWriter& out) const {
    TVEKPropertyBase::WriteToStream(out);
    WriteFixedText(out, data_, kPropertyTextMax);
}

bool TU32StringValue::ReadFromStream(ByteReader& in) {
    if (!TVEKPropertyBase::ReadFromStream(in))
        return false;
    std::string text = ReadFixedText(in, kPropertyTextMax);
    if (!in.ok())
        return false;
    SetData(text);
    return true;
}

bool TU32StringValue::PackValue(ByteWriter& out) const {
    for (char c : data_)
        out.u8(static_cast<uint8_t>(c));
    return true;
}

bool TU32StringValue::UnPackValue(std::span<const uint8_t> value) {
    size_t count = std::min(value.size(), kPropertyTextMax);
    if (TrimsTrailingZeros()) {
        // The text ends at its last non-zero byte; all zeros keep the length.
        size_t end = count;
        while (end > 0 && value[end - 1] == 0)
            --end;
        if (end > 0)
            count = end;
    }
    SetData(std::string(value.begin(), value.begin() + static_cast<std::ptrdiff_t>(count)));
    return true;
}

bool TU32StringValue::SameValue(const TVEKPropertyBase& other) const {
    auto* text = dynamic_cast<const TU32StringValue*>(&other);
    return text && text->data_ == data_;
}

TU32VEKBitSet::TU32VEKBitSet() {
    SetData(std::string(32, '\0'));
}

std::string TU32VEKBitSet::DisplayText() const {
    std::string text;
    for (char c : Data()) {
        char part[8];
        std::snprintf(part, sizeof part, "$%02X", static_cast<unsigned>(static_cast<uint8_t>(c)));
        if (!text.empty())
            text += " | ";
        text += part;
    }
    return text;
}

}  // namespace objscope
