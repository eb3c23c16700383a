// The typed numeric property classes: each sets its type code (and with it
// its limits) and some offer typed access to the value.
#pragma once

#include <cmath>

#include "values/property_multi_value.h"
#include "values/property_number_text.h"

namespace objscope {

// A numeric class of fixed type code.
template <class Derived, uint8_t Code, class Base = TU32MultiValue>
class TU32TypedValue : public Base {
  public:
    TU32TypedValue() { this->SetVEKType(Code); }
    std::unique_ptr<TVEKPropertyBase> CreateSame() const override {
        return std::make_unique<Derived>();
    }

  protected:
    bool HasFixedType() const override { return true; }
};

// An integer class: typed setter clamps to the rounded limits, the getter
// returns the value rounded to the width.
template <class Derived, uint8_t Code, class Int>
class TU32IntegerValue : public TU32TypedValue<Derived, Code> {
  public:
    void SetValue(Int value) {
        double number = static_cast<double>(value);
        if (this->HasMinMax())
            number = std::fmin(std::fmax(number, std::nearbyint(this->Min())),
                               std::nearbyint(this->Max()));
        this->SetData(number);
    }
    Int Value() const { return static_cast<Int>(RoundToInt64(this->GetData())); }
};

class TU32UByte : public TU32IntegerValue<TU32UByte, 1, uint8_t> {};
class TU32UWord : public TU32IntegerValue<TU32UWord, 2, uint16_t> {};
class TU32ULWord : public TU32IntegerValue<TU32ULWord, 3, uint32_t> {};
class TU32UDWord : public TU32IntegerValue<TU32UDWord, 4, uint32_t> {
  public:
    std::string DisplayText() const override;  // "$" + hex
};
class TU32SByte : public TU32IntegerValue<TU32SByte, 6, int8_t> {};
class TU32SWord : public TU32IntegerValue<TU32SWord, 7, int16_t> {};
class TU32SDWord : public TU32IntegerValue<TU32SDWord, 9, int32_t> {};

// 0 or 1; true when the value is non-zero.
class TU32Boolean : public TU32TypedValue<TU32Boolean, kTypeBoolean> {
  public:
    void SetValue(bool value) { SetData(value ? 1 : 0); }
    bool Value() const { return GetData() != 0; }
    std::string DisplayText() const override;  // "True" / "False"
};

// The raw byte 0..255 of a Boolean (the object list's raw-Boolean mode).
class TU32BooleanRaw : public TU32TypedValue<TU32BooleanRaw, kTypeBoolean> {
  public:
    TU32BooleanRaw() { SetMax(255); }
    void SetValue(uint8_t value) { SetData(value); }
    uint8_t Value() const { return static_cast<uint8_t>(RoundToInt64(GetData())); }
};

class TU32VEKDB1 : public TU32TypedValue<TU32VEKDB1, 131> {};
class TU32VEKDB2 : public TU32TypedValue<TU32VEKDB2, 132> {};
class TU32VEKDB_Rate : public TU32TypedValue<TU32VEKDB_Rate, 135> {};
class TU32VEKVolt1 : public TU32TypedValue<TU32VEKVolt1, 136> {};
class TU32VEKVolt2 : public TU32TypedValue<TU32VEKVolt2, 137> {};
class TU32VEKHertz : public TU32TypedValue<TU32VEKHertz, 140> {};
class TU32VEKBandWidth1 : public TU32TypedValue<TU32VEKBandWidth1, 143> {
  public:
    TU32VEKBandWidth1() { SetData(0.1); }
};
class TU32VEKBandWidth2 : public TU32TypedValue<TU32VEKBandWidth2, 144> {
  public:
    TU32VEKBandWidth2() { SetData(0.1); }
};
class TU32VEKRatio1 : public TU32TypedValue<TU32VEKRatio1, 151> {
  public:
    TU32VEKRatio1() { SetData(1.0); }
};
class TU32VEKRatio2 : public TU32TypedValue<TU32VEKRatio2, 152> {};
class TU32VEKRatio3 : public TU32TypedValue<TU32VEKRatio3, 153> {};
// Travels as an IEEE single of the value; steps only set the resolution.
class TU32VEKCoefficient : public TU32TypedValue<TU32VEKCoefficient, kTypeCoefficient> {};
class TU32VEKScaler1 : public TU32TypedValue<TU32VEKScaler1, 157> {};
class TU32VEKScaler2 : public TU32TypedValue<TU32VEKScaler2, 158> {};
class TU32VEKUSEC1 : public TU32TypedValue<TU32VEKUSEC1, 161> {};
class TU32VEKUSEC2 : public TU32TypedValue<TU32VEKUSEC2, 162> {};
class TU32VEKuSec3 : public TU32TypedValue<TU32VEKuSec3, 163> {};
class TU32VEKuSec4 : public TU32TypedValue<TU32VEKuSec4, 164> {};
class TU32VEKFSEC : public TU32TypedValue<TU32VEKFSEC, 165> {};
class TU32VEKBiSEC : public TU32TypedValue<TU32VEKBiSEC, 166> {};
class TU32VEKSEC : public TU32TypedValue<TU32VEKSEC, 167> {};

// Packed date: day bits 0..4, month bits 5..8, year 1980 + bits 9..15.
class TU32VEKDate : public TU32TypedValue<TU32VEKDate, kTypeDate> {
  public:
    std::string DisplayText() const override;  // month/day/year
};
// Packed time: hours bits 11..15, minutes bits 5..10, seconds/2 bits 0..4.
class TU32VEKTime : public TU32TypedValue<TU32VEKTime, kTypeTime> {
  public:
    std::string DisplayText() const override;  // h:mm:ss
};

// A frequency held as decades: Data = log10(10 * f), f clamped to
// 0.1..357700 Hz, so Data runs 0..6.5535 and the wire value is Data * 10000.
class TU32VEKDecade2 : public TU32TypedValue<TU32VEKDecade2, kTypeDecade2> {
  public:
    TU32VEKDecade2();
    // Stores the decades directly: no limit check, Modified untouched.
    void SetFrequency(double hertz);
    // The frequency rounded to 0.1 Hz.
    double GetFrequency() const;
    std::string DisplayText() const override;  // the frequency + " Hz"
};

}  // namespace objscope
