// Array properties: a list of 16-bit numbers (type code 175) and an array of
// bytes (type code 176). The wire size follows the element count.
#pragma once

#include <vector>

#include "values/property_base.h"
#include "values/property_type_table.h"

namespace objscope {

class TU32VEKNumberList : public TVEKPropertyBase {
  public:
    void Assign(const TVEKPropertyBase& source) override;
    std::unique_ptr<TVEKPropertyBase> CreateSame() const override;
    uint8_t VEKtype() const override { return kTypeNumberList; }
    uint32_t Size() const override { return static_cast<uint32_t>(2 * numbers_.size()); }
    void WriteToStream(ByteWriter& out) const override;
    bool ReadFromStream(ByteReader& in) override;
    bool PackValue(ByteWriter& out) const override;
    bool UnPackValue(std::span<const uint8_t> value) override;
    std::string DisplayText() const override;  // signed decimals joined by " | "
    bool SameValue(const TVEKPropertyBase& other) const override;

    const std::vector<uint16_t>& Numbers() const { return numbers_; }
    // Sets Modified when the list changes.
    void SetNumbers(std::vector<uint16_t> numbers);

  private:
    std::vector<uint16_t> numbers_;
};

class TU32VEKByteArray : public TVEKPropertyBase {
  public:
    void Assign(const TVEKPropertyBase& source) override;
    std::unique_ptr<TVEKPropertyBase> CreateSame() const override;
    uint8_t VEKtype() const override { return kTypeByteArray; }
    uint32_t Size() const override { return static_cast<uint32_t>(bytes_.size()); }
    void WriteToStream(ByteWriter& out) const override;
    bool ReadFromStream(ByteReader& in) override;
    bool PackValue(ByteWriter& out) const override;
    bool UnPackValue(std::span<const uint8_t> value) override;
    std::string DisplayText() const override;  // decimals joined by " | "
    bool SameValue(const TVEKPropertyBase& other) const override;

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    // Sets Modified when the bytes change.
    void SetBytes(std::vector<uint8_t> bytes);

  private:
    std::vector<uint8_t> bytes_;
};

}  // namespace objscope
