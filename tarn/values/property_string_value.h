// Text properties: a text of at most 128 characters that travels as its
// bytes (the item length is the text length).
#pragma once

#include "values/property_base.h"
#include "values/property_type_table.h"

namespace objscope {

constexpr size_t kPropertyTextMax = 128;

class TU32StringValue : public TVEKPropertyBase {
  public:
    void Assign(const TVEKPropertyBase& source) override;
    std::unique_ptr<TVEKPropertyBase> CreateSame() const override;
    // 14, or the other text code a device lists (67).
    uint8_t VEKtype() const override { return vekType_; }
    void SetVEKType(uint8_t code) { vekType_ = code; }
    uint32_t Size() const override { return static_cast<uint32_t>(data_.size()); }
    void WriteToStream(ByteWriter& out) const override;
    bool ReadFromStream(ByteReader& in) override;
    bool PackValue(ByteWriter& out) const override;
    bool UnPackValue(std::span<const uint8_t> value) override;
    std::string DisplayText() const override { return data_; }
    bool SameValue(const TVEKPropertyBase& other) const override;

    // Cut to 128 characters; stores and sets Modified only when the text
    // differs (case-sensitive).
    virtual void SetData(std::string_view text);
    const std::string& Data() const { return data_; }

  protected:
    // Whether trailing zero bytes of a received text are cut off.
    virtual bool TrimsTrailingZeros() const { return true; }

  private:
    std::string data_;
    uint8_t vekType_ = kTypeString;
};

class TU32TObjectName : public TPropertyClass<TU32TObjectName, TU32StringValue> {};
class TU32UserData : public TPropertyClass<TU32UserData, TU32StringValue> {};

// A set of bits carried as bytes; starts as 32 zero bytes.
class TU32VEKBitSet : public TPropertyClass<TU32VEKBitSet, TU32StringValue> {
  public:
    TU32VEKBitSet();
    uint8_t VEKtype() const override { return kTypeBitSet; }
    std::string DisplayText() const override;  // "$xx | $xx | ..."

  protected:
    bool TrimsTrailingZeros() const override { return false; }
};

}  // namespace objscope
