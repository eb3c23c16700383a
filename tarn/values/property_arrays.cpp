#include "values/property_arrays.h"

#include <algorithm>
#include <limits>
#include <string>

namespace objscope {
namespace {

// Stream records count elements in a u16.
constexpr size_t kMaxStreamCount = std::numeric_limits<uint16_t>::max();

template <class T>
std::string JoinNumbers(const std::vector<T>& values) {
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            text += " | ";
        text += std::to_string(values[i]);
    }
    return text;
}

}  // namespace

void TU32VEKNumberList::Assign(const TVEKPropertyBase& source) {
    TVEKPropertyBase::Assign(source);
    if (auto* list = dynamic_cast<const TU32VEKNumberList*>(&source))
        numbers_ = list->numbers_;
}

std::unique_ptr<TVEKPropertyBase> TU32VEKNumberList::CreateSame() const {
    return std::make_unique<TU32VEKNumberList>();
}

void TU32VEKNumberList::SetNumbers(std::vector<uint16_t> numbers) {
    if (numbers != numbers_) {
        numbers_ = std::move(numbers);
        SetModified(true);
    }
}

void TU32VEKNumberList::WriteToStream(ByteWriter& out) const {
    TVEKPropertyBase::WriteToStream(out);
    size_t count = std::min(numbers_.size(), kMaxStreamCount);
    out.u16(static_cast<uint16_t>(count));
    for (size_t i = 0; i < count; ++i)
        out.u16(numbers_[i]);
}

bool TU32VEKNumberList::ReadFromStream(ByteReader& in) {
    if (!TVEKPropertyBase::ReadFromStream(in))
        return false;
    uint16_t count = in.u16();
    std::vector<uint16_t> numbers;
    for (uint16_t i = 0; i < count && in.ok(); ++i)
        numbers.push_back(in.u16());
    if (!in.ok())
        return false;
    SetNumbers(std::move(numbers));
    return true;
}

bool TU32VEKNumberList::PackValue(ByteWriter& out) const {
    for (uint16_t number : numbers_)
        out.u16(number);
    return true;
}

bool TU32VEKNumberList::UnPackValue(std::span<const uint8_t> value) {
    std::vector<uint16_t> numbers;
    for (size_t i = 0; i + 1 < value.size(); i += 2)
        numbers.push_back(static_cast<uint16_t>(value[i] | (value[i + 1] << 8)));
    SetNumbers(std::move(numbers));
    return true;
}

std::string TU32VEKNumberList::DisplayText() const {
    std::vector<int16_t> signedNumbers(numbers_.begin(), numbers_.end());
    return JoinNumbers(signedNumbers);
}

bool TU32VEKNumberList::SameValue(const TVEKPropertyBase& other) const {
    auto* list = dynamic_cast<const TU32VEKNumberList*>(&other);
    return list && list->numbers_ == numbers_;
}

void TU32VEKByteArray::Assign(const TVEKPropertyBase& source) {
    TVEKPropertyBase::Assign(source);
    if (auto* array = dynamic_cast<const TU32VEKByteArray*>(&source))
        bytes_ = array->bytes_;
}

std::unique_ptr<TVEKPropertyBase> TU32VEKByteArray::CreateSame() const {
    return std::make_unique<TU32VEKByteArray>();
}

void TU32VEKByteArray::SetBytes(std::vector<uint8_t> bytes) {
    if (bytes != bytes_) {
        bytes_ = std::move(bytes);
        SetModified(true);
    }
}

void TU32VEKByteArray::WriteToStream(ByteWriter& out) const {
    TVEKPropertyBase::WriteToStream(out);
    size_t count = std::min(bytes_.size(), kMaxStreamCount);
    out.u16(static_cast<uint16_t>(count));
    out.bytes(std::span<const uint8_t>(bytes_.data(), count));
}

bool TU32VEKByteArray::ReadFromStream(ByteReader& in) {
    if (!TVEKPropertyBase::ReadFromStream(in))
        return false;
    uint16_t count = in.u16();
    auto bytes = in.bytes(count);
    if (!in.ok())
        return false;
    SetBytes(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    return true;
}

bool TU32VEKByteArray::PackValue(ByteWriter& out) const {
    out.bytes(bytes_);
    return true;
}

bool TU32VEKByteArray::UnPackValue(std::span<const uint8_t> value) {
    SetBytes(std::vector<uint8_t>(value.begin(), value.end()));
    return true;
}

std::string TU32VEKByteArray::DisplayText() const {
    return JoinNumbers(bytes_);
}

bool TU32VEKByteArray::SameValue(const TVEKPropertyBase& other) const {
    auto* array = dynamic_cast<const TU32VEKByteArray*>(&other);
    return array && array->bytes_ == bytes_;
}

}  // namespace objscope
