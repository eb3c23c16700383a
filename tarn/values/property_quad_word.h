// TU32UQWord: a signed 64-bit integer property (type code 5).
#pragma once

#include <limits>

#include "values/property_base.h"
#include "values/property_type_table.h"

namespace objscope {

class TU32UQWord : public TVEKPropertyBase {
  public:
    void Assign(const TVEKPropertyBase& source) override;
    std::unique_ptr<TVEKPropertyBase> CreateSame() const override;
    uint8_t VEKtype() const override { return kTypeQuadWord; }
    uint32_t Size() const override { return 8; }
    void WriteToStream(ByteWriter& out) const override;
    bool ReadFromStream(ByteReader& in) override;
    bool PackValue(ByteWriter& out) const override;
    bool UnPackValue(std::span<const uint8_t> value) override;
    std::string DisplayText() const override;  // "$" + hex
    bool SameValue(const TVEKPropertyBase& other) const override;

    // Clamps to Min..Max when HasMinMax (off at the start); sets Modified on
    // change.
    void SetData(int64_t value);
    int64_t Data() const { return data_; }
    int64_t Min() const { return min_; }
    int64_t Max() const { return max_; }
    void SetMin(int64_t value) { min_ = value; }
    void SetMax(int64_t value) { max_ = value; }

  private:
    int64_t data_ = 0;
    int64_t min_ = std::numeric_limits<int64_t>::min();
    int64_t max_ = std::numeric_limits<int64_t>::max();
};

}  // namespace objscope
