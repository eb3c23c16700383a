// TVEKObject_Address (type code 72): six bytes, a 32-bit part followed by a
// 16-bit part. Their meaning is not interpreted here.
#pragma once

#include "values/property_base.h"

namespace objscope {

constexpr uint8_t kTypeObjectAddress = 72;

class TVEKObject_Address : public TVEKPropertyBase {
  public:
    void Assign(const TVEKPropertyBase& source) override;
    std::unique_ptr<TVEKPropertyBase> CreateSame() const override;
    uint8_t VEKtype() const override { return kTypeObjectAddress; }
    uint32_t Size() const override { return 6; }
    void WriteToStream(ByteWriter& out) const override;
    bool ReadFromStream(ByteReader& in) override;
    bool PackValue(ByteWriter& out) const override;
    bool UnPackValue(std::span<const uint8_t> value) override;
    // network ":" device ":" object, decimal: the 32-bit part holds the
    // network in its low and the device in its high 16 bits.
    std::string DisplayText() const override;
    bool SameValue(const TVEKPropertyBase& other) const override;

    uint32_t Part32() const { return part32_; }
    uint16_t Part16() const { return part16_; }
    // Sets Modified when either part changes.
    void SetParts(uint32_t part32, uint16_t part16);

  private:
    uint32_t part32_ = 0;
    uint16_t part16_ = 0;
};

}  // namespace objscope
