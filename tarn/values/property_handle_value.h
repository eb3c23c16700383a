// 16-bit handles and IDs (class IDs, object/device/network handles, member,
// message, status, property, method and event IDs).
#pragma once

#include "values/property_base.h"

namespace objscope {

class TU32UWord_int : public TVEKPropertyBase {
  public:
    TU32UWord_int();  // 0, limits 0..65535 on

    void Assign(const TVEKPropertyBase& source) override;
    std::unique_ptr<TVEKPropertyBase> CreateSame() const override;
    uint32_t Size() const override { return 2; }
    void WriteToStream(ByteWriter& out) const override;
    bool ReadFromStream(ByteReader& in) override;
    bool PackValue(ByteWriter& out) const override;
    bool UnPackValue(std::span<const uint8_t> value) override;
    std::string DisplayText() const override { return std::to_string(data_); }
    bool SameValue(const TVEKPropertyBase& other) const override;

    // Clamps to Min..Max when HasMinMax; sets Modified on change.
    void SetData(uint16_t value);
    uint16_t Data() const { return data_; }
    uint16_t Min() const { return min_; }
    uint16_t Max() const { return max_; }
    void SetMin(uint16_t value) { min_ = value; }
    void SetMax(uint16_t value) { max_ = value; }

  private:
    uint16_t data_ = 0;
    uint16_t min_ = 0;
    uint16_t max_ = 65535;
};

template <class Derived, uint8_t Code, class Base = TU32UWord_int>
class TU32HandleValue : public Base {
  public:
    uint8_t VEKtype() const override { return Code; }
    std::unique_ptr<TVEKPropertyBase> CreateSame() const override {
        return std::make_unique<Derived>();
    }
};

class TU32aesClass_ID : public TU32HandleValue<TU32aesClass_ID, 68> {};
class TU32aesOBJ_Handle : public TU32HandleValue<TU32aesOBJ_Handle, 69> {};
class TU32aesDEV_Handle : public TU32HandleValue<TU32aesDEV_Handle, 70> {};
class TU32aesNET_Handle : public TU32HandleValue<TU32aesNET_Handle, 71> {};
class TU32aesMember_ID : public TU32HandleValue<TU32aesMember_ID, 75> {};
class TU32aesMessage_ID : public TU32HandleValue<TU32aesMessage_ID, 76> {};
class TU32aesStatus_Code : public TU32HandleValue<TU32aesStatus_Code, 77> {};
class TU32aesProperty_ID : public TU32HandleValue<TU32aesProperty_ID, 78> {};
class TU32aesMethod_ID : public TU32HandleValue<TU32aesMethod_ID, 79, TU32aesMember_ID> {};
class TU32aesEvent_ID : public TU32HandleValue<TU32aesEvent_ID, 80, TU32aesMember_ID> {};

}  // namespace objscope
