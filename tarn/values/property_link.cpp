#include "values/property_link.h"

namespace objscope {

void TTarn_Property_Link::Assign(const TPersistent& source) {
    auto* link = dynamic_cast<const TTarn_Property_Link*>(&source);
    if (!link || link == this)
        return;
    Dest_Net = link->Dest_Net;
    Dest_Dev = link->Dest_Dev;
    Dest_Obj = link->Dest_Obj;
    flag_ = link->flag_;
    if (property_ && link->property_)
        property_->Assign(*link->property_);
}

}  // namespace objscope
