// The root of every property value: ID, limits flag, download flags, display
// name, and the virtual operations that each value type fills in (wire size,
// type code, item value bytes, stream record, display text).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "values/property_persistent.h"
#include "protocol/tarn_bytes.h"

namespace objscope {

constexpr size_t kPropertyNameMax = 128;

class TVEKPropertyBase : public TPersistent {
  public:
    ~TVEKPropertyBase() override = default;

    uint16_t PropertyID() const { return propertyId_; }
    void SetPropertyID(uint16_t id);

    bool HasMinMax() const { return hasMinMax_; }
    void SetHasMinMax(bool on);

    bool Modified() const { return modified_; }
    void SetModified(bool on) { modified_ = on; }

    // Left out of a confirm that covers owned objects; sent by itself after it.
    bool SendLast() const { return sendLast_; }
    void SetSendLast(bool on) { sendLast_ = on; }

    // A status value: never sent by confirm or multi-set downloads.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on) { readOnly_ = on; }

    const std::string& Name() const { return name_; }
    void SetName(std::string_view name);  // cut to 128 characters

    // Copies ID, limits flag, name, ReadOnly and SendLast and sets Modified;
    // value classes add their value when `source` is of their kind.
    virtual void Assign(const TVEKPropertyBase& source);

    // The virtual constructor: a new, default value of the same class.
    virtual std::unique_ptr<TVEKPropertyBase> CreateSame() const;
    // A new value of the same class with this one assigned into it.
    std::unique_ptr<TVEKPropertyBase> Clone() const;

    virtual uint8_t VEKtype() const { return 0; }
    virtual uint32_t Size() const { return 0; }

    // Stream record: u16 ID, u8 HasMinMax, name (length byte + 128
    // characters), then the class's value.
    virtual void WriteToStream(ByteWriter& out) const;
    // False when the record is cut off (the property may be partly read).
    virtual bool ReadFromStream(ByteReader& in);

    // The value bytes of the property item (Size() bytes). False when the
    // type code has no wire representation; nothing is written then.
    virtual bool PackValue(ByteWriter& out) const;
    // Decodes the value bytes of a received item (wire size = value.size()).
    // False when the type code has no wire representation.
    virtual bool UnPackValue(std::span<const uint8_t> value);

    // The value as shown to the user, with its unit where it has one.
    virtual std::string DisplayText() const { return {}; }

    // True when the other value holds the same value (not ID or flags).
    virtual bool SameValue(const TVEKPropertyBase& other) const;

  protected:
    TVEKPropertyBase() = default;
    // Sets the limits flag as a constructor default, without Modified.
    void InitHasMinMax(bool on) { hasMinMax_ = on; }

  private:
    uint16_t propertyId_ = 0;
    bool hasMinMax_ = false;
    bool modified_ = false;
    bool sendLast_ = false;
    bool readOnly_ = false;
    std::string name_;
};

// Helper for the virtual constructor of each value class.
template <class Derived, class Base>
class TPropertyClass : public Base {
  public:
    using Base::Base;
    std::unique_ptr<TVEKPropertyBase> CreateSame() const override {
        return std::make_unique<Derived>();
    }
};

}  // namespace objscope
