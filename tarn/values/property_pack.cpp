#include "values/property_pack.h"

#include <string>

#include "values/property_messages.h"
#include "protocol/tarn_items.h"

namespace objscope {

size_t PackData(std::vector<uint8_t>& out, const TVEKPropertyBase& property) {
    std::vector<uint8_t> value;
    ByteWriter writer(value);
    if (!property.PackValue(writer)) {
        ShowPropertyMessage(">>> PackData:  Unknown Property_Type >>>" +
                            std::to_string(property.VEKtype()));
        return 0;
    }
    if (!itemValueSizeFits(value.size())) {
        ShowPropertyMessage(">>> PackData:  Value Too Long For An Item >>>" +
                            std::to_string(value.size()));
        return 0;
    }
    return appendItem(out, property.PropertyID(), value);
}

size_t UnPackData(std::span<const uint8_t> item, TVEKPropertyBase& property) {
    auto view = readItem(item);
    if (!view)
        return 0;
    if (!property.UnPackValue(view->value)) {
        ShowPropertyMessage(">>> UnPackData:  Unknown Property_Type >>>" +
                            std::to_string(property.VEKtype()));
    }
    return view->totalLength();
}

}  // namespace objscope
