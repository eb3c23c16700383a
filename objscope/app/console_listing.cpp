#include "app/console_listing.h"

#include "model/class_catalogue.h"
#include "windows/object_list_text.h"

namespace objscope {

int PrintObjectListing(TTarn_Monitor& monitor, uint16_t device, std::FILE* out) {
    TVEKList<TVEKroot> objects;
    monitor.GetAllObjects({0, device, 0}, objects);
    if (objects.empty()) {
        std::fprintf(out, "No Response or Error in Transmission\n");
        return 1;
    }
    for (const auto& object : objects) {
        if (object)
            std::fprintf(out, "%s\n",
                         ObjectListLine(object->ObjHandle(), object->ClassID(),
                                        LookupClass(object->ClassID()).displayName)
                             .c_str());
    }
    std::fprintf(out, "%s\n", TotalLabel(objects.size()).c_str());
    return 0;
}

}  // namespace objscope
