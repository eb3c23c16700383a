// TTarn_Property_Link: one property of one object on one device, named by the
// object's address triple. The link does not own its property: whoever made
// the link frees it.
#pragma once

#include <cstdint>

#include "values/property_base.h"
#include "values/property_persistent.h"

namespace objscope {

class TTarn_Property_Link : public TPersistent {
  public:
    TTarn_Property_Link() = default;
    TTarn_Property_Link(uint16_t net, uint16_t dev, uint16_t obj, TVEKPropertyBase* property)
        : Dest_Net(net), Dest_Dev(dev), Dest_Obj(obj), property_(property) {}

    // Accepts only another link; any other source changes nothing. Copies
    // the address and the flag; when this link has a property, the source's
    // property is assigned into it (this link keeps its own property object).
    void Assign(const TPersistent& source);

    TVEKPropertyBase* Property() const { return property_; }
    void SetProperty(TVEKPropertyBase* property) { property_ = property; }

    bool Flag() const { return flag_; }
    void SetFlag(bool on) { flag_ = on; }

    uint16_t Dest_Net = 0;
    uint16_t Dest_Dev = 0;
    uint16_t Dest_Obj = 0;  // 0 = the device itself

  private:
    TVEKPropertyBase* property_ = nullptr;
    bool flag_ = true;
};

}  // namespace objscope
