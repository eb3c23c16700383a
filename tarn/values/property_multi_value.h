// TU32MultiValue: a numeric property held as an engineering value (double)
// with limits and a type code that decides its wire size, raw scaling, sign
// and unit.
#pragma once

#include "values/property_base.h"
#include "values/property_type_table.h"

namespace objscope {

class TU32MultiValue : public TVEKPropertyBase {
  public:
    // Value 0, limits on, -2147483647..2147483647, type code 0.
    TU32MultiValue();

    // Takes the value; a plain TU32MultiValue also takes the type code. A
    // value of another type is clamped to this type's limits.
    void Assign(const TVEKPropertyBase& source) override;
    std::unique_ptr<TVEKPropertyBase> CreateSame() const override;
    uint8_t VEKtype() const override { return vekType_; }
    uint32_t Size() const override;
    void WriteToStream(ByteWriter& out) const override;
    bool ReadFromStream(ByteReader& in) override;
    bool PackValue(ByteWriter& out) const override;
    bool UnPackValue(std::span<const uint8_t> value) override;
    std::string DisplayText() const override;
    bool SameValue(const TVEKPropertyBase& other) const override;

    // Clamps to Min..Max when HasMinMax; stores and sets Modified on change.
    virtual void SetData(double value);
    virtual double GetData() const { return data_; }

    double Min() const { return min_; }
    double Max() const { return max_; }
    // New limits are stored without re-clamping the value.
    void SetMin(double value) { min_ = value; }
    void SetMax(double value) { max_ = value; }

    uint8_t VEKType() const { return vekType_; }
    // Stores the code and loads the limits of its type.
    void SetVEKType(uint8_t code);

    // Raw steps per engineering unit (1 outside 131..167), unit text and
    // whether the raw integer is signed.
    double StepsPerUnit() const;
    std::string UnitText() const;
    bool RawIsSigned() const;

    // engineering value <-> raw integer (ties to even).
    int64_t ValueToRaw(double value) const;
    double RawToValue(int64_t raw) const;

  protected:
    NumericTypeInfo TypeInfo() const { return NumericTypeFor(vekType_); }
    // True for the typed classes, whose type code never changes.
    virtual bool HasFixedType() const { return false; }
    // Stores a value without limit check and without setting Modified.
    void StoreDataUnchecked(double value) { data_ = value; }

  private:
    bool UnPackScaled(std::span<const uint8_t> value);
    bool UnPackQuadWord(std::span<const uint8_t> value);

    double data_ = 0;
    double min_ = -2147483647;
    double max_ = 2147483647;
    uint8_t vekType_ = 0;
};

}  // namespace objscope
