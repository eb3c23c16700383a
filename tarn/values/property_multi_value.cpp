#include "values/property_multi_value.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "values/property_number_text.h"
#include "values/property_stream.h"

namespace objscope {
namespace {

void WriteLowBytes(ByteWriter& out, int64_t raw, uint32_t count) {
    uint64_t bits = static_cast<uint64_t>(raw);
    for (uint32_t i = 0; i < count; ++i)
        out.u8(static_cast<uint8_t>(i < 8 ? (bits >> (8 * i)) & 0xFF : 0));
}

// Little-endian value of the first bytes of `value`, at most `limit` bytes;
// missing bytes read as zero.
uint64_t ReadLowBytes(std::span<const uint8_t> value, size_t limit) {
    uint64_t bits = 0;
    size_t count = std::min(value.size(), limit);
    for (size_t i = 0; i < count; ++i)
        bits |= static_cast<uint64_t>(value[i]) << (8 * i);
    return bits;
}

struct RawRange {
    int64_t low;
    int64_t high;
};

// The raw integers the item carries back unchanged: the wire size (at most
// the four bytes unpacking reads, also of the 8-byte codes) in the type's
// signedness, for code 131 the byte after its offset, and within the
// type's own limits.
RawRange PackableRange(uint8_t code, const NumericTypeInfo& info) {
    uint32_t bits = 8 * std::min<uint32_t>(info.size, 4);
    RawRange wire = info.sign == RawSign::Unsigned
                        ? RawRange{0, static_cast<int64_t>((uint64_t{1} << bits) - 1)}
                        : RawRange{-(int64_t{1} << (bits - 1)), (int64_t{1} << (bits - 1)) - 1};
    if (code == kTypeDB1)
        wire = RawRange{-kDB1RawOffset, 255 - kDB1RawOffset};
    RawRange limits{static_cast<int64_t>(std::ceil(info.min * info.steps - 1e-9)),
                    static_cast<int64_t>(std::floor(info.max * info.steps + 1e-9))};
    RawRange both{std::max(wire.low, limits.low), std::min(wire.high, limits.high)};
    return both.low <= both.high ? both : wire;
}

}  // namespace

TU32MultiValue::TU32MultiValue() {
    SetHasMinMax(true);
}

void TU32MultiValue::Assign(const TVEKPropertyBase& source) {
    TVEKPropertyBase::Assign(source);
    auto* multi = dynamic_cast<const TU32MultiValue*>(&source);
    if (!multi)
        return;
    if (!HasFixedType())
        vekType_ = multi->vekType_;
    if (vekType_ == multi->vekType_) {
        data_ = multi->data_;
        min_ = multi->min_;
        max_ = multi->max_;
    } else {
        // Another type: the value, within this type's own limits.
        SetData(multi->data_);
    }
}

std::unique_ptr<TVEKPropertyBase> TU32MultiValue::CreateSame() const {
    return std::make_unique<TU32MultiValue>();
}

uint32_t TU32MultiValue::Size() const {
    return TypeInfo().size;
}

void TU32MultiValue::SetData(double value) {
    if (HasMinMax())
        value = std::clamp(value, std::min(min_, max_), max_);
    if (value != data_) {
        data_ = value;
        SetModified(true);
    }
}

void TU32MultiValue::SetVEKType(uint8_t code) {
    vekType_ = code;
    NumericTypeInfo info = NumericTypeFor(code);
    min_ = info.min;
    max_ = info.max;
}

double TU32MultiValue::StepsPerUnit() const {
    return TypeInfo().steps;
}

std::string TU32MultiValue::UnitText() const {
    return TypeInfo().unit;
}

bool TU32MultiValue::RawIsSigned() const {
    return TypeInfo().sign != RawSign::Unsigned;
}

int64_t TU32MultiValue::ValueToRaw(double value) const {
    return RoundToInt64(value * StepsPerUnit());
}

double TU32MultiValue::RawToValue(int64_t raw) const {
    double steps = StepsPerUnit();
    return steps != 0 ? static_cast<double>(raw) / steps : 0;
}

void TU32MultiValue::WriteToStream(ByteWriter& out) const {
    TVEKPropertyBase::WriteToStream(out);
    WriteDouble(out, data_);
    WriteDouble(out, min_);
    WriteDouble(out, max_);
}

bool TU32MultiValue::ReadFromStream(ByteReader& in) {
    if (!TVEKPropertyBase::ReadFromStream(in))
        return false;
    double data = ReadDouble(in);
    double min = ReadDouble(in);
    double max = ReadDouble(in);
    if (!in.ok())
        return false;
    SetMin(min);
    SetMax(max);
    SetData(data);
    return true;
}

bool TU32MultiValue::PackValue(ByteWriter& out) const {
    uint8_t code = vekType_;
    if (code == kTypeCoefficient) {
        float single = static_cast<float>(data_);
        uint32_t bits = 0;
        std::memcpy(&bits, &single, sizeof bits);
        out.u32(bits);
        return true;
    }
    if (code == kTypeQuadWord) {
        // The rounded integer, so that unpacking (a signed 64-bit value)
        // reads back the same number.
        WriteLowBytes(out, RoundToInt64(data_), 8);
        return true;
    }
    if (!IsScaledPackCode(code))
        return false;
    NumericTypeInfo info = TypeInfo();
    if (info.size == 0 || info.steps == 0) {
        WriteLowBytes(out, 0, info.size);
        return true;
    }
    // The nearest value the item can carry: a value past what the wire size
    // holds would otherwise lose its high bytes and arrive as another one.
    RawRange range = PackableRange(code, info);
    int64_t raw = std::clamp(ValueToRaw(data_), range.low, range.high);
    if (code == kTypeDB1)
        raw += kDB1RawOffset;
    WriteLowBytes(out, raw, Size());
    return true;
}

bool TU32MultiValue::UnPackValue(std::span<const uint8_t> value) {
    if (vekType_ == kTypeQuadWord)
        return UnPackQuadWord(value);
    if (IsScaledUnpackCode(vekType_))
        return UnPackScaled(value);
    return false;
}

bool TU32MultiValue::UnPackQuadWord(std::span<const uint8_t> value) {
    SetData(static_cast<double>(static_cast<int64_t>(ReadLowBytes(value, 8))));
    return true;
}

bool TU32MultiValue::UnPackScaled(std::span<const uint8_t> value) {
    NumericTypeInfo info = TypeInfo();
    if (info.steps == 0)
        return true;  // an empty table row carries no value
    // Only the bytes that fit a 32-bit value and that were received.
    uint32_t raw = static_cast<uint32_t>(ReadLowBytes(value, std::min<size_t>(info.size, 4)));
    bool isSigned = info.sign != RawSign::Unsigned;
    int64_t number = 0;
    switch (value.size()) {
        case 1:
            if (vekType_ == kTypeDB1)
                number = static_cast<int64_t>(raw & 0xFF) - kDB1RawOffset;
            else
                number = isSigned ? int64_t{static_cast<int8_t>(raw & 0xFF)} : int64_t{raw & 0xFF};
            break;
        case 2:
            number = isSigned ? int64_t{static_cast<int16_t>(raw & 0xFFFF)} : int64_t{raw & 0xFFFF};
            break;
        case 3:
            number = raw & 0xFFFFFF;
            if (isSigned && (raw & 0x800000))
                number -= 0x1000000;
            break;
        case 4:
            if (vekType_ == kTypeCoefficient) {
                float single = 0;
                std::memcpy(&single, &raw, sizeof single);
                SetData(single);
                return true;
            }
            number = isSigned ? int64_t{static_cast<int32_t>(raw)} : int64_t{raw};
            break;
        case 8:
            // The 8-byte codes hold a 32-bit range: their low four bytes.
            if (info.size != 8)
                return true;
            number = isSigned ? int64_t{static_cast<int32_t>(raw)} : int64_t{raw};
            break;
        default:
            return true;  // other wire sizes change nothing
    }
    SetData(static_cast<double>(number) / info.steps);
    return true;
}

std::string TU32MultiValue::DisplayText() const {
    double steps = StepsPerUnit();
    double shown = steps != 0 ? static_cast<double>(RoundToInt64(data_ * steps)) / steps : data_;
    return ShortestDecimal(shown) + UnitText();
}

bool TU32MultiValue::SameValue(const TVEKPropertyBase& other) const {
    auto* multi = dynamic_cast<const TU32MultiValue*>(&other);
    return multi && multi->data_ == data_;
}

}  // namespace objscope
